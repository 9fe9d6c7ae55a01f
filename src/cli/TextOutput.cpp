#include "cli/TextOutput.h"

#include <algorithm>
#include <cstdio>

#include "text/Utf8.h"

namespace fc::cli {

using text::DisplayWidth;

namespace {

// The code point of the two- or three-byte UTF-8 sequence at `at`, or 0.
char32_t CodePointAt(std::string_view text, size_t at, size_t& length) {
  const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[at + i]); };
  const auto follows = [&](size_t i) { return at + i < text.size() && (byte(i) & 0xC0) == 0x80; };
  if ((byte(0) & 0xE0) == 0xC0 && follows(1)) {
    length = 2;
    return (char32_t{byte(0)} & 0x1F) << 6 | (byte(1) & 0x3F);
  }
  if ((byte(0) & 0xF0) == 0xE0 && follows(1) && follows(2)) {
    length = 3;
    return (char32_t{byte(0)} & 0x0F) << 12 | (char32_t{byte(1)} & 0x3F) << 6 | (byte(2) & 0x3F);
  }
  return 0;
}

// C1 controls and the bidirectional embeddings, overrides and isolates,
// which reorder what a terminal shows after them.
bool IsHiddenControl(char32_t c) {
  return (c >= 0x80 && c <= 0x9F) || (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
}

}  // namespace

std::string VisibleText(std::string_view text) {
  std::string shown;
  shown.reserve(text.size());
  char escape[12];
  for (size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte < 0x20 || byte == 0x7F) {
      std::snprintf(escape, sizeof escape, "\\x%02x", byte);
      shown += escape;
      ++i;
      continue;
    }
    size_t length = 1;
    const char32_t c = byte < 0x80 ? 0 : CodePointAt(text, i, length);
    if (IsHiddenControl(c)) {
      std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(c));
      shown += escape;
    } else {
      shown.append(text, i, length);
    }
    i += length;
  }
  return shown;
}

void PrintAligned(const std::vector<std::vector<std::string>>& raw, std::FILE* out) {
  std::vector<std::vector<std::string>> lines;
  for (const auto& cells : raw) {
    auto& shown = lines.emplace_back();
    for (const std::string& cell : cells) shown.push_back(VisibleText(cell));
  }
  std::vector<size_t> widths;
  for (const auto& cells : lines) {
    widths.resize(std::max(widths.size(), cells.size()));
    for (size_t c = 0; c < cells.size(); ++c) widths[c] = std::max(widths[c], DisplayWidth(cells[c]));
  }
  for (const auto& cells : lines) {
    std::string line;
    for (size_t c = 0; c < cells.size(); ++c) {
      line += cells[c];
      if (c + 1 < cells.size()) line += std::string(widths[c] - DisplayWidth(cells[c]) + 2, ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    std::fprintf(out, "%s\n", line.c_str());
  }
}

std::string TsvCell(std::string text) {
  for (char& ch : text)
    if (ch == '\t' || ch == '\n' || ch == '\r') ch = ' ';
  return VisibleText(text);
}

}  // namespace fc::cli
