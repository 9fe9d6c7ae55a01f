// report/HtmlReport.h - the check report (report/ReportModel.h) as one
// self-contained HTML page: run facts, summary with an inline SVG chart of
// findings per table, the file table with SHA-256, every finding with its
// count, value counts and first records, and the comparison with the
// previous run.
//
//   std::string page = fc::report::HtmlReport(data);
//
// Inline CSS only: no scripts, fonts or images are fetched, so the page opens
// offline in any browser; print rules keep tables whole on A4. Every value
// from the run (file names, field values, directories) is HTML-escaped.
#pragma once

#include <string>
#include <string_view>

#include "report/ReportData.h"

namespace fc::report {

std::string HtmlReport(const ReportData& data);

// `text` with & < > " ' replaced by their character references.
std::string HtmlEscape(std::string_view text);

}  // namespace fc::report
