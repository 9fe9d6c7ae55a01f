// report/ReportData.h - everything a check report shows about one run: the
// run from the history, the records behind its findings (kept in the store
// for the latest run only) and the comparison with the run before it.
//
//   std::string error;
//   std::optional<fc::report::ReportData> data = fc::report::LoadReport(home.home, home.data, std::nullopt, error);
//   if (!data) fail(error);
//   write(fc::report::HtmlReport(*data));
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "history/Comparison.h"
#include "history/History.h"
#include "rules/RuleBook.h"
#include "store/Store.h"

namespace fc::report {

// The records a report lists per finding.
inline constexpr size_t kReportRecords = 20;

struct ReportData {
  history::Run run;                            // the reported run
  std::optional<history::Run> previous;        // the latest earlier run of the same submission (History::previous)
  std::optional<history::Comparison> comparison;  // previous against run
  bool recordsKept = false;                    // the store still holds this run's records
  std::map<std::pair<int, int>, store::FindingRecords> records;  // by (fileid, finding), at most kReportRecords each
  // The interface agreement's meaning of a field of a table kind ("" when it
  // gives none, or the agreement could not be read); empty when not loaded.
  std::function<std::string(const std::string& table, const std::string& field)> meaningOf;
  // What the rule behind a finding (its errid and text) says about it in
  // the run's rule set; empty when not loaded.
  std::function<rules::RuleAdvice(const std::string& errid, const std::string& errdesc)> adviceOf;
  // Why the set that judged the run is not there to explain it (changed,
  // moved or unreadable since); empty when it is, or the run names none.
  std::string ruleSetNote = {};
};

// What the report and the comparison window say when the history holds no
// earlier run of the same submission.
inline constexpr const char* kNoPreviousRun =
    "检查历史中没有同一报送（证券公司、数据日期、文件类型、文件序号和传输模式均相同）的上次检查。";

// The run `id` (the newest when empty) with what belongs to it; nothing, with
// `error` set, when the history has no such run or cannot be read. A report
// is handed over, so identity numbers and names are masked unless the
// operator asks for the real values (Masking::Off).
std::optional<ReportData> LoadReport(const std::filesystem::path& home, const std::filesystem::path& dataDir,
                                     std::optional<int64_t> id, std::string& error,
                                     privacy::Masking masking = privacy::Masking::NumbersAndNames);

}  // namespace fc::report
