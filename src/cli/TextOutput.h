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

#include "text/VisibleText.h"

namespace fc::cli {

// Every cell the commands print goes through VisibleText (text/VisibleText.h).
using text::VisibleText;

// The lines (the first one the headers), each cell made VisibleText, with
// each column padded to the display width of its widest cell, trailing
// blanks cut.
void PrintAligned(const std::vector<std::vector<std::string>>& lines, std::FILE* out);

// The text with tabs and line breaks made blanks, then VisibleText.
std::string TsvCell(std::string text);

}  // namespace fc::cli
