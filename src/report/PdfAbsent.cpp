// report/PdfAbsent.cpp - report/PdfReport.h where the program is built
// without Pango and Cairo (Windows, for now): the PDF report cannot be made,
// and the operator is told so and pointed at the formats that can.
#include "report/PdfReport.h"

namespace fc::report {

namespace {
constexpr const char* kNoPdf = "此版本不能生成PDF报告，请导出HTML或JSON报告";
}

bool WritePdfReport(const ReportData&, const std::filesystem::path&, std::string& error) {
  error = kNoPdf;
  return false;
}

bool WriteReportPageImages(const ReportData&, const std::filesystem::path&, const std::string&, int,
                           std::string& error) {
  error = kNoPdf;
  return false;
}

}  // namespace fc::report
