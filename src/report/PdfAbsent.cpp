// report/PdfAbsent.cpp - report/PdfReport.h where the program is built
// without Pango and Cairo (Windows without the desktop program's libraries):
// the PDF report cannot be made, and the operator is told so and pointed at
// the formats that can.
#include "report/PdfReport.h"

namespace fc::report {

bool WritePdfReport(const ReportData&, const std::filesystem::path&, std::string& error) {
  error = kNoPdfReport;
  return false;
}

bool WriteReportPageImages(const ReportData&, const std::filesystem::path&, const std::string&, int,
                           std::string& error) {
  error = kNoPdfReport;
  return false;
}

}  // namespace fc::report
