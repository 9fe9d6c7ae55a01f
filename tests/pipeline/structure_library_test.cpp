// The built-in structure library (CHECKDBF) on generated tables, and the
// whole structure and date check down to the fileerr rows.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "dbf/Writer.h"
#include "naming/InterfaceLayouts.h"
#include "pipeline/StructureCheck.h"
#include "store/Store.h"
#include "support/StoreRows.h"
#include "support/TempDir.h"

namespace fc::pipeline {

using naming::InterfaceLayouts;
using naming::LayoutField;
namespace {

constexpr const char* kDate = "20080808";
constexpr const char* kName = "100001_KHJBXX_20080808_1.DBF";

struct Record {
  std::optional<std::string> date;  // SJRQ; nullopt = NULL (or blank)
  bool deleted = false;
};

class StructureLibrary : public ::testing::Test {
 protected:
  StructureLibrary()
      : layouts_(InterfaceLayouts::load(std::filesystem::path(FC_SOURCE_DATA_DIR) / "interface/layouts.csv")) {}

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

  std::string check(const std::filesystem::path& path) { return CHECKDBF(layouts_, path, kDate); }

  std::string checkKhjbxx(const std::vector<dbf::FieldSpec>& specs, const std::vector<Record>& records = {{kDate}}) {
    return check(write(kName, specs, records));
  }

  InterfaceLayouts layouts_;
  test::TempDir dir_;
};

TEST_F(StructureLibrary, MatchingTablesPass) {
  EXPECT_EQ(checkKhjbxx(agreed("KHJBXX"), {{kDate}, {kDate}, {"20080101", true}}), "");
  EXPECT_EQ(check(write("QL_100001_ZJBDXX_20080808_1.DBF", agreed("ZJBDXX"))), "");
  // No date field: any date passes.
  EXPECT_EQ(check(write("100001_SFZFCJG_20080808.DBF", agreed("SFZFCJG"))), "");
  EXPECT_EQ(checkKhjbxx(agreed("KHJBXX"), {}), "");  // no records at all
}

TEST_F(StructureLibrary, VisualFoxProSystemFieldIsNotAnInterfaceField) {
  auto specs = agreed("KHJBXX");
  specs[4].nullable = true;
  EXPECT_EQ(check(write(kName, specs, {{kDate}}, dbf::Format::VisualFoxPro)), "");
}

TEST_F(StructureLibrary, FieldNamesIgnoreLetterCaseButItemsKeepTheFileSpelling) {
  auto specs = agreed("KHJBXX");
  for (auto& s : specs)
    if (s.name != "SJRQ") std::transform(s.name.begin(), s.name.end(), s.name.begin(), ::tolower);
  EXPECT_EQ(checkKhjbxx(specs), "");
  named(specs, "khqc")->length = 100;
  EXPECT_EQ(checkKhjbxx(specs), "字段:khqc@1");
}

TEST_F(StructureLibrary, MissingFieldSuppressesTheOrderItem) {
  auto specs = agreed("KHJBXX");
  specs.erase(named(specs, "XHRQ"));
  EXPECT_EQ(checkKhjbxx(specs), "字段:XHRQ@2");
  std::swap(specs[0], specs[1]);
  EXPECT_EQ(checkKhjbxx(specs), "字段:XHRQ@2");
}

TEST_F(StructureLibrary, ExtraFieldsComeAfterTheLayoutInFileOrder) {
  auto specs = agreed("KHJBXX");
  specs.insert(specs.begin() + 2, {"BZ", 'C', 10});
  specs.push_back({"AA", 'N', 3});
  EXPECT_EQ(checkKhjbxx(specs), "字段:BZ@3 AA@3");  // extras do not disturb the order
  named(specs, "KHQC")->length = 100;
  EXPECT_EQ(checkKhjbxx(specs), "字段:KHQC@1 BZ@3 AA@3");
}

TEST_F(StructureLibrary, LengthDecimalsAndType) {
  auto specs = agreed("ZJBDXX");
  named(specs, "JRYE")->decimals = 3;
  *named(specs, "ZRYE") = {"ZRYE", 'C', 18};
  named(specs, "ZJZH")->length = 19;
  named(specs, "XJCQJE")->length = 16;
  EXPECT_EQ(check(write("100001_ZJBDXX_20080808_1.DBF", specs)),
            "字段:ZJZH@1 ZRYE@7 XJCQJE@1 JRYE@1");
}

TEST_F(StructureLibrary, OrderDiffersOnceAtTheFirstFieldOutOfPlace) {
  auto specs = agreed("KHJBXX");
  std::swap(specs[1], specs[2]);  // ZQGSDM ZJZH YYBDM ...
  std::swap(specs[6], specs[7]);  // a second disorder is not reported
  EXPECT_EQ(checkKhjbxx(specs), "字段:ZJZH@6");
  specs[2].length = 7;  // YYBDM
  EXPECT_EQ(checkKhjbxx(specs), "字段:YYBDM@1 ZJZH@6");
}

TEST_F(StructureLibrary, DuplicateFieldIsNotAnInterfaceField) {
  auto specs = agreed("KHJBXX");
  specs.push_back({"ZJZH", 'C', 20});
  EXPECT_EQ(checkKhjbxx(specs), "字段:ZJZH@3");
}

TEST_F(StructureLibrary, OtherDatesAscendingAtMostThree) {
  auto specs = agreed("KHJBXX");
  EXPECT_EQ(checkKhjbxx(specs, {{"20080805"}, {kDate}, {"20080803"}, {"20080805"}}), "日期20080803,20080805");
  EXPECT_EQ(checkKhjbxx(specs, {{"20080809"}, {"20080801"}, {kDate}, {"20080803"}}),
            "日期20080801,20080803,20080809");
  EXPECT_EQ(checkKhjbxx(specs, {{"20080809"}, {"20080801"}, {"20080807"}, {"20080803"}, {kDate}}),
            "日期20080801,20080803,20080807等");
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
    EXPECT_EQ(CHECKDBF(layouts_, path, kDate, threads), "日期20080101,20080202,20080303等") << threads;
}

TEST_F(StructureLibrary, BlankAndNullDatesAreListedAsEmpty) {
  auto specs = agreed("KHJBXX");
  EXPECT_EQ(checkKhjbxx(specs, {{kDate}, {"20080809"}, {""}}), "日期空,20080809");
  specs.back().nullable = true;
  EXPECT_EQ(check(write(kName, specs, {{kDate}, {std::nullopt}}, dbf::Format::VisualFoxPro)), "日期空");
}

TEST_F(StructureLibrary, DeletedRecordsAreNotDateChecked) {
  EXPECT_EQ(checkKhjbxx(agreed("KHJBXX"), {{kDate}, {"20080101", true}, {"", true}}), "");
}

TEST_F(StructureLibrary, DateValueIsComparedTrimmed) {
  auto specs = agreed("KHJBXX");
  specs.back().length = 10;
  EXPECT_EQ(checkKhjbxx(specs, {{kDate}, {" 20080808"}}), "字段:SJRQ@1");
  EXPECT_EQ(checkKhjbxx(specs, {{"2008080899"}}), "字段:SJRQ@1 日期2008080899");
}

TEST_F(StructureLibrary, NonDateTextAndChineseValuesAreDecoded) {
  EXPECT_EQ(checkKhjbxx(agreed("KHJBXX"), {{"八月八日"}, {"2008-8-8"}}), "日期2008-8-8,八月八日");
  // A NUL inside a value would cut the answer short.
  EXPECT_EQ(checkKhjbxx(agreed("KHJBXX"), {{std::string("2008\0" "808", 8)}}), "日期2008\uFFFD808");
}

TEST_F(StructureLibrary, UnreadableFileOrUnknownKindIsFreeText) {
  std::string notDbf = check(dir_.write(kName, "this is not a table"));
  EXPECT_EQ(notDbf.rfind("文件不是有效的DBF表", 0), 0u) << notDbf;
  EXPECT_EQ(notDbf.find("字段"), std::string::npos);
  EXPECT_EQ(notDbf.find("日期"), std::string::npos);
  EXPECT_EQ(check(dir_.write("100001_KHJBXX_20080808_1.DBF", "")).rfind("文件不是有效的DBF表", 0), 0u);
  EXPECT_EQ(check(write("table.dbf", agreed("KHJBXX"))), "无法从文件名识别表类型");
}

class StructureCheckRows : public StructureLibrary {
 protected:
  StructureCheckRows()
      : store_(store::Store::open(home_.path(), FC_SOURCE_DATA_DIR)), ctx_{layouts_, *store_, kDate} {}

  std::vector<std::pair<std::string, std::string>> rows() {
    std::vector<std::pair<std::string, std::string>> out;
    for (auto& r : test::StoreRows(*store_, "select errid, errdesc from fileerr where fileid=5 order by rowid"))
      out.emplace_back(r[0].value_or(""), r[1].value_or(""));
    return out;
  }

  test::TempDir home_;
  std::unique_ptr<store::Store> store_;
  StructureContext ctx_;
};

TEST_F(StructureCheckRows, PassingFileWritesNothing) {
  EXPECT_EQ(CheckDbfStructure(ctx_, write(kName, agreed("KHJBXX")), 5), 0);
  EXPECT_TRUE(rows().empty());
}

TEST_F(StructureCheckRows, FieldAndDateProblems) {
  auto specs = agreed("KHJBXX");
  named(specs, "KHQC")->length = 100;
  EXPECT_EQ(CheckDbfStructure(ctx_, write(kName, specs, {{"20080809"}}), 5), 4);
  using R = std::vector<std::pair<std::string, std::string>>;
  EXPECT_EQ(rows(), (R{{"4", "字段KHQC长度不符合接口规范"}, {"7", "存在非指定日期20080809的数据"}}));
}

TEST_F(StructureCheckRows, FileTextCannotPoseAsASection) {
  // An extra field named with the date word and a date value holding the
  // field word still decode as one field row and one date row.
  auto specs = agreed("KHJBXX");
  specs.push_back({"交易日期", 'C', 2});
  EXPECT_EQ(CheckDbfStructure(ctx_, write(kName, specs, {{"字段"}}), 5), 4);
  auto r = rows();
  ASSERT_EQ(r.size(), 2u);
  EXPECT_EQ(r[0].first, "6");
  EXPECT_EQ(r[0].second, "字段交易日\u2060期不是接口约定字段");
  EXPECT_EQ(r[1].first, "7");
  EXPECT_EQ(r[1].second, "存在非指定日期字\u2060段的数据");
}

TEST_F(StructureCheckRows, BrokenHeaderIsOneFreeTextRow) {
  auto path = write(kName, agreed("KHJBXX"));
  {
    std::FILE* f = std::fopen(path.c_str(), "r+b");
    std::fseek(f, 32 + 16, SEEK_SET);  // first field's length: 0
    std::fputc(0, f);
    std::fclose(f);
  }
  EXPECT_EQ(CheckDbfStructure(ctx_, path, 5), 4);
  auto r = rows();
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].first, "8");
  EXPECT_NE(r[0].second.find("ZQGSDM"), std::string::npos) << r[0].second;
}

TEST_F(StructureCheckRows, CheckDbfFileFindsTheFileRegardlessOfCase) {
  write("100001_khjbxx_20080808_1.dbf", agreed("KHJBXX"));
  std::string source = dir_.path().string() + "/";
  EXPECT_EQ(CheckDbfFile(ctx_, source, kName, 5), 0);
  EXPECT_EQ(CheckDbfFile(ctx_, source, "100001_KHJBXX_20080808_2.DBF", 5), 4);
  auto r = rows();
  ASSERT_EQ(r.size(), 1u);
  EXPECT_EQ(r[0].first, "8");
}

}  // namespace
}  // namespace fc::pipeline
