// report/ReportFormats.h - the report's formats, chosen by the ending of the
// file it goes to: HTML (.html, .htm), PDF (.pdf) and JSON (.json). The
// command line's `report --output` and the results window's 导出报告 both
// choose here, so that they write the same file for the same name.
//
//   const fc::report::ReportFormat* format = fc::report::FormatOf(output);
//   if (!format) fail("--output 的文件名应以 .html、.pdf 或 .json 结尾");
//   if (!format->write(data, output, error)) fail(error);
#pragma once

#include <filesystem>
#include <span>
#include <string>

#include "report/ReportData.h"

namespace fc::report {

struct ReportFormat {
  const char* ending;  // ".html", in lower case
  const char* name;    // what a file dialog calls it ("网页文件"); null for a second ending of a format
  // Writes the report to `file` whole or not at all; false with `error` when it cannot.
  bool (*write)(const ReportData& data, const std::filesystem::path& file, std::string& error);
};

// Every format, the HTML page first (a file dialog's default).
std::span<const ReportFormat> ReportFormats();

// The format of `file`'s ending, letter case ignored; null when it has none of them.
const ReportFormat* FormatOf(const std::filesystem::path& file);

}  // namespace fc::report
