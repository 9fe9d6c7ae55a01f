// cli/ResultsOutput.h - the latest run's results (the ReadResults rows) as a
// table for people, tab-separated text or JSON for scripts.
//
//   auto format = opts.format({OutputFormat::Table, OutputFormat::Tsv, OutputFormat::Json}, error);
//   auto rows = store->readResults();
//   auto facts = fc::store::ReadLatestRunFacts(home.storeFile());   // the verdict
//   fc::cli::PrintResults(rows, *format, stdout, facts, fc::cli::SummariesOf(*store, rows));
//
// table: first the line "结论：" with the run's verdict and its reason, then
//        the results window's column headers, columns padded to the display
//        width of their widest cell (CJK characters count two), then the
//        rules that did not run (未检查, 不适用) with their reasons, then
//        the tables holding records marked deleted, with how many, then
//        the acceptances the run weighed: those that covered a finding
//        (reason, who, until) and those that lapsed, with why;
// tsv:   a header line of the column names, then one line per row (the rows
//        alone, as scripts have always read them);
// json:  an object {"verdict", "verdictText", "results", "skipped"}:
//        "verdict" is "pass", "fail", "incomplete" or null (results kept
//        before verdicts); "results" an array of objects keyed by the column
//        names, values as the texts of the stored values, null for NULL, a
//        row with a finding adding "records" (the records kept behind it) and
//        "values" (the most frequent values of its tested fields: field,
//        value, count) and, when acceptances covered it, "accepted" (their
//        id, reason, by, until); "skipped" the rules that did not run
//        ({"filename", "errid", "state": "unchecked"|"notapplicable", "reason"});
//        "acceptances", when the run weighed any, each of them ({"id", "use":
//        "applied"|"unused"|"lapsed", "filename", "errid", "records",
//        "reason", "by", "until", "note"}).
// In table and tsv output NULL is an empty cell; tabs and line breaks inside a
// value become blanks in tsv.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "cli/Options.h"
#include "store/RunFacts.h"
#include "store/Store.h"

namespace fc::cli {

// What the JSON form tells of a result row's finding.
struct FindingSummary {
  int fileid = 0;                                          // the finding's file
  int finding = 0;                                         // its position among the file's findings
  int64_t records = 0;                                     // records kept behind it
  std::vector<store::FindingRecords::ValueCount> values;  // value counts of its tested fields
};
using Summaries = std::vector<std::optional<FindingSummary>>;

// Per result row, in order, the summary of its finding (nothing for a row
// without one): rows and findings match by file name, errid and text.
Summaries SummariesOf(store::Store& store, const std::vector<store::ResultRow>& rows);

// `facts`: the run the rows belong to (nothing for a store of an earlier
// version, whose verdict is unknown).
// `format`: table, tsv or json.
void PrintResults(const std::vector<store::ResultRow>& rows, OutputFormat format, std::FILE* out,
                  const std::optional<store::RunFacts>& facts, const Summaries& summaries = {});

// The line "结论：..." of a verdict; "结论：—" and why for an unknown one.
std::string ConclusionLine(store::Verdict verdict, const std::string& verdictText);

// The exit status of a check that ran to its end: 0 pass, 1 fail, 2 incomplete,
// 3 accepted (every finding covered by an acceptance in force, nothing else found).
int ExitStatus(store::Verdict verdict);

}  // namespace fc::cli
