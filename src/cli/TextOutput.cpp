#include "cli/TextOutput.h"

#include <algorithm>
#include <cstdio>

#include "text/Utf8.h"

namespace fc::cli {

using text::DisplayWidth;

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
