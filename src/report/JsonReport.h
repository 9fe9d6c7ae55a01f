// report/JsonReport.h - the check report's facts as JSON, for scripts: the
// run, its files, packed archives, findings with value counts (and records
// while the store keeps them), the comparison with the previous run, and the
// run list of the history.
//
//   std::string text = fc::report::JsonReport(data);
#pragma once

#include <string>
#include <vector>

#include "history/History.h"
#include "report/ReportData.h"

namespace fc::report {

std::string JsonReport(const ReportData& data);

// The comparison alone, as `filingcheck-cli compare --format json` prints it.
std::string JsonComparison(const history::Comparison& comparison);

// The run list, as `filingcheck-cli history --format json` prints it.
std::string JsonRunList(const std::vector<history::RunSummary>& runs);

}  // namespace fc::report
