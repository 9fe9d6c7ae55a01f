// query/PaddedText.h - text operations with the FoxPro meaning of the rules.
//
// Texts compare as if the shorter one were padded with blanks, so trailing
// blanks never matter ("1 " = "1") and leading ones do (" 1" <> "1").
// Character counts and positions are those of UTF-8 text; callers decode
// code-page bytes first (ASCII is the same in both).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace fc::query {

// <0, 0 or >0, comparing bytes without sign, the shorter side padded with blanks.
int ComparePadded(std::string_view a, std::string_view b);

// Inline: keys trim every field they read. Eight blanks at a time first,
// since fixed-width fields often end in many.
inline std::string_view TrimRight(std::string_view s) {
  constexpr uint64_t kBlanks = 0x2020202020202020ull;
  size_t n = s.size();
  for (uint64_t word; n >= 8; n -= 8) {
    std::memcpy(&word, s.data() + n - 8, 8);
    if (word != kBlanks) break;
  }
  while (n > 0 && s[n - 1] == ' ') --n;
  return s.substr(0, n);
}
std::string_view TrimLeft(std::string_view s);

// Number of characters of UTF-8 text.
size_t Utf8Count(std::string_view s);

// Up to `count` characters of UTF-8 text from character `start` (the first
// is 1); empty when start is below 1 or beyond the end.
std::string_view Utf8Substr(std::string_view s, int64_t start, int64_t count);

}  // namespace fc::query
