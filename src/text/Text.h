// text/Text.h - the small text helpers every module shares: blank trimming,
// ASCII digit tests, ASCII case folding, counts and dates as messages show them.
//
//   std::string_view code = fc::text::Trim(field);             // " 100001 " -> "100001"
//   if (fc::text::AllDigits(code)) ...
//   if (fc::text::EqualsNoCase(entry, "KHJBXX.DBF")) ...
//   std::string n = fc::text::CountText(12);                   // " 12"
//
// Only ASCII letters fold: the tables' names and fields are ASCII, and a
// byte of a Chinese character must never compare equal to a letter. The
// one-character tests are inline because the query evaluator runs them per
// record.
#pragma once

#include <string>
#include <string_view>

namespace fc::text {

// The blank that pads every DBF field and every typed input.
inline constexpr std::string_view kBlank = " ";
// Blanks, tabs and the carriage return a Windows line ending leaves behind.
inline constexpr std::string_view kWhite = " \t\r";

// `s` without the leading and trailing characters of `set`.
std::string_view Trim(std::string_view s, std::string_view set = kBlank);

inline constexpr bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// True when `s` holds only the ASCII digits "0"-"9" (an empty `s` too).
bool AllDigits(std::string_view s);

inline constexpr char FoldUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
inline constexpr char FoldLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::string ToUpper(std::string_view s);
std::string ToLower(std::string_view s);

// True when `a` and `b` differ at most in the case of ASCII letters.
bool EqualsNoCase(std::string_view a, std::string_view b);

// A count in a message or status text: " 12" for 12, "-3" for -3. The blank
// holds the place of the sign, so every text of both submissions reads a
// count the same way.
std::string CountText(int n);

// "2008-08-08" for "20080808", as the run times write a date; any other text as it is.
std::string DashedDate(const std::string& yyyymmdd);

}  // namespace fc::text
