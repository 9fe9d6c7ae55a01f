#include "cli/ResultsOutput.h"

#include <array>
#include <map>
#include <string>
#include <tuple>

#include "cli/TextOutput.h"
#include "store/Store.h"

namespace fc::cli {

namespace {

constexpr size_t kColumns = 7;
constexpr std::array<const char*, kColumns> kNames = {"groupno", "filecat",  "filename", "isexist",
                                                      "isok",    "errid",    "errdesc"};
constexpr std::array<const char*, kColumns> kHeaders = {"文件组号", "文件描述", "文件名", "是否存在",
                                                        "结构正常", "问题编号", "问题描述"};

using Cells = std::array<const std::optional<std::string>*, kColumns>;

Cells CellsOf(const store::ResultRow& r) {
  return {&r.groupno, &r.filecat, &r.filename, &r.isexist, &r.isok, &r.errid, &r.errdesc};
}

std::string Text(const std::optional<std::string>* cell) { return *cell ? **cell : std::string(); }

void PrintTable(const std::vector<store::ResultRow>& rows, std::FILE* out) {
  std::vector<std::vector<std::string>> lines(1, std::vector<std::string>(kHeaders.begin(), kHeaders.end()));
  for (const store::ResultRow& row : rows) {
    Cells cells = CellsOf(row);
    auto& line = lines.emplace_back();
    for (size_t c = 0; c < kColumns; ++c) line.push_back(Text(cells[c]));
  }
  PrintAligned(lines, out);
}

void PrintTsv(const std::vector<store::ResultRow>& rows, std::FILE* out) {
  for (size_t c = 0; c < kColumns; ++c) std::fprintf(out, "%s%c", kNames[c], c + 1 < kColumns ? '\t' : '\n');
  for (const store::ResultRow& row : rows) {
    Cells cells = CellsOf(row);
    for (size_t c = 0; c < kColumns; ++c)
      std::fprintf(out, "%s%c", TsvCell(Text(cells[c])).c_str(), c + 1 < kColumns ? '\t' : '\n');
  }
}

std::string SummaryJson(const FindingSummary& s) {
  std::string json = ", \"records\": " + std::to_string(s.records) + ", \"values\": [";
  for (size_t i = 0; i < s.values.size(); ++i)
    json += std::string(i ? ", " : "") + "{\"field\": " + JsonString(s.values[i].field) +
            ", \"value\": " + JsonString(s.values[i].value) + ", \"count\": " + std::to_string(s.values[i].count) +
            "}";
  return json + "]";
}

void PrintJson(const std::vector<store::ResultRow>& rows, std::FILE* out, const Summaries& summaries) {
  std::fprintf(out, "[");
  for (size_t r = 0; r < rows.size(); ++r) {
    Cells cells = CellsOf(rows[r]);
    std::string object = r ? ",\n {" : "\n {";
    for (size_t c = 0; c < kColumns; ++c) {
      object += std::string(c ? ", " : "") + "\"" + kNames[c] + "\": ";
      object += *cells[c] ? JsonString(**cells[c]) : "null";
    }
    if (r < summaries.size() && summaries[r]) object += SummaryJson(*summaries[r]);
    std::fprintf(out, "%s}", object.c_str());
  }
  std::fprintf(out, rows.empty() ? "]\n" : "\n]\n");
}

}  // namespace

std::optional<ResultsFormat> ParseResultsFormat(std::string_view text) {
  if (text == "table") return ResultsFormat::Table;
  if (text == "tsv") return ResultsFormat::Tsv;
  if (text == "json") return ResultsFormat::Json;
  return std::nullopt;
}

Summaries SummariesOf(store::Store& store, const std::vector<store::ResultRow>& rows) {
  // Findings by their three texts; two findings alike are taken in order.
  std::multimap<std::tuple<std::string, std::string, std::string>, store::FindingRow> findings;
  for (store::FindingRow& f : store.readFindings())
    findings.emplace(std::make_tuple(f.filename, f.errid, f.errdesc), std::move(f));
  Summaries summaries;
  for (const store::ResultRow& row : rows) {
    auto& summary = summaries.emplace_back();
    if (!row.errid) continue;
    auto it = findings.find(std::make_tuple(row.filename.value_or(""), *row.errid, row.errdesc.value_or("")));
    if (it == findings.end()) continue;
    summary.emplace();
    summary->records = it->second.recordsKept;
    if (auto records = store.readFindingSummary(it->second.fileid, it->second.finding, privacy::Masking::Numbers))
      summary->values = std::move(records->valueCounts);
    findings.erase(it);
  }
  return summaries;
}

void PrintResults(const std::vector<store::ResultRow>& rows, ResultsFormat format, std::FILE* out,
                  const Summaries& summaries) {
  switch (format) {
    case ResultsFormat::Table: return PrintTable(rows, out);
    case ResultsFormat::Tsv: return PrintTsv(rows, out);
    case ResultsFormat::Json: return PrintJson(rows, out, summaries);
  }
}

bool AllFilesClean(const std::vector<store::ResultRow>& rows) {
  for (const store::ResultRow& row : rows)
    if (row.isexist != "1" || row.isok != "1" || row.errid) return false;
  return !rows.empty();
}

}  // namespace fc::cli
