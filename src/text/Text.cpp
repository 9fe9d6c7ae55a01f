#include "text/Text.h"

#include <algorithm>

namespace fc::text {

std::string_view Trim(std::string_view s, std::string_view set) {
  const auto first = s.find_first_not_of(set);
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(set) - first + 1);
}

bool AllDigits(std::string_view s) { return std::all_of(s.begin(), s.end(), IsDigit); }

std::string ToUpper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = FoldUpper(c);
  return out;
}

std::string ToLower(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = FoldLower(c);
  return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return FoldUpper(x) == FoldUpper(y); });
}

std::string CountText(int n) {
  std::string text = std::to_string(n);
  return n < 0 ? text : " " + text;
}

std::string DashedDate(const std::string& date) {
  if (date.size() != 8) return date;
  return date.substr(0, 4) + "-" + date.substr(4, 2) + "-" + date.substr(6, 2);
}

}  // namespace fc::text
