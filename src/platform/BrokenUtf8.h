// platform/BrokenUtf8.h - how many bytes of UTF-8 one refused character
// takes, so that a conversion skips it as one and goes on. For the
// CodePageText units.
//
//   out += replacement;
//   at += fc::platform::BrokenUtf8Length(in.data() + at, in.size() - at);
#pragma once

#include <cstddef>

namespace fc::platform {

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
inline size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

// A broken UTF-8 sequence ends at its first non-continuation byte; a whole
// one (a character the target has no place for) is its length.
inline size_t BrokenUtf8Length(const char* at, size_t left) {
  size_t n = Utf8Length(static_cast<unsigned char>(*at));
  for (size_t i = 1; i < n; ++i)
    if (i >= left || (static_cast<unsigned char>(at[i]) & 0xC0) != 0x80) return i;
  return n;
}

}  // namespace fc::platform
