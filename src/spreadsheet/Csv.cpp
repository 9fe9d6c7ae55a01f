#include "spreadsheet/Csv.h"

namespace fc::spreadsheet {

namespace {

bool IsDigits(std::string_view text) {
  if (text.empty()) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  return true;
}

// The characters that make a spreadsheet read a cell as a formula (a tab or
// carriage return first is skipped by some, which then read what follows).
bool StartsFormula(std::string_view text) {
  return !text.empty() && std::string_view("=+-@\t\r").find(text.front()) != std::string_view::npos;
}

}  // namespace

bool IsPlainNumber(std::string_view text) {
  if (!text.empty() && text.front() == '-') text.remove_prefix(1);
  const size_t point = text.find('.');
  if (point == std::string_view::npos) return IsDigits(text);
  return IsDigits(text.substr(0, point)) && IsDigits(text.substr(point + 1));
}

std::string CsvField(std::string_view text) {
  const bool guard = StartsFormula(text) && !IsPlainNumber(text);
  if (!guard && text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
  std::string quoted = guard ? "\"'" : "\"";
  for (char c : text) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) line += ',';
    line += CsvField(fields[i]);
  }
  return line + "\r\n";
}

}  // namespace fc::spreadsheet
