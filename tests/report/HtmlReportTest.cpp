#include "report/HtmlReport.h"

#include <gtest/gtest.h>

#include <regex>

#include "report/JsonReport.h"
#include "report/PdfReport.h"
#include "support/Program.h"
#include "support/TempDir.h"

namespace fc::report {
namespace {

const std::string kHostile = "<script>alert('x')</script>&\"<img src=http://evil/x.png>";

// A run whose every operator-supplied text is hostile markup.
ReportData HostileRun() {
  ReportData data;
  store::RunFacts& f = data.run.facts;
  f.runKey = "k";
  f.submission = naming::Submission::Account;
  f.companyCode = "100001";
  f.companyName = kHostile;
  f.dataDate = "20080808";
  f.sourceDir = "/in/" + kHostile + "/";
  f.kinds = {"KHJBXX"};
  f.files = {{1, 1, "客户基本信息表", kHostile + ".ZIP", 1, 1, 10, "2026-01-01 00:00:00", std::string(64, 'a'), 1, 3, 0}};
  f.packs = {{kHostile + ".ZIP", 5, std::string(64, 'b')}};
  data.run.id = 2;
  data.run.findings = {{1, 1, kHostile + ".ZIP", "R05", kHostile, 1, {{"KHXM", kHostile, 1}}}};
  store::FindingRecords records;
  records.fileid = 1;
  records.finding = 1;
  records.fields = {"KHXM", kHostile};
  records.records = {{7, {kHostile, "x"}}};
  records.total = 1;
  data.recordsKept = true;
  data.records[{1, 1}] = records;
  data.previous = data.run;
  data.previous->id = 1;
  data.previous->findings.clear();
  data.comparison = history::Compare(*data.previous, data.run);
  return data;
}

TEST(HtmlReportTest, EveryOperatorValueIsEscapedAndNothingIsFetched) {
  const std::string page = HtmlReport(HostileRun());
  EXPECT_EQ(page.find("<script"), std::string::npos);
  EXPECT_EQ(page.find("<img"), std::string::npos);
  EXPECT_EQ(page.find("alert('x')"), std::string::npos);
  EXPECT_NE(page.find("&lt;script&gt;alert(&#39;x&#39;)&lt;/script&gt;&amp;&quot;&lt;img"), std::string::npos);
  // Six places hold the hostile text at least: name, directory, file, finding, value, record, comparison.
  size_t copies = 0;
  for (size_t at = page.find("&lt;script&gt;"); at != std::string::npos; at = page.find("&lt;script&gt;", at + 1)) ++copies;
  EXPECT_GE(copies, 8u);
  // Self-contained: no link, source or import of anything outside the page.
  EXPECT_FALSE(std::regex_search(page, std::regex(R"(<[a-z]+[^>]*\s(src|href)\s*=|url\(|@import|<link|<iframe|<object)", std::regex::icase)));
  EXPECT_NE(page.find("<svg"), std::string::npos);

  // The JSON of the same run parses and keeps the hostile texts as they are.
  const std::string json = JsonReport(HostileRun());
  EXPECT_NE(json.find("\"companyName\": \"<script>alert('x')</script>&\\\"<img"), std::string::npos);
}

TEST(HtmlReportTest, ComparisonMarksNewFindingsAndChangedFiles) {
  ReportData data = HostileRun();
  const std::string page = HtmlReport(data);
  // Each change row names its kind under the heading 变化, so the columns stay under their headings.
  EXPECT_NE(page.find("<th>变化</th>"), std::string::npos);
  EXPECT_NE(page.find("<tr class=\"new\"><td>新增</td><td>"), std::string::npos);
  EXPECT_EQ(page.find("<tr class=\"gone\">"), std::string::npos);
  data.comparison = history::Compare(data.run, *data.previous);  // the other way: the finding is gone
  const std::string reversed = HtmlReport(data);
  EXPECT_NE(reversed.find("<tr class=\"gone\"><td>消除</td><td>"), std::string::npos);
  EXPECT_EQ(reversed.find("<tr class=\"new\">"), std::string::npos);
  data.previous.reset();
  data.comparison.reset();
  EXPECT_NE(HtmlReport(data).find(kNoPreviousRun), std::string::npos);
}

// Terminal controls and direction overrides in the data (a file name, a
// company name, a finding, a value) show as escapes in the page and on
// paper: none reaches the reader raw to reorder or hide what follows.
TEST(HtmlReportTest, ControlsAndDirectionOverridesShowAsEscapes) {
  const std::string sly = "A\u202eGNP.EXE\x1b[2J\tB";
  ReportData data = HostileRun();
  data.run.facts.companyName = sly;
  data.run.facts.files[0].filename = data.run.findings[0].filename = sly + ".ZIP";
  data.run.findings[0].errdesc = sly;
  data.run.findings[0].valueCounts[0].value = sly;
  data.records[{1, 1}].records[0].values[0] = sly;
  const std::string shown = "A\\u202eGNP.EXE\\x1b[2J\\x09B";
  std::vector<std::string> pages = {HtmlReport(data)};
  test::TempDir dir;
  std::string error;
  if (test::HasProgram("pdftotext")) {
    ASSERT_TRUE(WritePdfReport(data, dir / "r.pdf", error)) << error;
    pages.push_back(test::ProgramOutput({"pdftotext", "-enc", "UTF-8", (dir / "r.pdf").string(), "-"}));
  }
  for (const std::string& page : pages) {
    EXPECT_EQ(page.find("\u202e"), std::string::npos);
    EXPECT_EQ(page.find('\x1b'), std::string::npos);
    EXPECT_EQ(page.find('\t'), std::string::npos);
    EXPECT_NE(page.find(shown), std::string::npos);
  }
  // The JSON keeps the value as it is, escaped as JSON escapes it.
  EXPECT_NE(JsonReport(data).find("A\u202eGNP.EXE\\u001b[2J\\tB"), std::string::npos);
}

}  // namespace
}  // namespace fc::report
