#include <gtest/gtest.h>

#include "report/HtmlReport.h"
#include "report/JsonReport.h"
#include "report/PdfReport.h"
#include "report/ReportCases.h"
#include "support/Program.h"
#include "support/TempDir.h"

namespace fc::report {
namespace {

// Each kind of run's report in every format, against the files kept in
// tests/report/pinned/ (the PDF as its text, laid out as on the page: the
// file itself carries the time it was made).
class PinnedReportTest : public testing::TestWithParam<std::string> {};

TEST_P(PinnedReportTest, EveryFormatIsAsPinned) {
  const std::string& name = GetParam();
  const ReportData data = test::ReportCase(name);
  test::ExpectPinned(name + ".html", HtmlReport(data));
  test::ExpectPinned(name + ".json", JsonReport(data));
  if (!test::HasProgram("pdftotext")) GTEST_SKIP() << "poppler-utils is not installed";
  test::TempDir dir;
  std::string error;
  ASSERT_TRUE(WritePdfReport(data, dir / "r.pdf", error)) << error;
  test::ExpectPinned(name + ".pdf.txt",
                     test::ProgramOutput({"pdftotext", "-layout", "-enc", "UTF-8", (dir / "r.pdf").string(), "-"}));
}

INSTANTIATE_TEST_SUITE_P(Runs, PinnedReportTest, testing::ValuesIn(test::ReportCaseNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string id = info.param;
                           for (char& c : id) c = c == '-' ? '_' : c;
                           return id;
                         });

}  // namespace
}  // namespace fc::report
