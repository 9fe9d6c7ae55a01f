// cli/ResultsOutput.h - the latest run's results (the ReadResults rows) as a
// table for people, tab-separated text or JSON for scripts.
//
//   auto format = fc::cli::ParseResultsFormat("json");
//   auto rows = store->readResults();
//   fc::cli::PrintResults(rows, *format, stdout, fc::cli::SummariesOf(*store, rows));
//
// table: the results window's column headers, columns padded to the display
//        width of their widest cell (CJK characters count two);
// tsv:   a header line of the column names, then one line per row;
// json:  an array of objects keyed by the column names, values as the texts
//        of the stored values, null for NULL; a row with a finding adds
//        "records" (the records kept behind it) and "values" (the most
//        frequent values of its tested fields: field, value, count).
// In table and tsv output NULL is an empty cell; tabs and line breaks inside a
// value become blanks in tsv.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string_view>
#include <vector>

#include "store/Store.h"

namespace fc::cli {

enum class ResultsFormat { Table, Tsv, Json };

std::optional<ResultsFormat> ParseResultsFormat(std::string_view text);

// What the JSON form tells of a result row's finding.
struct FindingSummary {
  int64_t records = 0;                                     // records kept behind it
  std::vector<store::FindingRecords::ValueCount> values;  // value counts of its tested fields
};
using Summaries = std::vector<std::optional<FindingSummary>>;

// Per result row, in order, the summary of its finding (nothing for a row
// without one): rows and findings match by file name, errid and text.
Summaries SummariesOf(store::Store& store, const std::vector<store::ResultRow>& rows);

void PrintResults(const std::vector<store::ResultRow>& rows, ResultsFormat format, std::FILE* out,
                  const Summaries& summaries = {});

// True when there are rows and every file exists, passed and has no problem.
bool AllFilesClean(const std::vector<store::ResultRow>& rows);

}  // namespace fc::cli
