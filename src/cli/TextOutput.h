// cli/TextOutput.h - cells of text as the commands print them: aligned
// columns for people, tab-separated lines and JSON strings for scripts
// (comma-separated lines come from spreadsheet/Csv.h).
//
//   fc::cli::PrintAligned({{"记录号", "YYBDM"}, {"12", "999999"}}, stdout);
#pragma once

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

namespace fc::cli {

// The lines (the first one the headers) with each column padded to the
// display width of its widest cell, trailing blanks cut.
void PrintAligned(const std::vector<std::vector<std::string>>& lines, std::FILE* out);

// The text with tabs and line breaks made blanks.
std::string TsvCell(std::string text);
// The text as a JSON string, quotes included.
std::string JsonString(const std::string& text);

}  // namespace fc::cli
