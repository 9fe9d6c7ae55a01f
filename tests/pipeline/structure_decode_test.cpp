// Decoding the structure library's answers into fileerr rows.
#include <gtest/gtest.h>

#include "naming/InterfaceLayouts.h"
#include "pipeline/StructureCheck.h"
#include "store/Store.h"
#include "support/StoreRows.h"
#include "support/TempDir.h"

namespace fc::pipeline {

using naming::InterfaceLayouts;
namespace {

using Rows = std::vector<std::pair<std::string, std::string>>;  // errid, errdesc

class DecodeTest : public ::testing::Test {
 protected:
  DecodeTest() : store_(store::Store::open(home_.path(), FC_SOURCE_DATA_DIR)) {}

  Rows decode(std::string_view answer, int fileId = 3) {
    store_->clearRun();
    DecodeDbfResult(*store_, answer, fileId);
    Rows rows;
    for (auto& r : test::StoreRows(*store_, "select fileid, errid, errdesc from fileerr order by rowid")) {
      EXPECT_EQ(r[0].value_or(""), std::to_string(fileId));
      rows.emplace_back(r[1].value_or("NULL"), r[2].value_or(""));
    }
    return rows;
  }

  test::TempDir home_;
  std::unique_ptr<store::Store> store_;
};

TEST_F(DecodeTest, FieldItemsInOrder) {
  EXPECT_EQ(decode("字段:A@1 B@2"),
            (Rows{{"4", "字段A长度不符合接口规范"}, {"5", "接口约定字段B不存在"}}));
  EXPECT_EQ(decode("字段:客户名@3 ZJZH@6 ZRYE@7"),
            (Rows{{"6", "字段客户名不是接口约定字段"},
                  {"9", "从字段ZJZH开始字段顺序与接口约定不一致"},
                  {"10", "字段ZRYE类型不符合接口规范"}}));
}

TEST_F(DecodeTest, OtherCodesHaveNoDescription) {
  EXPECT_EQ(decode("字段:A@4 B@5 C@0 D@"), (Rows{{"7", ""}, {"8", ""}, {"3", ""}, {"3", ""}}));
  EXPECT_EQ(decode("字段:A@12abc"), (Rows{{"15", ""}}));  // the leading number counts
  EXPECT_EQ(decode("字段:A@-1"), (Rows{{"2", ""}}));
  EXPECT_EQ(decode("字段:A@99999999999999999999"), (Rows{{"1000000002", ""}}));  // no overflow
}

TEST_F(DecodeTest, ItemsWithoutAtAreDropped) {
  EXPECT_EQ(decode("字段:A B@2 C"), (Rows{{"5", "接口约定字段B不存在"}}));
  EXPECT_EQ(decode("字段:"), Rows{});
}

TEST_F(DecodeTest, SeveralBlanksMakeNoEmptyItem) {
  EXPECT_EQ(decode("字段:A@1     B@3   "),
            (Rows{{"4", "字段A长度不符合接口规范"}, {"6", "字段B不是接口约定字段"}}));
}

TEST_F(DecodeTest, FieldRowsComeBeforeTheDateRow) {
  EXPECT_EQ(decode("字段:A@1 日期20080801,20080802"),
            (Rows{{"4", "字段A长度不符合接口规范"}, {"7", "存在非指定日期20080801,20080802的数据"}}));
}

TEST_F(DecodeTest, DateSectionAlone) {
  EXPECT_EQ(decode("日期空,20080801,20080802等"), (Rows{{"7", "存在非指定日期空,20080801,20080802等的数据"}}));
  EXPECT_EQ(decode("日期   "), Rows{});  // nothing after the word: no row
}

TEST_F(DecodeTest, TextWithoutEitherWordIsOneProblem) {
  EXPECT_EQ(decode("文件不是有效的DBF表：文件只有3字节"), (Rows{{"8", "文件不是有效的DBF表：文件只有3字节"}}));
  EXPECT_EQ(decode("x"), (Rows{{"8", "x"}}));
}

TEST_F(DecodeTest, FieldSectionAlwaysStartsAtTheFourthCharacter) {
  // Wherever "字段" stands, the section is cut from the fourth character on.
  EXPECT_EQ(decode("xx字段:A@1"), (Rows{{"4", "字段段:A长度不符合接口规范"}}));
  // A date word before the field word leaves no field section.
  EXPECT_EQ(decode("日期20080801 字段:A@1"), (Rows{{"7", "存在非指定日期20080801 字段:A@1的数据"}}));
}

TEST_F(DecodeTest, CheckDbfStructureTrimsAndReports) {
  // The answer for a file that cannot be opened is one free-text row.
  InterfaceLayouts layouts = InterfaceLayouts::load(std::filesystem::path(FC_SOURCE_DATA_DIR) / "interface/layouts.csv");
  StructureContext ctx{layouts, *store_, "20080808"};
  EXPECT_EQ(CheckDbfStructure(ctx, home_ / "100001_KHJBXX_20080808_1.DBF", 9), 4);
  auto rows = test::StoreRows(*store_, "select fileid, errid from fileerr");
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0][0], "9");
  EXPECT_EQ(rows[0][1], "8");
}

}  // namespace
}  // namespace fc::pipeline
