// Tables written by fc::dbf::Writer and read back by fc::dbf::Table.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "dbf/Table.h"
#include "dbf/Writer.h"
#include "platform/CodePageText.h"
#include "support/TempDir.h"

namespace fc::dbf {
namespace {

std::string ReadAll(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

std::unique_ptr<Table> Open(const std::filesystem::path& p) {
  std::string error;
  auto table = Table::open(p, error);
  EXPECT_TRUE(table) << error;
  return table;
}

TEST(RoundTrip, DBase3CharacterAndNumericFields) {
  test::TempDir dir;
  auto path = dir / "KHJBXX.DBF";
  {
    Writer w(path, Format::DBase3, {{"ZQGSDM", 'C', 6}, {"JRYE", 'N', 18, 2}, {"sjrq", 'C', 8}});
    w.add({"100001", "12.50", "20080808"});
    w.add({"100002", std::nullopt, "20080809"}, /*deleted=*/true);
    w.add({"1000034567", "-3", ""});
    w.finish();
  }
  auto t = Open(path);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->version(), 0x03);
  EXPECT_EQ(t->codePageByte(), kCodePageGBK);
  EXPECT_EQ(t->encoding(), 54936u);
  ASSERT_EQ(t->recordCount(), 3u);
  EXPECT_EQ(t->recordLength(), 1 + 6 + 18 + 8);
  EXPECT_EQ(t->headerLength(), 32 + 3 * 32 + 1);
  ASSERT_EQ(t->fields().size(), 3u);

  const Field* code = t->findField("zqgsdm");
  const Field* money = t->findField("JRYE");
  const Field* date = t->findField("SJRQ");
  ASSERT_TRUE(code && money && date);
  EXPECT_EQ(date->name, "sjrq");  // as the file spells it
  EXPECT_EQ(money->type, 'N');
  EXPECT_EQ(money->decimals, 2);
  EXPECT_EQ(money->offset, 7u);
  EXPECT_EQ(date->offset, 25u);
  EXPECT_EQ(date->nullBit, -1);

  EXPECT_FALSE(t->isDeleted(0));
  EXPECT_TRUE(t->isDeleted(1));
  EXPECT_EQ(t->raw(0, *code), "100001");
  EXPECT_EQ(t->raw(0, *money), "             12.50");
  EXPECT_EQ(t->raw(1, *money), std::string(18, ' '));  // no NULL in dBase III: blank
  EXPECT_EQ(t->raw(2, *code), "100003");                // cut at the field length
  EXPECT_EQ(t->raw(2, *money), std::string(16, ' ') + "-3");
  EXPECT_EQ(t->raw(2, *date), std::string(8, ' '));
  EXPECT_FALSE(t->isNull(1, *money));

  std::string bytes = ReadAll(path);
  EXPECT_EQ(bytes.size(), t->headerLength() + 3u * t->recordLength() + 1);
  EXPECT_EQ(bytes.back(), '\x1A');
}

TEST(RoundTrip, VisualFoxProNullsAndSystemField) {
  test::TempDir dir;
  auto path = dir / "t.dbf";
  std::vector<FieldSpec> specs;
  for (int i = 0; i < 9; ++i)  // nine nullable fields need a second _NullFlags byte
    specs.push_back({"F" + std::to_string(i), i % 2 ? 'N' : 'C', 4, 0, true});
  specs.push_back({"PLAIN", 'C', 3});
  {
    Writer w(path, Format::VisualFoxPro, specs);
    std::vector<Value> row(10, std::string("1"));
    row[0] = std::nullopt;
    row[8] = std::nullopt;
    row[9] = std::nullopt;  // not nullable: blank
    w.add(row);
    w.add(std::vector<Value>(10, std::string("2")));
  }
  auto t = Open(path);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->version(), 0x30);
  EXPECT_EQ(t->headerLength(), 32 + 11 * 32 + 1 + 263);
  ASSERT_EQ(t->fields().size(), 11u);
  const Field& flags = t->fields().back();
  EXPECT_TRUE(flags.isSystem());
  EXPECT_EQ(flags.length, 2);
  EXPECT_EQ(t->findField("_NullFlags"), nullptr);  // hidden from lookups

  for (int i = 0; i < 9; ++i) {
    const Field* f = t->findField("f" + std::to_string(i));
    ASSERT_TRUE(f);
    EXPECT_EQ(f->nullBit, i);
    EXPECT_EQ(t->isNull(0, *f), i == 0 || i == 8) << i;
    EXPECT_FALSE(t->isNull(1, *f));
  }
  const Field* plain = t->findField("PLAIN");
  EXPECT_FALSE(t->isNull(0, *plain));
  EXPECT_EQ(t->raw(0, *plain), "   ");
  EXPECT_EQ(t->raw(1, *t->findField("F1")), "   2");
}

TEST(RoundTrip, ChineseTextInGbkAndOtherCodePages) {
  test::TempDir dir;
  {
    Writer w(dir / "gbk.dbf", Format::DBase3, {{"KHQC", 'C', 12}, {"CUT", 'C', 5}, {"交易日期", 'C', 1}});
    w.add({"张三 Zhang", "营业部", "x"});  // 营业部 is 6 bytes in GBK: cut to 营业 + blank
    w.add({"𠀀", "a", "y"});               // outside GBK, inside GB18030
  }
  auto t = Open(dir / "gbk.dbf");
  ASSERT_TRUE(t);
  const Field* name = t->findField("KHQC");
  const Field* cut = t->findField("CUT");
  EXPECT_EQ(t->raw(0, *name), std::string("\xD5\xC5\xC8\xFD Zhang  "));
  EXPECT_EQ(t->text(0, *name), "张三 Zhang  ");
  EXPECT_EQ(t->text(0, *cut), "营业 ");
  if (platform::CodePageText::ConvertsItself(platform::kGb18030CodePage)) {  // not under Wine
    EXPECT_EQ(t->text(1, *name).substr(0, 4), "𠀀");
  }
  EXPECT_EQ(t->fields()[2].name, "交易日期");  // 8 bytes in GBK

  {
    Writer w(dir / "big5.dbf", Format::VisualFoxPro, {{"NAME", 'C', 8}}, 0x78);
    w.add({"臺灣"});
    Writer l(dir / "latin.dbf", Format::DBase3, {{"NAME", 'C', 8}}, 0x03);
    l.add({"Café€"});
  }
  auto big5 = Open(dir / "big5.dbf");
  EXPECT_EQ(big5->encoding(), 950u);
  EXPECT_EQ(big5->text(0, big5->fields()[0]), "臺灣    ");
  auto latin = Open(dir / "latin.dbf");
  EXPECT_EQ(latin->raw(0, latin->fields()[0]), std::string("Caf\xE9\x80   "));
  EXPECT_EQ(latin->text(0, latin->fields()[0]), "Café€   ");
}

TEST(RoundTrip, UnencodableAndBrokenTextDoesNotFail) {
  test::TempDir dir;
  {
    Writer w(dir / "t.dbf", Format::DBase3, {{"A", 'C', 6}}, 0x03);
    w.add({"ж\xFFz"});  // Cyrillic is not in CP1252; a stray byte is not UTF-8
  }
  auto t = Open(dir / "t.dbf");
  EXPECT_EQ(t->raw(0, t->fields()[0]), "??z   ");
}

TEST(RoundTrip, InvalidBytesDecodeToReplacementCharacters) {
  test::TempDir dir;
  {
    Writer w(dir / "t.dbf", Format::DBase3, {{"A", 'C', 4}});
  }
  auto t = Open(dir / "t.dbf");
  EXPECT_EQ(t->decode("ab"), "ab");
  EXPECT_EQ(t->decode("\xD5\xC5"), "张");
  EXPECT_EQ(t->decode("\xFF" "a"), "\xEF\xBF\xBD" "a");
  EXPECT_EQ(t->decode("a\xD5"), "a\xEF\xBF\xBD");  // a lead byte cut off at the end
  EXPECT_EQ(t->decode(std::string("\0x", 2)), std::string("\0x", 2));
}

TEST(RoundTrip, EmptyTableAndUnfinishedWriter) {
  test::TempDir dir;
  { Writer w(dir / "empty.dbf", Format::VisualFoxPro, {{"A", 'C', 1}}); }
  auto t = Open(dir / "empty.dbf");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->recordCount(), 0u);
  EXPECT_EQ(VersionByte(dir / "empty.dbf"), 0x30);

  // The destructor finishes: the count is right even without finish().
  {
    Writer w(dir / "two.dbf", Format::DBase3, {{"A", 'C', 1}});
    w.add({"x"});
    w.add({"y"});
  }
  EXPECT_EQ(Open(dir / "two.dbf")->recordCount(), 2u);
}

TEST(RoundTrip, WriterRefusesWhatItCannotWrite) {
  test::TempDir dir;
  auto p = dir / "t.dbf";
  EXPECT_THROW(Writer(p, Format::DBase3, {}), std::invalid_argument);
  EXPECT_THROW(Writer(p, Format::DBase3, {{"ELEVENCHARS", 'C', 1}}), std::invalid_argument);
  EXPECT_THROW(Writer(p, Format::DBase3, {{"一二三四五六", 'C', 1}}), std::invalid_argument);
  EXPECT_THROW(Writer(p, Format::DBase3, {{"D", 'D', 8}}), std::invalid_argument);
  EXPECT_THROW(Writer(p, Format::DBase3, {{"Z", 'C', 0}}), std::invalid_argument);
  EXPECT_THROW(Writer(p, Format::DBase3, {{"N", 'C', 1, 0, true}}), std::invalid_argument);
  EXPECT_THROW(Writer(dir / "no/such/dir.dbf", Format::DBase3, {{"A", 'C', 1}}), std::runtime_error);

  Writer w(p, Format::DBase3, {{"A", 'C', 1}, {"N", 'N', 3}});
  EXPECT_THROW(w.add({"x"}), std::invalid_argument);
  EXPECT_THROW(w.add({"x", "1234"}), std::invalid_argument);
  w.add({"x", "123"});
  w.finish();
  w.finish();  // a second finish changes nothing
  EXPECT_THROW(w.add({"x", "1"}), std::logic_error);
  EXPECT_EQ(Open(p)->recordCount(), 1u);
}

}  // namespace
}  // namespace fc::dbf
