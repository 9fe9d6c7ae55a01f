// report/PdfReport.h - the check report laid out for A4 paper, drawn with
// Cairo and Pango: the headline with the run's verdict, the run facts, the
// summary with a bar of findings per table, the file list, every finding
// with its value counts and first records, and the comparison with the
// previous run. The CLI (`report --output FILE.pdf`) and the results window
// make the same file from here.
//
//   std::string error;
//   if (!fc::report::WritePdfReport(data, "/out/检查报告.pdf", error)) fail(error);
//
// Tables take the width of the page: columns share it by their texts, long
// texts wrap (file names after "_" and ".", checksums in small monospace in
// groups), numbers never; a table too wide at the body's size is set
// smaller. A table that runs over a page goes on with its heading row
// repeated; a heading never ends a page. Every page's footer names the run
// and numbers the page. Pango breaks the Chinese lines and picks the glyphs
// from the fonts installed (WenQuanYi Micro Hei, which the package needs).
#pragma once

#include <filesystem>
#include <string>

#include "report/ReportData.h"

namespace fc::report {

// Writes the report to `file` whole or not at all; false with `error` when it cannot.
bool WritePdfReport(const ReportData& data, const std::filesystem::path& file, std::string& error);

// The first `pages` pages as PNG images `dir`/`prefix`-1.png, ... (for the
// screenshots); false with `error` when one cannot be written.
bool WriteReportPageImages(const ReportData& data, const std::filesystem::path& dir, const std::string& prefix,
                           int pages, std::string& error);

}  // namespace fc::report
