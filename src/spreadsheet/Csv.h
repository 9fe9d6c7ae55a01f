// spreadsheet/Csv.h - comma-separated lines for spreadsheets: the one writer
// of every CSV the program makes (the records window's export and
// `filingcheck-cli records --format csv`).
//
//   std::string text(fc::spreadsheet::kUtf8Bom);
//   text += fc::spreadsheet::CsvLine({"记录号", "ZJHM"});
//   text += fc::spreadsheet::CsvLine({"12", "=2+5"});   // 12,"'=2+5"\r\n
//
// Lines end in CRLF; a file starts with the UTF-8 byte order mark, without
// which a spreadsheet misreads the Chinese text. A field a spreadsheet would
// run as a formula (one starting with = + - @, a tab or a carriage return)
// is quoted behind an apostrophe, which the spreadsheet shows as text; a
// plain number ("-12.50") is left as it is.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fc::spreadsheet {

inline constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// True for an optional minus, digits, and optionally a point and digits.
bool IsPlainNumber(std::string_view text);

// One field: guarded against formulas as above, and quoted (quotes doubled)
// when it holds a comma, a quote or a line break.
std::string CsvField(std::string_view text);

// The fields joined by commas, ending in CRLF.
std::string CsvLine(const std::vector<std::string>& fields);

}  // namespace fc::spreadsheet
