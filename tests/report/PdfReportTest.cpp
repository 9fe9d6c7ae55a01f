#include "report/PdfReport.h"

#include <gtest/gtest.h>

#include <regex>

#include "support/Program.h"
#include "support/TempDir.h"

namespace fc::report {
namespace {

namespace fs = std::filesystem;

// A failed run of ten files, one missing, with a finding whose records
// table is wider and longer than a page.
ReportData LongRun() {
  ReportData data;
  store::RunFacts& f = data.run.facts;
  f.runKey = "k";
  f.submission = naming::Submission::Account;
  f.companyCode = "100001";
  f.companyName = "东岳证券股份有限公司";
  f.dataDate = "20080808";
  f.started = "2026-12-08 19:07:13";
  f.completed = true;
  f.sourceDir = "/data/submissions/2008/08/100001_very_long_directory_name_for_the_source/";
  for (int n = 1; n <= 10; ++n)
    f.files.push_back({n, n, "资金变动信息表", "100001_ZJBDXX_20080808_" + std::to_string(n) + ".ZIP", n != 4, n != 4,
                       123456789, "2026-12-08 10:00:00", std::string(64, 'a' + n % 6), 2000000, 3, 0x7A,
                       n == 4 || n <= 2 ? store::Verdict::Fail : store::Verdict::Pass, n == 4 ? "文件不存在" : ""});
  f.verdict = store::Verdict::Fail;
  f.verdictText = "不通过：应报文件10个，缺少1个；2条规则发现问题，涉及302条记录";
  data.run.id = 12;
  data.run.findings = {{1, 1, f.files[0].filename, "R16", "今日余额与昨日余额及本日发生额不符", 300, {{"ZJZH", "000001", 3}}},
                       {2, 1, f.files[1].filename, "R05", "营业部代码不存在", 2, {}}};
  store::FindingRecords records;
  records.fileid = 1;
  records.finding = 1;
  records.fields = {"ZQGSDM", "YYBDM", "ZJZH", "BZDM", "ZRYE", "XJCQJE", "ZQJYMCJE", "ZQJYMRJE", "FJZJYJE", "JRYE", "SJR"};
  for (int r = 1; r <= 120; ++r)
    records.records.push_back({r, {"100001", "000123", "00000000000000" + std::to_string(100000 + r), "RMB",
                                   "1180000.00", "-20000.00", "0.00", "999999999.99", "0.00", "1160000.00", "20080808"}});
  records.total = 300;
  data.recordsKept = true;
  data.records[{1, 1}] = records;
  return data;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(PdfReportTest, AnA4ReportCarriesTheVerdictEveryFindingAndALongTableOverItsPages) {
  test::TempDir dir;
  const fs::path pdf = dir / "r.pdf";
  std::string error;
  ASSERT_TRUE(WritePdfReport(LongRun(), pdf, error)) << error;
  // A report that cannot be written leaves nothing behind.
  EXPECT_FALSE(WritePdfReport(LongRun(), dir / "missing" / "r.pdf", error));
  EXPECT_FALSE(fs::exists(dir / "missing"));
  if (!test::HasProgram("pdftotext") || !test::HasProgram("pdfinfo")) GTEST_SKIP() << "poppler-utils is not installed";

  const std::string info = test::ProgramOutput({"pdfinfo", pdf.string()});
  EXPECT_NE(info.find("595.28 x 841.89 pts (A4)"), std::string::npos) << info;
  std::smatch pages;
  ASSERT_TRUE(std::regex_search(info, pages, std::regex("Pages: +([0-9]+)")));
  const int pageCount = std::stoi(pages[1]);
  EXPECT_GE(pageCount, 3);

  const std::string text = test::ProgramOutput({"pdftotext", "-enc", "UTF-8", pdf.string(), "-"});
  for (const char* expected : {"证券公司客户交易结算资金账户数据文件检查报告", "检查结论：不通过", "缺少1个", "错误编号 R16",
                               "错误编号 R05", "100001 东岳证券股份有限公司", "2008-08-08", "文件清单"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected;
  // Amounts whole in every row; the heading row again on every page the table reaches.
  EXPECT_EQ(Count(text, "1180000.00"), 120u);
  EXPECT_EQ(Count(text, "999999999.99"), 120u);
  EXPECT_GE(Count(text, "记录号"), 2u);
  for (int n = 1; n <= pageCount; ++n)
    EXPECT_NE(text.find("第 " + std::to_string(n) + " 页，共 " + std::to_string(pageCount) + " 页"), std::string::npos) << n;
  EXPECT_EQ(text.find("\u200B"), std::string::npos);  // break marks are no text
}

// A text longer than a page, as a paragraph and in a table's cell, is cut
// where the page ends, and says so.
TEST(PdfReportTest, ATextLongerThanAPageIsCutWithAMark) {
  if (!test::HasProgram("pdftotext")) GTEST_SKIP() << "poppler-utils is not installed";
  ReportData data = LongRun();
  std::string endless;
  for (int n = 0; n < 6000; ++n) endless += "营业部代码不存在；";
  endless += "ENDOFTEXT";
  data.run.findings[1].errdesc = endless;
  data.records.clear();
  data.previous = data.run;
  data.previous->id = 11;
  data.comparison.emplace();
  data.comparison->added = {{data.run.findings[1].filename, "R05", "", endless, 0, 2}};
  test::TempDir dir;
  std::string error;
  ASSERT_TRUE(WritePdfReport(data, dir / "r.pdf", error)) << error;
  const std::string text = test::ProgramOutput({"pdftotext", "-enc", "UTF-8", (dir / "r.pdf").string(), "-"});
  EXPECT_GE(Count(text, "…"), 2u);
  EXPECT_EQ(text.find("ENDOFTEXT"), std::string::npos);
}

}  // namespace
}  // namespace fc::report
