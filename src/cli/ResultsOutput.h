// cli/ResultsOutput.h - the latest run's results (the ReadResults rows) as a
// table for people, tab-separated text or JSON for scripts.
//
//   auto format = fc::cli::ParseResultsFormat("json");
//   fc::cli::PrintResults(store->readResults(), *format, stdout);
//
// table: the results window's column headers, columns padded to the display
//        width of their widest cell (CJK characters count two);
// tsv:   a header line of the column names, then one line per row;
// json:  an array of objects keyed by the column names, values as the texts
//        of the stored values, null for NULL.
// In table and tsv output NULL is an empty cell; tabs and line breaks inside a
// value become blanks in tsv.
#pragma once

#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fc::store { struct ResultRow; }

namespace fc::cli {

enum class ResultsFormat { Table, Tsv, Json };

std::optional<ResultsFormat> ParseResultsFormat(std::string_view text);

void PrintResults(const std::vector<store::ResultRow>& rows, ResultsFormat format, std::FILE* out);

// Rows of texts under a header line, columns padded to the display width of
// their widest cell (CJK characters count two), as the table format prints them.
void PrintTextTable(const std::vector<std::string>& headers, const std::vector<std::vector<std::string>>& rows,
                    std::FILE* out);

// True when there are rows and every file exists, passed and has no problem.
bool AllFilesClean(const std::vector<store::ResultRow>& rows);

}  // namespace fc::cli
