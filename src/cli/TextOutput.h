// cli/TextOutput.h - cells of text as the commands print them: aligned
// columns for people, tab-separated lines for scripts (comma-separated lines
// come from spreadsheet/Csv.h, JSON texts from text/Json.h).
//
//   fc::cli::PrintAligned({{"记录号", "YYBDM"}, {"12", "999999"}}, stdout);
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace fc::cli {

// `text` safe to show on a terminal: every control character (C0, tab and
// line breaks included, DEL, C1) and every bidirectional embedding, override
// or isolate replaced by a visible escape ("\x1b", "\u202e"), so that a
// value can neither move the cursor, retitle the window, reorder the line
// nor split a row.
std::string VisibleText(std::string_view text);

// The lines (the first one the headers), each cell made VisibleText, with
// each column padded to the display width of its widest cell, trailing
// blanks cut.
void PrintAligned(const std::vector<std::vector<std::string>>& lines, std::FILE* out);

// The text with tabs and line breaks made blanks, then VisibleText.
std::string TsvCell(std::string text);

}  // namespace fc::cli
