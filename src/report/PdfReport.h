// report/PdfReport.h - the check report (report/ReportModel.h) laid out for
// A4 paper: the headline with the run's verdict, the run facts, the
// summary with a bar of findings per table, the file list, every finding
// with its value counts and first records, and the comparison with the
// previous run. The CLI (`report --output FILE.pdf`) and the results window
// make the same file from here.
//
//   std::string error;
//   if (!fc::report::WritePdfReport(data, "/out/检查报告.pdf", error)) fail(error);
//
// The pages are laid out by report/PdfLayout.h: tables across the page's
// width with their heading row repeated on every page they reach, headings
// kept with what follows, and a footer naming the run and numbering the page.
#pragma once

#include <filesystem>
#include <string>

#include "report/ReportData.h"

namespace fc::report {

// What the operator is told where the PDF report cannot be made at all.
inline constexpr const char* kNoPdfReport = "此版本不能生成PDF报告，请导出HTML或JSON报告";

// Writes the report to `file` whole or not at all; false with `error` when it cannot.
bool WritePdfReport(const ReportData& data, const std::filesystem::path& file, std::string& error);

// The first `pages` pages as PNG images `dir`/`prefix`-1.png, ... (for the
// screenshots); false with `error` when one cannot be written.
bool WriteReportPageImages(const ReportData& data, const std::filesystem::path& dir, const std::string& prefix,
                           int pages, std::string& error);

}  // namespace fc::report
