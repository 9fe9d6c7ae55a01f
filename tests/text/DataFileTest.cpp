// The data files as editors and spreadsheets write them: byte-order mark,
// CR LF, blank and comment lines, quoted CSV fields, and the one form of a
// fault.
#include "text/DataFile.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace fc::text {
namespace {

TEST(DataFile, AcceptsAByteOrderMarkCrLfAndBlankLines) {
  test::TempDir dir;
  const auto path = dir.write("a.rules", "\xEF\xBB\xBF# head\r\n\r\ntable KHJBXX\r\n   \r\n  # note\nlabel x\n\tlast");
  const DataFile file(path, "规则文件");
  ASSERT_EQ(file.lines().size(), 3u);
  EXPECT_EQ(file.lines()[0].number, 3);
  EXPECT_EQ(file.lines()[0].text, "table KHJBXX");
  EXPECT_EQ(file.lines()[1].number, 6);
  EXPECT_EQ(file.lines()[2].text, "\tlast");
  EXPECT_EQ(file.lastLine(), 7);
  EXPECT_EQ(file.fault(6, "缺少 total"), "规则文件 " + path.string() + " 第6行：缺少 total");
}

TEST(DataFile, CsvFieldsMayBeQuotedAsSpreadsheetsWriteThem) {
  test::TempDir dir;
  const auto path = dir.write("l.csv",
                              "\xEF\xBB\xBFkind,meaning\r\n"
                              "KHJBXX, \"资金账号,即客户号\" ,\"say \"\"hi\"\"\"\r\n"
                              " a , ,\"\"\r\n"
                              "\"two\r\nlines\",x\r\n");
  const std::vector<CsvRecord> records = DataFile(path, "接口规范文件").csvRecords();
  ASSERT_EQ(records.size(), 4u);
  EXPECT_EQ(records[1].fields, (std::vector<std::string>{"KHJBXX", "资金账号,即客户号", "say \"hi\""}));
  EXPECT_EQ(records[2].fields, (std::vector<std::string>{"a", "", ""}));
  EXPECT_EQ(records[3].number, 4);
  EXPECT_EQ(records[3].fields, (std::vector<std::string>{"two\nlines", "x"}));
}

TEST(DataFile, FaultsNameTheFileAndLine) {
  test::TempDir dir;
  const struct {
    const char* content;
    const char* message;  // after "接口规范文件 PATH "
  } cases[] = {
      {"a,b\n\"open,c\nd\n", "第2行：引号没有结束"},
      {"a,\"b\"c\n", "第1行：引号之后应是逗号或行尾"},
  };
  for (const auto& c : cases) {
    const auto path = dir.write("f.csv", c.content);
    try {
      DataFile(path, "接口规范文件").csvRecords();
      ADD_FAILURE() << c.content;
    } catch (const DataFileError& e) {
      EXPECT_EQ(e.what(), "接口规范文件 " + path.string() + " " + c.message);
    }
  }
  try {
    DataFile(dir / "none.csv", "接口规范文件");
    ADD_FAILURE();
  } catch (const DataFileError& e) {
    EXPECT_EQ(e.what(), "无法读取接口规范文件：" + (dir / "none.csv").string());
  }
}

}  // namespace
}  // namespace fc::text
