#include "cli/ResultsOutput.h"

#include <array>
#include <string>

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

bool IsWide(char32_t c) {
  return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
         (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
         (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
         (c >= 0xFFE0 && c <= 0xFFE6) || (c >= 0x20000 && c <= 0x3FFFD);
}

// Columns a UTF-8 text takes on a terminal.
size_t DisplayWidth(std::string_view text) {
  size_t width = 0;
  for (size_t i = 0; i < text.size();) {
    unsigned char lead = static_cast<unsigned char>(text[i]);
    size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t c = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (size_t k = 1; k < length && i + k < text.size(); ++k)
      c = (c << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    width += IsWide(c) ? 2 : 1;
    i += length;
  }
  return width;
}

void PrintTable(const std::vector<store::ResultRow>& rows, std::FILE* out) {
  std::vector<std::vector<std::string>> texts;
  for (const store::ResultRow& row : rows) {
    Cells cells = CellsOf(row);
    auto& line = texts.emplace_back();
    for (size_t c = 0; c < kColumns; ++c) line.push_back(Text(cells[c]));
  }
  PrintTextTable({kHeaders.begin(), kHeaders.end()}, texts, out);
}

std::string TsvCell(std::string text) {
  for (char& ch : text)
    if (ch == '\t' || ch == '\n' || ch == '\r') ch = ' ';
  return text;
}

void PrintTsv(const std::vector<store::ResultRow>& rows, std::FILE* out) {
  for (size_t c = 0; c < kColumns; ++c) std::fprintf(out, "%s%c", kNames[c], c + 1 < kColumns ? '\t' : '\n');
  for (const store::ResultRow& row : rows) {
    Cells cells = CellsOf(row);
    for (size_t c = 0; c < kColumns; ++c)
      std::fprintf(out, "%s%c", TsvCell(Text(cells[c])).c_str(), c + 1 < kColumns ? '\t' : '\n');
  }
}

std::string JsonString(const std::string& text) {
  std::string json = "\"";
  for (char ch : text) {
    unsigned char u = static_cast<unsigned char>(ch);
    if (ch == '"' || ch == '\\') {
      json += '\\';
      json += ch;
    } else if (u < 0x20) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", u);
      json += escaped;
    } else {
      json += ch;
    }
  }
  return json + "\"";
}

void PrintJson(const std::vector<store::ResultRow>& rows, std::FILE* out) {
  std::fprintf(out, "[");
  for (size_t r = 0; r < rows.size(); ++r) {
    Cells cells = CellsOf(rows[r]);
    std::string object = r ? ",\n {" : "\n {";
    for (size_t c = 0; c < kColumns; ++c) {
      object += std::string(c ? ", " : "") + "\"" + kNames[c] + "\": ";
      object += *cells[c] ? JsonString(**cells[c]) : "null";
    }
    std::fprintf(out, "%s}", object.c_str());
  }
  std::fprintf(out, rows.empty() ? "]\n" : "\n]\n");
}

}  // namespace

void PrintTextTable(const std::vector<std::string>& headers, const std::vector<std::vector<std::string>>& rows,
                    std::FILE* out) {
  std::vector<size_t> widths(headers.size());
  for (size_t c = 0; c < headers.size(); ++c) widths[c] = DisplayWidth(headers[c]);
  for (const auto& row : rows)
    for (size_t c = 0; c < headers.size() && c < row.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(row[c]));
  auto printLine = [&](const std::vector<std::string>& texts) {
    std::string line;
    for (size_t c = 0; c < texts.size() && c < widths.size(); ++c) {
      line += texts[c];
      if (c + 1 < widths.size()) line += std::string(widths[c] - DisplayWidth(texts[c]) + 2, ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    std::fprintf(out, "%s\n", line.c_str());
  };
  printLine(headers);
  for (const auto& row : rows) printLine(row);
}

std::optional<ResultsFormat> ParseResultsFormat(std::string_view text) {
  if (text == "table") return ResultsFormat::Table;
  if (text == "tsv") return ResultsFormat::Tsv;
  if (text == "json") return ResultsFormat::Json;
  return std::nullopt;
}

void PrintResults(const std::vector<store::ResultRow>& rows, ResultsFormat format, std::FILE* out) {
  switch (format) {
    case ResultsFormat::Table: return PrintTable(rows, out);
    case ResultsFormat::Tsv: return PrintTsv(rows, out);
    case ResultsFormat::Json: return PrintJson(rows, out);
  }
}

bool AllFilesClean(const std::vector<store::ResultRow>& rows) {
  for (const store::ResultRow& row : rows)
    if (row.isexist != "1" || row.isok != "1" || row.errid) return false;
  return !rows.empty();
}

}  // namespace fc::cli
