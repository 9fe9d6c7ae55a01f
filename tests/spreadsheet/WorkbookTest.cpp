#include "spreadsheet/Workbook.h"

#include <gtest/gtest.h>

#include <regex>

#include "report/ReportCases.h"
#include "support/TempDir.h"
#include "support/Zip.h"

namespace fc::spreadsheet {
namespace {

namespace fs = std::filesystem;

// One cell of a sheet's XML: "text", "number" or "blank", and its value.
std::pair<std::string, std::string> Cell(const std::string& xml, const std::string& ref) {
  const size_t at = xml.find("<c r=\"" + ref + "\"");
  if (at == std::string::npos) return {"none", ""};
  const size_t tagEnd = xml.find('>', at);
  if (xml[tagEnd - 1] == '/') return {"blank", ""};
  const std::string cell = xml.substr(at, xml.find("</c>", at) - at);
  std::smatch value;
  std::regex_search(cell, value, std::regex("<(?:t|v)[^>]*>([^<]*)</(?:t|v)>"));
  return {cell.find("t=\"inlineStr\"") != std::string::npos || cell.find("t=\"s\"") != std::string::npos ? "text"
                                                                                                        : "number",
          value[1]};
}

class WorkbookTest : public testing::Test {
 protected:
  test::TempDir dir;
  naming::InterfaceLayouts agreement =
      naming::InterfaceLayouts::load(fs::path(FC_SOURCE_DATA_DIR) / "rulesets" / "interface-1" / "layouts.csv");
  std::unique_ptr<store::Store> store = store::Store::open(dir.path(), FC_SOURCE_DATA_DIR);

  void SetUp() override {
    store->setPersonalFields(agreement.personalFields());
    store->beginFile();
    store->insertFinding(1, "R99", "证件号码重复");
    store->addFindingRecords({1, 1, "R99", "KHJBXX", {"ZJZH", "ZJHM", "KHQC"},
                              {{2, {"000001", "110101199001011234", "=2+5"}},
                               {5, {"000002", "110101199001015678", "@SUM(1)"}},
                               {9, {"000003", "护照E12", "张三"}}},
                              3, {}});
    store->insertFile({1, 1, "客户基本信息表", "100001_KHJBXX_20080808_1.DBF", 1, 1, 3});
    store->beginFile();
    store->insertFinding(2, "R08", "今日余额不符");
    store->addFindingRecords({2, 1, "R08", "ZJBDXX", {"ZJZH", "JRYE", "ZRYE"},
                              {{4, {"000123", "118.00", "-0.50"}}, {6, {"000124", "1234567890123456.78", ""}}}, 2, {}});
    store->insertFile({2, 1, "资金变动信息表", "100001_ZJBDXX_20080808_1.DBF", 1, 1, 3});
  }

  std::string part(const fs::path& book, const std::string& name) {
    const std::map<std::string, std::string> parts = test::ReadZip(book);
    const auto found = parts.find(name);
    return found == parts.end() ? "" : found->second;
  }
};

TEST_F(WorkbookTest, CodesStayTextAmountsAreNumbersAndMaskingIsTheReadersChoice) {
  for (privacy::Masking masking : {privacy::Masking::Numbers, privacy::Masking::Off}) {
    const bool masked = masking == privacy::Masking::Numbers;
    SCOPED_TRACE(masked);
    Workbook book;
    book.findings = ReadFindingSheets(*store, masking);
    book.agreement = &agreement;
    book.rowsPerSheet = 3;  // a heading and two records: the first finding takes two sheets
    const fs::path file = dir / "r.xlsx";
    std::string error;
    ASSERT_TRUE(WriteWorkbook(file, book, error)) << error;

    const std::string names = part(file, "xl/workbook.xml");
    for (const char* name : {"name=\"R99 KHJBXX\"", "name=\"R99 KHJBXX (2)\"", "name=\"R08 ZJBDXX\""})
      EXPECT_NE(names.find(name), std::string::npos) << name;
    const std::string first = part(file, "xl/worksheets/sheet1.xml");
    const std::string second = part(file, "xl/worksheets/sheet2.xml");
    const std::string amounts = part(file, "xl/worksheets/sheet3.xml");
    const std::pair<std::string, std::string> cells[] = {
        Cell(first, "A1"), Cell(first, "B1"), Cell(first, "A2"), Cell(first, "B2"), Cell(first, "C2"),
        Cell(first, "D2"), Cell(first, "D3"), Cell(second, "A2"), Cell(second, "C2"), Cell(second, "A3"),
        Cell(amounts, "C2"), Cell(amounts, "D2"), Cell(amounts, "C3"), Cell(amounts, "D3")};
    const std::pair<std::string, std::string> expected[] = {
        {"text", "记录号"}, {"text", "资金账号 ZJZH"}, {"number", "2"}, {"text", "000001"},
        {"text", masked ? "110101********1234" : "110101199001011234"}, {"text", "=2+5"}, {"text", "@SUM(1)"},
        {"number", "9"}, {"text", masked ? "*****" : "护照E12"}, {"none", ""},
        {"number", "118"}, {"number", "-0.5"}, {"text", "1234567890123456.78"}, {"blank", ""}};
    for (size_t i = 0; i < std::size(cells); ++i) EXPECT_EQ(cells[i], expected[i]) << i;
    for (const std::string* sheet : {&first, &second, &amounts}) {
      EXPECT_EQ(sheet->find("<f>"), std::string::npos);  // no formula anywhere
      EXPECT_NE(sheet->find("ySplit=\"1\""), std::string::npos);
      EXPECT_NE(sheet->find("<autoFilter"), std::string::npos);
    }
    EXPECT_NE(part(file, "xl/styles.xml").find("formatCode=\"0.00\""), std::string::npos);
  }
}

TEST_F(WorkbookTest, TheSummaryCarriesTheVerdictAndPointsEveryFindingAtItsSheet) {
  report::ReportData data;
  data.run.id = 7;
  data.run.facts.companyCode = "100001";
  data.run.facts.dataDate = "20080808";
  data.run.facts.verdict = store::Verdict::Fail;
  data.run.facts.verdictText = "不通过：应报文件3个，缺少1个；2条规则发现问题，涉及5条记录";
  data.run.findings = {{1, 1, "100001_KHJBXX_20080808_1.DBF", "R99", "证件号码重复", 3, {}},
                       {2, 1, "100001_ZJBDXX_20080808_1.DBF", "R08", "今日余额不符", 2, {}}};
  Workbook book;
  book.run = &data;
  book.findings = ReadFindingSheets(*store, privacy::Masking::Numbers);
  const fs::path file = dir / "run.xlsx";
  std::string error;
  ASSERT_TRUE(WriteWorkbook(file, book, error)) << error;
  EXPECT_NE(part(file, "xl/workbook.xml").find("<sheet name=\"检查概况\" sheetId=\"1\""), std::string::npos);
  const std::string summary = part(file, "xl/worksheets/sheet1.xml");
  EXPECT_EQ(Cell(summary, "B2"), (std::pair<std::string, std::string>{"text", "不通过"}));
  EXPECT_NE(Cell(summary, "B3").second.find("缺少1个"), std::string::npos);
  EXPECT_EQ(Cell(summary, "E10"), (std::pair<std::string, std::string>{"text", "R99 KHJBXX"}));
  EXPECT_EQ(Cell(summary, "D11"), (std::pair<std::string, std::string>{"number", "2"}));
  EXPECT_EQ(Cell(summary, "E11"), (std::pair<std::string, std::string>{"text", "R08 ZJBDXX"}));

  // A workbook that cannot be written leaves nothing behind.
  EXPECT_FALSE(WriteWorkbook(dir / "missing" / "r.xlsx", book, error));
  EXPECT_NE(error.find("missing"), std::string::npos);
  EXPECT_FALSE(fs::exists(dir / "missing"));
}

// The summary sheet of each kind of run, against the sheet kept in
// tests/report/pinned/ beside the same run's other reports.
class WorkbookSummaryTest : public testing::TestWithParam<std::string> {};

TEST_P(WorkbookSummaryTest, TheSummarySheetIsAsPinned) {
  const report::ReportData data = test::ReportCase(GetParam());
  Workbook book;
  book.run = &data;
  for (const auto& [key, records] : data.records)
    book.findings.push_back({{key.first, key.second, "", records.errid, "", 0, records.total}, records});
  test::TempDir dir;
  std::string error;
  ASSERT_TRUE(WriteWorkbook(dir / "r.xlsx", book, error)) << error;
  test::ExpectPinned(GetParam() + ".summary.xml",
                     test::ReadZip(dir / "r.xlsx").at("xl/worksheets/sheet1.xml"));
}

INSTANTIATE_TEST_SUITE_P(Runs, WorkbookSummaryTest, testing::ValuesIn(test::ReportCaseNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string id = info.param;
                           for (char& c : id) c = c == '-' ? '_' : c;
                           return id;
                         });

}  // namespace
}  // namespace fc::spreadsheet
