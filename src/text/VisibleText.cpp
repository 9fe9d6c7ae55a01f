#include "text/VisibleText.h"

#include <cstdio>

#include "text/Utf8.h"

namespace fc::text {

namespace {

bool IsControl(char32_t c) { return c < 0x20 || c == 0x7F; }

// C1 controls and the bidirectional embeddings, overrides and isolates,
// which reorder what is shown after them.
bool IsHiddenControl(char32_t c) {
  return (c >= 0x80 && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::string VisibleText(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  char escape[12];
  for (size_t pos = 0; pos < text.size();) {
    const size_t start = pos;
    const char32_t c = NextCharacter(text, pos);
    if (IsControl(c)) {
      std::snprintf(escape, sizeof escape, "\\x%02x", static_cast<unsigned>(c));
      shown += escape;
    } else if (IsHiddenControl(c)) {
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      shown += escape;
    } else {
      shown.append(text, start, pos - start);
    }
  }
  return shown;
}

}  // namespace fc::text
