// The built-in structure library (CheckStructure) on generated tables, and
// the whole structure and date check down to the fileerr rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <ostream>

#include "dbf/Writer.h"
#include "naming/InterfaceLayouts.h"
#include "pipeline/StructureCheck.h"
#include "store/Store.h"
#include "support/StoreRows.h"
#include "support/TempDir.h"
#include "support/Zip.h"

namespace fc::pipeline {

using naming::InterfaceLayouts;
using naming::LayoutField;

// Shows a finding in a failed expectation.
void PrintTo(const FileFinding& f, std::ostream* os) {
  *os << static_cast<int>(f.problem) << " " << f.subject;
  if (f.records) *os << " #" << f.record << "x" << f.records;
}

namespace {

using enum FileProblem;
using Findings = std::vector<FileFinding>;
using Rows = std::vector<std::pair<std::string, std::string>>;  // errid, errdesc

constexpr const char* kDate = "20080808";
constexpr const char* kName = "100001_KHJBXX_20080808_1.DBF";

struct Record {
  std::optional<std::string> date;  // SJRQ; nullopt = NULL (or blank)
  bool deleted = false;
};

class StructureLibrary : public ::testing::Test {
 protected:
  StructureLibrary()
      : layouts_(InterfaceLayouts::load(std::filesystem::path(FC_SOURCE_DATA_DIR) / "rulesets/interface-1/layouts.csv")) {}

  // The fields of `kind` exactly as the agreement has them.
  std::vector<dbf::FieldSpec> agreed(const char* kind) const {
    std::vector<dbf::FieldSpec> specs;
    for (const LayoutField& f : layouts_.find(kind)->fields)
      specs.push_back({f.name, f.type, static_cast<uint8_t>(f.length), static_cast<uint8_t>(f.decimals)});
    return specs;
  }

  static std::vector<dbf::FieldSpec>::iterator named(std::vector<dbf::FieldSpec>& specs, const char* name) {
    return std::find_if(specs.begin(), specs.end(), [&](auto& s) { return s.name == name; });
  }

  // Writes `name` with `specs`; every record holds "1" in N fields, "x" in C
  // fields and its date in SJRQ.
  std::filesystem::path write(const std::string& name, const std::vector<dbf::FieldSpec>& specs,
                              const std::vector<Record>& records = {{kDate}},
                              dbf::Format format = dbf::Format::DBase3) {
    auto path = dir_ / name;
    dbf::Writer w(path, format, specs);
    for (const Record& r : records) {
      std::vector<dbf::Value> values;
      for (const dbf::FieldSpec& s : specs)
        values.push_back(s.name == "SJRQ" ? r.date : std::optional<std::string>(s.type == 'N' ? "1" : "x"));
      w.add(values, r.deleted);
    }
    w.finish();
    return path;
  }

  Findings check(const std::filesystem::path& path) { return CheckStructure(layouts_, path, kDate); }

  Findings checkKhjbxx(const std::vector<dbf::FieldSpec>& specs, const std::vector<Record>& records = {{kDate}}) {
    return check(write(kName, specs, records));
  }

  InterfaceLayouts layouts_;
  test::TempDir dir_;
};

TEST_F(StructureLibrary, MatchingTablesPass) {
  EXPECT_EQ(checkKhjbxx(agreed("KHJBXX"), {{kDate}, {kDate}, {"20080101", true}}), Findings{});
  EXPECT_EQ(check(write("QL_100001_ZJBDXX_20080808_1.DBF", agreed("ZJBDXX"))), Findings{});
  // No date field: any date passes.
  EXPECT_EQ(check(write("100001_SFZFCJG_20080808.DBF", agreed("SFZFCJG"))), Findings{});
  EXPECT_EQ(checkKhjbxx(agreed("KHJBXX"), {}), Findings{});  // no records at all
}

// _NullFlags is no field of the table; a field that may hold NULL is a
// finding of its own even while none does.
TEST_F(StructureLibrary, VisualFoxProSystemFieldIsNotAnInterfaceField) {
  auto specs = agreed("KHJBXX");
  EXPECT_EQ(check(write(kName, specs, {{kDate}}, dbf::Format::VisualFoxPro)), Findings{});
  specs[4].nullable = true;
  EXPECT_EQ(check(write(kName, specs, {{kDate}}, dbf::Format::VisualFoxPro)), (Findings{{FieldNull, "KHQC"}}));
}

TEST_F(StructureLibrary, FieldNamesIgnoreLetterCaseButFindingsKeepTheFileSpelling) {
  auto specs = agreed("KHJBXX");
  for (auto& s : specs)
    if (s.name != "SJRQ") std::transform(s.name.begin(), s.name.end(), s.name.begin(), ::tolower);
  EXPECT_EQ(checkKhjbxx(specs), Findings{});
  named(specs, "khqc")->length = 100;
  EXPECT_EQ(checkKhjbxx(specs), (Findings{{FieldLength, "khqc"}}));
}

TEST_F(StructureLibrary, MissingFieldSuppressesTheOrderFinding) {
  auto specs = agreed("KHJBXX");
  specs.erase(named(specs, "XHRQ"));
  EXPECT_EQ(checkKhjbxx(specs), (Findings{{AgreedFieldMissing, "XHRQ"}}));
  std::swap(specs[0], specs[1]);
  EXPECT_EQ(checkKhjbxx(specs), (Findings{{AgreedFieldMissing, "XHRQ"}}));
}

TEST_F(StructureLibrary, ExtraFieldsComeAfterTheLayoutInFileOrder) {
  auto specs = agreed("KHJBXX");
  specs.insert(specs.begin() + 2, {"BZ", 'C', 10});
  specs.push_back({"AA", 'N', 3});
  // Extras do not disturb the order.
  EXPECT_EQ(checkKhjbxx(specs), (Findings{{FieldNotAgreed, "BZ"}, {FieldNotAgreed, "AA"}}));
  named(specs, "KHQC")->length = 100;
  EXPECT_EQ(checkKhjbxx(specs), (Findings{{FieldLength, "KHQC"}, {FieldNotAgreed, "BZ"}, {FieldNotAgreed, "AA"}}));
}

TEST_F(StructureLibrary, LengthDecimalsAndType) {
  auto specs = agreed("ZJBDXX");
  named(specs, "JRYE")->decimals = 3;
  *named(specs, "ZRYE") = {"ZRYE", 'C', 18};
  named(specs, "ZJZH")->length = 19;
  named(specs, "XJCQJE")->length = 16;
  EXPECT_EQ(check(write("100001_ZJBDXX_20080808_1.DBF", specs)),
            (Findings{{FieldLength, "ZJZH"}, {FieldType, "ZRYE"}, {FieldLength, "XJCQJE"}, {FieldLength, "JRYE"}}));
}

TEST_F(StructureLibrary, OrderDiffersOnceAtTheFirstFieldOutOfPlace) {
  auto specs = agreed("KHJBXX");
  std::swap(specs[1], specs[2]);  // ZQGSDM ZJZH YYBDM ...
  std::swap(specs[6], specs[7]);  // a second disorder is not reported
  EXPECT_EQ(checkKhjbxx(specs), (Findings{{FieldOrder, "ZJZH"}}));
  specs[2].length = 7;  // YYBDM
  EXPECT_EQ(checkKhjbxx(specs), (Findings{{FieldLength, "YYBDM"}, {FieldOrder, "ZJZH"}}));
}

TEST_F(StructureLibrary, DuplicateFieldIsNotAnInterfaceField) {
  auto specs = agreed("KHJBXX");
  specs.push_back({"ZJZH", 'C', 20});
  EXPECT_EQ(checkKhjbxx(specs), (Findings{{FieldNotAgreed, "ZJZH"}}));
}

TEST_F(StructureLibrary, OtherDatesAscendingAtMostThree) {
  auto specs = agreed("KHJBXX");
  EXPECT_EQ(checkKhjbxx(specs, {{"20080805"}, {kDate}, {"20080803"}, {"20080805"}}),
            (Findings{{OtherDates, "20080803,20080805"}}));
  EXPECT_EQ(checkKhjbxx(specs, {{"20080809"}, {"20080801"}, {kDate}, {"20080803"}}),
            (Findings{{OtherDates, "20080801,20080803,20080809"}}));
  EXPECT_EQ(checkKhjbxx(specs, {{"20080809"}, {"20080801"}, {"20080807"}, {"20080803"}, {kDate}}),
            (Findings{{OtherDates, "20080801,20080803,20080807等"}}));
}

// The date pass runs in pieces of 65536 records on several threads: the
// smallest other dates are found whichever piece holds them.
TEST_F(StructureLibrary, OtherDatesOfAManyPieceTableAreTheSameOnAnyNumberOfThreads) {
  std::vector<Record> records(200000, Record{kDate});
  records[199999].date = "20080101";
  records[70000].date = "20080303";
  records[3].date = "20080909";
  records[140000].date = "20080202";
  records[140001] = {"20070101", true};
  const auto path = write(kName, agreed("KHJBXX"), records);
  for (int threads : {1, 3})
    EXPECT_EQ(CheckStructure(layouts_, path, kDate, threads), (Findings{{OtherDates, "20080101,20080202,20080303等"}}))
        << threads;
}

TEST_F(StructureLibrary, BlankAndNullDatesAreListedAsEmpty) {
  auto specs = agreed("KHJBXX");
  EXPECT_EQ(checkKhjbxx(specs, {{kDate}, {"20080809"}, {""}}), (Findings{{OtherDates, "空,20080809"}}));
  specs.back().nullable = true;
  EXPECT_EQ(check(write(kName, specs, {{kDate}, {std::nullopt}}, dbf::Format::VisualFoxPro)),
            (Findings{{OtherDates, "空"}, {FieldNull, "SJRQ", 2, 1}}));
}

TEST_F(StructureLibrary, DeletedRecordsAreNotDateChecked) {
  EXPECT_EQ(checkKhjbxx(agreed("KHJBXX"), {{kDate}, {"20080101", true}, {"", true}}), Findings{});
}

TEST_F(StructureLibrary, DateValueIsComparedTrimmed) {
  auto specs = agreed("KHJBXX");
  specs.back().length = 10;
  EXPECT_EQ(checkKhjbxx(specs, {{kDate}, {" 20080808"}}), (Findings{{FieldLength, "SJRQ"}}));
  EXPECT_EQ(checkKhjbxx(specs, {{"2008080899"}}), (Findings{{FieldLength, "SJRQ"}, {OtherDates, "2008080899"}}));
}

TEST_F(StructureLibrary, NonDateTextAndChineseValuesAreDecoded) {
  EXPECT_EQ(checkKhjbxx(agreed("KHJBXX"), {{"八月八日"}, {"2008-8-8"}}), (Findings{{OtherDates, "2008-8-8,八月八日"}}));
  // A NUL inside a value never reaches a stored text.
  EXPECT_EQ(checkKhjbxx(agreed("KHJBXX"), {{std::string("2008\0" "808", 8)}}),
            (Findings{{OtherDates, "2008\uFFFD808"}, {ControlCharacter, "SJRQ", 1, 1}}));
}

TEST_F(StructureLibrary, UnreadableFileOrUnknownKindIsOneSentence) {
  Findings notDbf = check(dir_.write(kName, "this is not a table"));
  ASSERT_EQ(notDbf.size(), 1u);
  EXPECT_EQ(notDbf[0].problem, CannotCheck);
  EXPECT_EQ(notDbf[0].subject.rfind("文件不是有效的DBF表", 0), 0u) << notDbf[0].subject;
  EXPECT_EQ(check(dir_.write("100001_KHJBXX_20080808_1.DBF", "")).at(0).subject.rfind("文件不是有效的DBF表", 0), 0u);
  EXPECT_EQ(check(write("table.dbf", agreed("KHJBXX"))), (Findings{{CannotCheck, "无法从文件名识别表类型"}}));
}

// The file must end where its header says, or one end-of-file mark later:
// records past the count, and anything after them, would escape the checks.
TEST_F(StructureLibrary, TableSizeMustAgreeWithItsHeader) {
  const std::string written = test::ReadFileBytes(write(kName, agreed("KHJBXX"), {{kDate}, {"20080801"}}));
  ASSERT_EQ(written.back(), '\x1A');
  const std::string records = written.substr(0, written.size() - 1);
  auto checkBytes = [&](const std::string& bytes) { return check(dir_.write(kName, bytes)); };
  EXPECT_EQ(checkBytes(written), (Findings{{OtherDates, "20080801"}}));
  EXPECT_EQ(checkBytes(records), (Findings{{OtherDates, "20080801"}})) << "the end-of-file mark may be left out";

  std::string oneRecord = written;
  oneRecord[4] = 1;  // the header's record count, lowered from 2: the record of another date hides
  const size_t recordLength = static_cast<uint8_t>(written[10]) | static_cast<uint8_t>(written[11]) << 8;
  const std::string declared = std::to_string(records.size() - recordLength);
  EXPECT_EQ(checkBytes(oneRecord),
            (Findings{{CannotCheck, "文件不是有效的DBF表：文件头声明1条记录，连同文件头应为" + declared +
                                        "字节（可另加1字节结束标志0x1A），文件却有" +
                                        std::to_string(written.size()) + "字节"}}));
  for (const std::string& bytes : {records + "\x1A\x1A", records + "x", written + std::string(4096, '\0')})
    EXPECT_EQ(checkBytes(bytes).at(0).problem, CannotCheck) << bytes.size();
  EXPECT_EQ(checkBytes(records.substr(0, records.size() - 1)).at(0).problem, CannotCheck) << "one byte short";
}

// Every agreed value is read as the rules read it: blanks pad, a number is
// a number, and what only looks blank is named with its first record.
TEST_F(StructureLibrary, ValuesAreJudgedAsTheRulesReadThem) {
  const auto path = dir_.path() / "100001_ZJBDXX_20080808_1.DBF";
  {
    dbf::Writer w(path, dbf::Format::DBase3, agreed("ZJBDXX"));
    auto add = [&](std::string yyb, std::string zjzh, std::string jrye, bool deleted = false) {
      w.add({"100001", yyb, zjzh, "01", "1.00", "0", " -2.50", "", "3", jrye, kDate}, deleted);
    };
    add("000001", "1", "1.00");
    add("000001", "1", "**********");
    add("000001", "abcdefghij\tb", "abc");  // the tab in the second 8 bytes
    add("000001", "1", "xyz", /*deleted=*/true);
    add(std::string("0001\0\0", 6), "1", "100.00abc");
    add("000001", "\u3000\u3000", "1.00");
    add("000001", "\u3000x", "1.00");
  }
  for (int threads : {1, 3}) {
    uint32_t deleted = 0;
    EXPECT_EQ(CheckStructure(layouts_, path, kDate, threads, &deleted),
              (Findings{{ControlCharacter, "YYBDM", 5, 1},
                        {ControlCharacter, "ZJZH", 3, 1},
                        {IdeographicBlank, "ZJZH", 6, 1},
                        {NotANumber, "JRYE", 2, 3}}));
    EXPECT_EQ(deleted, 1u) << "counted, and neither date- nor content-checked";
  }
}

// What would hide data from every reader is refused, or named, before any
// record is read.
TEST_F(StructureLibrary, HeadersThatHideDataAreRefused) {
  const std::string khjbxx = test::ReadFileBytes(write(kName, agreed("KHJBXX"), {{kDate}, {"20080801"}}));
  auto patched = [&](std::string bytes, size_t at, char value) {
    bytes[at] = value;
    return check(dir_.write(kName, bytes));
  };
  auto refusal = [](const Findings& found) {
    return found.size() == 1 && found[0].problem == CannotCheck ? found[0].subject : "not refused";
  };
  EXPECT_EQ(patched(khjbxx, 32 + 17, 2), (Findings{{FieldLength, "ZQGSDM"}, {OtherDates, "20080801"}}))
      << "a character field's decimals";
  // The record of another date moved into the header: count cut by one, header grown by a record.
  std::string hidden = khjbxx;
  const uint16_t header = static_cast<uint8_t>(hidden[8]) | static_cast<uint8_t>(hidden[9]) << 8;
  const uint16_t record = static_cast<uint8_t>(hidden[10]) | static_cast<uint8_t>(hidden[11]) << 8;
  hidden[4] = 1;
  hidden[8] = static_cast<char>((header + record) & 0xFF);
  hidden[9] = static_cast<char>((header + record) >> 8);
  EXPECT_NE(refusal(check(dir_.write(kName, hidden))).find("文件头在字段描述区之后还有内容"), std::string::npos);

  const std::string vfp = test::ReadFileBytes(write(kName, agreed("KHJBXX"), {{kDate}}, dbf::Format::VisualFoxPro));
  EXPECT_NE(refusal(patched(vfp, 32 + 32 * 5 + 18, 0x01)).find("第6个字段（ZJLB）标为隐藏的系统字段"), std::string::npos);
  const auto zjbdxx = test::ReadFileBytes(write("100001_ZJBDXX_20080808_1.DBF", agreed("ZJBDXX")));
  std::string wide = zjbdxx;
  wide[32 + 32 * 9 + 17] = static_cast<char>(255);
  EXPECT_NE(refusal(check(dir_.write("100001_ZJBDXX_20080808_1.DBF", wide))).find("小数位数255不小于字段长度18"),
            std::string::npos);
}

class StructureCheckRows : public StructureLibrary {
 protected:
  StructureCheckRows()
      : store_(store::Store::open(home_.path(), FC_SOURCE_DATA_DIR)), ctx_{layouts_, *store_, kDate} {}

  Rows rows() {
    Rows out;
    for (auto& r : test::StoreRows(*store_, "select errid, errdesc from fileerr where fileid=5 order by rowid"))
      out.emplace_back(r[0].value_or(""), r[1].value_or(""));
    return out;
  }

  test::TempDir home_;
  std::unique_ptr<store::Store> store_;
  StructureContext ctx_;
};

TEST_F(StructureCheckRows, PassingFileWritesNothing) {
  EXPECT_EQ(RecordStructureCheck(ctx_, write(kName, agreed("KHJBXX")), 5), 0);
  EXPECT_TRUE(rows().empty());
}

TEST_F(StructureCheckRows, FieldAndDateProblems) {
  auto specs = agreed("KHJBXX");
  named(specs, "KHQC")->length = 100;
  EXPECT_EQ(RecordStructureCheck(ctx_, write(kName, specs, {{"20080809"}}), 5), 4);
  EXPECT_EQ(rows(), (Rows{{"4", "字段KHQC长度不符合接口规范"}, {"7", "存在非指定日期20080809的数据"}}));
}

// Each problem's errid and text, word for word: stored results and operators go by them.
TEST_F(StructureCheckRows, EveryProblemKeepsItsErridAndTextInTheGivenOrder) {
  WriteFindings(*store_, 5,
                {{FieldLength, "A"}, {AgreedFieldMissing, "B"}, {FieldNotAgreed, "客户名"}, {FieldOrder, "ZJZH"},
                 {FieldType, "ZRYE"}, {OtherDates, "空,20080801,20080802等"},
                 {CannotCheck, "文件不是有效的DBF表：文件只有3字节"}});
  EXPECT_EQ(rows(), (Rows{{"4", "字段A长度不符合接口规范"},
                          {"5", "接口约定字段B不存在"},
                          {"6", "字段客户名不是接口约定字段"},
                          {"9", "从字段ZJZH开始字段顺序与接口约定不一致"},
                          {"10", "字段ZRYE类型不符合接口规范"},
                          {"7", "存在非指定日期空,20080801,20080802等的数据"},
                          {"8", "文件不是有效的DBF表：文件只有3字节"}}));
}

// Field names and date values reach the rows as the file has them, so that
// searching the results for what the file holds finds it.
TEST_F(StructureCheckRows, FileTextReachesTheRowsAsItIs) {
  auto specs = agreed("KHJBXX");
  specs.push_back({"日期 字段@", 'C', 2});
  EXPECT_EQ(RecordStructureCheck(ctx_, write(kName, specs, {{"字段"}}), 5), 4);
  EXPECT_EQ(rows(), (Rows{{"6", "字段日期 字段@不是接口约定字段"}, {"7", "存在非指定日期字段的数据"}}));
  auto found = test::StoreRows(*store_, "select errid from fileerr where instr(errdesc, '字段@') > 0");
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0][0], "6");
}

TEST_F(StructureCheckRows, BrokenHeaderIsOneSentenceRow) {
  auto path = write(kName, agreed("KHJBXX"));
  {
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(32 + 16);  // first field's length: 0
    f.put('\0');
  }
  EXPECT_EQ(RecordStructureCheck(ctx_, path, 5), 4);
  auto r = rows();
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].first, "8");
  EXPECT_NE(r[0].second.find("ZQGSDM"), std::string::npos) << r[0].second;
}

TEST_F(StructureCheckRows, AFileGoneBeforeItsCheckIsOneSentence) {
  EXPECT_EQ(RecordStructureCheck(ctx_, write(kName, agreed("KHJBXX")), 5), 0);
  EXPECT_EQ(RecordStructureCheck(ctx_, dir_.path() / "100001_KHJBXX_20080808_2.DBF", 5), 4);
  auto r = rows();
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].first, "8");
}

}  // namespace
}  // namespace fc::pipeline
