// fc::dbf::Table on tables built byte by byte: field types the writer does
// not produce, and headers that do not fit their file.
#include <gtest/gtest.h>

#include "dbf/Table.h"
#include "support/TempDir.h"

namespace fc::dbf {
namespace {

struct Desc {
  std::string name;
  char type;
  uint8_t length;
  uint8_t decimals = 0;
  uint8_t flags = 0;
};

void Put16(std::string& s, size_t at, unsigned v) {
  s[at] = static_cast<char>(v & 0xFF);
  s[at + 1] = static_cast<char>(v >> 8 & 0xFF);
}

void Put32(std::string& s, size_t at, uint32_t v) {
  Put16(s, at, v & 0xFFFF);
  Put16(s, at + 2, v >> 16);
}

// A table as a writer following the format would lay it out; records are
// given whole (deleted flag included) and must match the record length.
std::string MakeTable(uint8_t version, const std::vector<Desc>& fields,
                      const std::vector<std::string>& records = {}) {
  bool vfp = version == 0x30 || version == 0x31 || version == 0x32;
  size_t headerLength = 32 + 32 * fields.size() + 1 + (vfp ? 263 : 0);
  size_t recordLength = 1;
  for (const Desc& f : fields) recordLength += f.length;
  std::string s(headerLength, '\0');
  s[0] = static_cast<char>(version);
  Put32(s, 4, static_cast<uint32_t>(records.size()));
  Put16(s, 8, static_cast<unsigned>(headerLength));
  Put16(s, 10, static_cast<unsigned>(recordLength));
  s[29] = 0x7A;
  for (size_t i = 0; i < fields.size(); ++i) {
    size_t d = 32 + 32 * i;
    s.replace(d, fields[i].name.size(), fields[i].name);
    s[d + 11] = fields[i].type;
    Put32(s, d + 12, 0xDEADBEEF);  // a displacement nobody should trust
    s[d + 16] = static_cast<char>(fields[i].length);
    s[d + 17] = static_cast<char>(fields[i].decimals);
    s[d + 18] = static_cast<char>(fields[i].flags);
  }
  s[32 + 32 * fields.size()] = 0x0D;
  for (const std::string& r : records) s += r;
  return s + "\x1A";
}

std::string Bytes(std::initializer_list<int> bytes) {
  std::string s;
  for (int b : bytes) s.push_back(static_cast<char>(b));
  return s;
}

class TableTest : public ::testing::Test {
 protected:
  // Each table in a file of its own: Windows cannot rewrite a file that an
  // earlier table of the test still has mapped.
  std::unique_ptr<Table> open(const std::string& bytes) {
    error_.clear();
    last_ = dir_.write("t" + std::to_string(++opened_) + ".dbf", bytes);
    return Table::open(last_, error_);
  }
  // Expects `bytes` to be refused with a message that names `reason`.
  void expectRefused(const std::string& bytes, const std::string& reason) {
    EXPECT_FALSE(open(bytes));
    EXPECT_EQ(error_.rfind("文件不是有效的DBF表：", 0), 0u) << error_;
    EXPECT_NE(error_.find(reason), std::string::npos) << error_;
    EXPECT_EQ(VersionByte(last_), -1);
  }

  test::TempDir dir_;
  std::filesystem::path last_;
  int opened_ = 0;
  std::string error_;
};

TEST_F(TableTest, EveryFieldTypeOfVisualFoxPro) {
  std::vector<Desc> fields = {
      {"C", 'C', 5},  {"N", 'N', 6, 2}, {"F", 'F', 8, 3}, {"D", 'D', 8}, {"L", 'L', 1},
      {"I", 'I', 4},  {"Y", 'Y', 8, 4}, {"B", 'B', 8, 2}, {"T", 'T', 8}, {"M", 'M', 4},
      {"NC", 'C', 2, 0, kFlagNullable}, {"NN", 'N', 3, 0, kFlagNullable},
      {"_NullFlags", '0', 1, 0, kFlagSystem | kFlagBinary},
  };
  std::string rec = " abc  " + std::string("  1.50") + "   2.125" + "20080808" + "T" +
                    Bytes({0x2A, 0, 0, 0}) + Bytes({0x10, 0x27, 0, 0, 0, 0, 0, 0}) +
                    Bytes({0, 0, 0, 0, 0, 0, 0xF8, 0x3F}) + Bytes({0x8C, 0x88, 0x25, 0, 0, 0, 0, 0}) +
                    Bytes({7, 0, 0, 0}) + "  " + "  7" + Bytes({0x01});
  auto t = open(MakeTable(0x30, fields, {rec}));
  ASSERT_TRUE(t) << error_;
  ASSERT_EQ(t->fields().size(), 13u);
  uint32_t offset = 1;
  for (size_t i = 0; i < fields.size(); ++i) {
    const Field& f = t->fields()[i];
    EXPECT_EQ(f.name, fields[i].name);
    EXPECT_EQ(f.type, fields[i].type);
    EXPECT_EQ(f.offset, offset) << f.name;  // computed, not the stored displacement
    EXPECT_EQ(f.length, fields[i].length);
    EXPECT_EQ(f.decimals, fields[i].decimals);
    offset += f.length;
  }
  auto raw = [&](const char* name) { return t->raw(0, *t->findField(name)); };
  EXPECT_EQ(raw("C"), "abc  ");
  EXPECT_EQ(raw("F"), "   2.125");
  EXPECT_EQ(raw("D"), "20080808");
  EXPECT_EQ(raw("L"), "T");
  EXPECT_EQ(raw("I"), Bytes({0x2A, 0, 0, 0}));
  EXPECT_EQ(raw("B"), Bytes({0, 0, 0, 0, 0, 0, 0xF8, 0x3F}));
  EXPECT_EQ(raw("M"), Bytes({7, 0, 0, 0}));
  EXPECT_TRUE(t->isNull(0, *t->findField("NC")));
  EXPECT_FALSE(t->isNull(0, *t->findField("NN")));
  EXPECT_EQ(raw("NN"), "  7");
  EXPECT_FALSE(t->isNull(0, *t->findField("C")));
}

TEST_F(TableTest, VarcharFieldsTakeALengthBitBeforeTheirNullBit) {
  auto t = open(MakeTable(0x32, {{"V", 'V', 10, 0, kFlagNullable}, {"C", 'C', 2, 0, kFlagNullable},
                                 {"Q", 'Q', 4}, {"_NullFlags", '0', 1, 0, kFlagSystem}},
                          {" " + std::string(16, 'x') + Bytes({0x04})}));
  ASSERT_TRUE(t) << error_;
  EXPECT_EQ(t->findField("V")->nullBit, 1);
  EXPECT_EQ(t->findField("C")->nullBit, 2);
  EXPECT_EQ(t->findField("Q")->nullBit, -1);
  EXPECT_TRUE(t->isNull(0, *t->findField("C")));
  EXPECT_FALSE(t->isNull(0, *t->findField("V")));
}

TEST_F(TableTest, DBase3MemoAndIgnoredFlagsByte) {
  // Byte 18 means nothing before Visual FoxPro: a stray 0x02 is no null flag.
  auto t = open(MakeTable(0x83, {{"M", 'M', 10, 0, 0x02}}, {" " + std::string(10, '0')}));
  ASSERT_TRUE(t) << error_;
  EXPECT_EQ(t->fields()[0].flags, 0);
  EXPECT_EQ(t->fields()[0].nullBit, -1);
  EXPECT_EQ(t->raw(0, t->fields()[0]), std::string(10, '0'));
}

TEST_F(TableTest, ChineseFieldNamesAreDecoded) {
  auto t = open(MakeTable(0x03, {{"\xD0\xD5\xC3\xFB", 'C', 2}}, {"   "}));  // 姓名 in GBK
  ASSERT_TRUE(t) << error_;
  EXPECT_EQ(t->fields()[0].name, "姓名");
  EXPECT_TRUE(t->findField("姓名"));
}

TEST_F(TableTest, ToleratesMissingEndMarkAndTrailingBytes) {
  std::string good = MakeTable(0x03, {{"A", 'C', 2}}, {" ab", "*cd"});
  good.pop_back();
  auto t = open(good);
  ASSERT_TRUE(t) << error_;
  EXPECT_EQ(t->recordCount(), 2u);
  EXPECT_TRUE(t->isDeleted(1));
  ASSERT_TRUE(open(good + "\x1A\x1A garbage"));
}

TEST_F(TableTest, UnknownCodePageDecodesAsGb18030) {
  std::string s = MakeTable(0x03, {{"A", 'C', 2}}, {" \xD5\xC5"});
  s[29] = 0;
  auto t = open(s);
  ASSERT_TRUE(t);
  EXPECT_EQ(t->encoding(), 54936u);
  EXPECT_EQ(t->text(0, t->fields()[0]), "张");
  s[29] = 0x55;
  EXPECT_EQ(open(s)->encoding(), 54936u);
  s[29] = static_cast<char>(0xC9);
  EXPECT_EQ(open(s)->encoding(), 1251u);
}

TEST_F(TableTest, RefusesFilesThatAreNotTables) {
  expectRefused("", "0字节");
  expectRefused("\x03\x08\x08\x08", "4字节");
  std::string good = MakeTable(0x03, {{"A", 'C', 2}}, {" ab"});
  std::string s = good;
  s[0] = 0x04;  // dBase 7 has another header layout
  expectRefused(s, "版本");
  s[0] = 0x7B;
  expectRefused(s, "版本");

  EXPECT_FALSE(Table::open(dir_ / "missing.dbf", error_));
  EXPECT_NE(error_.find("missing.dbf"), std::string::npos);
  EXPECT_FALSE(Table::open(dir_.path(), error_));
  EXPECT_FALSE(error_.empty());
}

TEST_F(TableTest, RefusesHeadersThatDoNotFit) {
  const std::string good = MakeTable(0x03, {{"A", 'C', 2}, {"B", 'N', 3}}, {" ab123", " cd456"});
  ASSERT_TRUE(open(good)) << error_;
  auto with = [&](auto change) {
    std::string s = good;
    change(s);
    return s;
  };
  const size_t terminator = 32 + 2 * 32;

  expectRefused(good.substr(0, 50), "超出文件大小");  // truncated in the descriptors
  expectRefused(with([](std::string& s) { Put16(s, 8, 60000); }), "超出文件大小");
  expectRefused(with([](std::string& s) { Put16(s, 8, 32); }), "太小");
  expectRefused(with([&](std::string& s) { s[terminator] = ' '; }), "0x0D");
  expectRefused(with([&](std::string& s) { Put16(s, 8, terminator); }), "0x0D");
  expectRefused(with([](std::string& s) { Put16(s, 10, 0); }), "记录长度");
  expectRefused(with([](std::string& s) { Put16(s, 10, 7); }), "与记录长度7不符");
  expectRefused(with([](std::string& s) { s[32 + 16] = 0; }), "第1个字段（A）的长度为0");
  expectRefused(with([](std::string& s) { s[64 + 16] = 4; }), "不符");
  expectRefused(with([](std::string& s) { s[64] = 0; }), "第2个字段没有名称");
  expectRefused(with([](std::string& s) { s[32] = 0x0D; }), "没有字段");
  expectRefused(with([](std::string& s) { Put32(s, 4, 3); }), "3条记录");
  expectRefused(with([](std::string& s) { Put32(s, 4, 0xFFFFFFFF); Put16(s, 10, 0xFFFF); }),
                "记录");
  // Three records in two and a half: the half record is not readable.
  expectRefused(with([](std::string& s) { Put32(s, 4, 3); s.pop_back(); s += " ef"; }), "3条记录");
}

TEST_F(TableTest, RefusesInconsistentVisualFoxProHeaders) {
  // A 0x30 header without the backlink area.
  expectRefused(MakeTable(0x03, {{"A", 'C', 1}}, {" a"}).replace(0, 1, "\x30"), "263");
  expectRefused(MakeTable(0x30, {{"A", 'C', 1, 0, kFlagNullable}}, {" a"}), "_NullFlags");
  std::vector<Desc> nine;
  for (int i = 0; i < 9; ++i) nine.push_back({"F" + std::to_string(i), 'C', 1, 0, kFlagNullable});
  nine.push_back({"_NullFlags", '0', 1, 0, kFlagSystem});
  expectRefused(MakeTable(0x30, nine, {std::string(11, ' ')}), "_NullFlags字段太短");
}

}  // namespace
}  // namespace fc::dbf
