#include "query/PaddedText.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace fc::query {
namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

// Byte offset of character `n` (0-based), or s.size() when there are fewer.
size_t Utf8Offset(std::string_view s, int64_t n) {
  size_t i = 0;
  for (; i < s.size() && n > 0; --n)
    for (++i; i < s.size() && IsContinuation(s[i]); ++i) {
    }
  return i;
}

}  // namespace

int ComparePadded(std::string_view a, std::string_view b) {
  size_t common = std::min(a.size(), b.size());
  if (int c = common ? std::memcmp(a.data(), b.data(), common) : 0) return c;
  bool aLonger = a.size() > common;
  std::string_view rest = aLonger ? a.substr(common) : b.substr(common);
  for (char ch : rest) {
    if (ch == ' ') continue;
    bool above = static_cast<unsigned char>(ch) > ' ';
    return above == aLonger ? 1 : -1;
  }
  return 0;
}

std::string_view TrimLeft(std::string_view s) {
  size_t i = 0;
  while (i < s.size() && s[i] == ' ') ++i;
  return s.substr(i);
}

size_t Utf8Count(std::string_view s) {
  size_t n = 0;
  for (char c : s) n += !IsContinuation(c);
  return n;
}

std::string_view Utf8Substr(std::string_view s, int64_t start, int64_t count) {
  if (start < 1 || count <= 0) return s.substr(0, 0);
  size_t from = Utf8Offset(s, start - 1);
  std::string_view rest = s.substr(from);
  return rest.substr(0, Utf8Offset(rest, count));
}

}  // namespace fc::query
