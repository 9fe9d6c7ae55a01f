// The check-run store on real SQLite files in temporary homes.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <tuple>

#include "store/Store.h"
#include "support/StoreRows.h"
#include "support/TempDir.h"
#include "platform/Utf8Paths.h"

namespace fc::store {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<std::string> Names(const fs::path& dir) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir)) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

FileRow Row(int fileid, int groupno, std::string filename, int isok, std::optional<int> dbftype = {}) {
  return {fileid, groupno, "客户基本信息表", std::move(filename), 1, isok, dbftype};
}

class StoreTest : public ::testing::Test {
 protected:
  void SetUp() override { data_.write("zqgs.csv", "code,name\n100001,东岳证券股份有限公司\r\n 100002 , 西麓证券 \n\n"); }
  std::unique_ptr<Store> open() { return Store::open(home_.path(), data_.path()); }
  fs::path storeFile() const { return home_ / "dravmel.mdb"; }

  test::TempDir home_, data_;
};

// ---- creation and refusal ----------------------------------------------

TEST_F(StoreTest, CreatesStoreWithCompaniesAndIndex) {
  auto store = open();
  EXPECT_TRUE(fs::exists(storeFile()));
  for (const std::string& name : Names(home_.path()))  // the temporary build was renamed away
    EXPECT_FALSE(name.ends_with(".tmp")) << name;
  EXPECT_EQ(store->findCompany("100001"), "东岳证券股份有限公司");
  EXPECT_EQ(store->findCompany("100002"), "西麓证券");  // blanks around both fields trimmed
  auto index = test::StoreRows(*store, "select tbl_name from sqlite_master where type='index' and name='primarykey'");
  ASSERT_EQ(index.size(), 1u);
  EXPECT_EQ(index[0][0], "zqgs");
  EXPECT_EQ(test::StoreRows(*store, "pragma journal_mode")[0][0], "wal");
  EXPECT_THROW(test::StoreRows(*store, "insert into zqgs values ('100001', 'x')"), StoreError);  // unique
}

TEST_F(StoreTest, ShippedCompanyListLoads) {
  auto store = Store::open(home_.path(), FC_SOURCE_DATA_DIR);
  EXPECT_EQ(store->findCompany("100001"), "东岳证券股份有限公司");
  EXPECT_EQ(test::StoreRows(*store, "select count(*) from zqgs")[0][0], "8");
}

TEST_F(StoreTest, MissingOrBadCompanyListCreatesNothing) {
  test::TempDir empty;
  EXPECT_THROW(Store::open(home_.path(), empty.path()), StoreError);
  data_.write("zqgs.csv", "code,name\n100001\n");
  EXPECT_THROW(open(), StoreError);
  data_.write("zqgs.csv", "code,name\n100001,a\n100001,b\n");  // duplicate code
  EXPECT_THROW(open(), StoreError);
  EXPECT_TRUE(fs::is_empty(home_.path()));
}

TEST_F(StoreTest, RefusesFileThatIsNotADatabase) {
  const std::string bytes = "Standard Jet DB\0 not an sqlite file at all";
  home_.write("dravmel.mdb", bytes);
  try {
    open();
    FAIL() << "opened a non-store";
  } catch (const StoreError& e) {
    EXPECT_NE(std::string(e.what()).find("不是本程序的检查结果库"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadBytes(storeFile()), bytes);
  EXPECT_EQ(Names(home_.path()), std::vector<std::string>{"dravmel.mdb"});
}

TEST_F(StoreTest, RefusesEmptyFile) {
  home_.write("dravmel.mdb", "");
  EXPECT_THROW(open(), StoreError);
  EXPECT_EQ(fs::file_size(storeFile()), 0u);
}

TEST_F(StoreTest, RefusesDatabaseWithoutTheTables) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(platform::Utf8Of(storeFile()).c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "create table filelist (fileid integer); create table other (x)", nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  const std::string before = ReadBytes(storeFile());
  try {
    open();
    FAIL() << "opened a store without fileerr";
  } catch (const StoreError& e) {
    EXPECT_NE(std::string(e.what()).find("fileerr"), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadBytes(storeFile()), before);
  EXPECT_EQ(Names(home_.path()), std::vector<std::string>{"dravmel.mdb"});
}

TEST_F(StoreTest, RefusesTablesWithoutTheColumns) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(platform::Utf8Of(storeFile()).c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db, "create table filelist (x); create table fileerr (x); create table zqgs (a, b)",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  const std::string before = ReadBytes(storeFile());
  EXPECT_THROW(open(), StoreError);
  EXPECT_EQ(ReadBytes(storeFile()), before);
}

TEST_F(StoreTest, FindCompanyMatchesWholeCodeOnly) {
  auto store = open();
  EXPECT_EQ(store->findCompany("10000"), std::nullopt);
  EXPECT_EQ(store->findCompany("1000011"), std::nullopt);
  EXPECT_EQ(store->findCompany("100001 "), std::nullopt);
  EXPECT_EQ(store->findCompany("10000*"), std::nullopt);
  EXPECT_EQ(store->findCompany(""), std::nullopt);
  EXPECT_EQ(store->findCompany("100001"), "东岳证券股份有限公司");  // the statement is reusable
}

// ---- the run tables -----------------------------------------------------

TEST_F(StoreTest, ReadResultsOrdersByGroupFileAndErrorText) {
  auto store = open();
  store->clearRun();
  store->beginFile();
  for (const char* id : {"R03", "7", "4", "10", "2"}) store->insertFinding(1, id, std::string("问题") + id);
  store->insertFile(Row(1, 2, "A_2.ZIP", 0));
  store->insertFile(Row(2, 1, "B_1.ZIP", 1, 3));
  const std::vector<ResultRow> rows = store->readResults();
  ASSERT_EQ(rows.size(), 6u);
  // Group 1 first although listed second; a file with no problems gives one row of nulls.
  EXPECT_EQ(rows[0].groupno, "1");
  EXPECT_EQ(rows[0].filename, "B_1.ZIP");
  EXPECT_EQ(rows[0].isok, "1");
  EXPECT_EQ(rows[0].errid, std::nullopt);
  EXPECT_EQ(rows[0].errdesc, std::nullopt);
  std::vector<std::string> ids;
  for (std::size_t i = 1; i < rows.size(); ++i) {
    EXPECT_EQ(rows[i].filename, "A_2.ZIP");
    EXPECT_EQ(rows[i].filecat, "客户基本信息表");
    EXPECT_EQ(rows[i].isexist, "1");
    ids.push_back(rows[i].errid.value());
  }
  EXPECT_EQ(ids, (std::vector<std::string>{"10", "2", "4", "7", "R03"}));
  EXPECT_EQ(rows[5].errdesc, "问题R03");
}

TEST_F(StoreTest, RunWithoutProblemsGivesOneRowPerFile) {
  auto store = open();
  for (int id = 1; id <= 3; ++id) store->insertFile(Row(id, 0, "F" + std::to_string(id), 1));
  const auto rows = store->readResults();
  ASSERT_EQ(rows.size(), 3u);
  for (const auto& r : rows) EXPECT_FALSE(r.errid || r.errdesc);
}

TEST_F(StoreTest, GroupSelectionTakesOnlyThatSequenceNumber) {
  auto store = open();
  store->insertFile(Row(5, 3, "100001_ZJBDXX_20080808_3.ZIP", 1, 48));
  store->insertFile(Row(1, 3, "100001_KHJBXX_20080808_3.ZIP", 1, 3));
  store->insertFile(Row(2, 13, "100001_KHJBXX_20080808_13.ZIP", 1));
  store->insertFile(Row(3, 3, "100001_KHJBXX_20080808_3X.ZIP", 1));
  store->insertFile(Row(4, 3, "qL_100001_zjzqdy_20080808_3.zip", 1));
  store->insertFile(Row(6, 3, "100001_YYBXX_20080808_3.ZIP", 0));
  const auto rows = store->passedFiles(3);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].fileid, 1);  // fileid order, not the order of writing
  EXPECT_EQ(rows[1].fileid, 4);
  EXPECT_EQ(rows[2].fileid, 5);
  EXPECT_EQ(rows[2].filename, "100001_ZJBDXX_20080808_3.ZIP");
  EXPECT_EQ(rows[2].dbftype, 48);
  EXPECT_EQ(rows[1].dbftype, std::nullopt);
  EXPECT_EQ(rows[0].groupno, 3);
  EXPECT_EQ(rows[0].filecat, "客户基本信息表");
  EXPECT_EQ(rows[0].isexist, 1);
  EXPECT_EQ(rows[0].isok, 1);
}

TEST_F(StoreTest, IdentityAndPackagingSelections) {
  auto store = open();
  store->insertFile(Row(1, 0, "100001_SFZFCJG_20080808.ZIP", 1));
  store->insertFile(Row(2, 0, "100001_SFZHCQK_20080804.ZIP", 0));
  store->insertFile({3, 0, "x", "NODOT", 1, 1, {}});
  EXPECT_EQ(store->passedIdentityFiles().size(), 1u);
  EXPECT_EQ(store->passedFiles().size(), 2u);
  EXPECT_EQ(store->listedFiles().size(), 3u);
}

// A group's files are told apart by "_<n>." alone: its digits whole, the
// underscore itself, the name's letter case of no account.
TEST_F(StoreTest, GroupSelectionOnTrickyNames) {
  auto store = open();
  const char* names[] = {"100001_KHJBXX_20080808_11.ZIP", "100001_khjbxx_20080808_1.Zip",
                         "100001_KHJBXX_200808081.ZIP", "100001_Yybxx_20080808_1.dbf", "100001_ZJZQDY_20080808_1.ZIP"};
  for (int id = 1; id <= 5; ++id) store->insertFile(Row(id, 1, names[id - 1], id == 5 ? 0 : 1));
  std::vector<int> group1, group11;
  for (const FileRow& f : store->passedFiles(1)) group1.push_back(f.fileid);
  for (const FileRow& f : store->passedFiles(11)) group11.push_back(f.fileid);
  EXPECT_EQ(group1, (std::vector<int>{2, 4}));
  EXPECT_EQ(group11, std::vector<int>{1});
}

TEST_F(StoreTest, RowsSurviveReopening) {
  {
    auto store = open();
    store->beginFile();
    store->insertFinding(1, "3", "ZIP文件无法打开或为空文件");
    store->insertFile(Row(1, 1, "100001_KHJBXX_20080808_1.ZIP", 0));
  }
  auto store = open();
  const auto rows = store->readResults();
  ASSERT_EQ(rows.size(), 1u);
  EXPECT_EQ(rows[0].errid, "3");
  EXPECT_EQ(rows[0].errdesc, "ZIP文件无法打开或为空文件");
  EXPECT_EQ(store->findCompany("100001"), "东岳证券股份有限公司");
}

TEST_F(StoreTest, ClearRunEmptiesBothTables) {
  auto store = open();
  store->insertFinding(1, "R01", "x");
  store->insertFile(Row(1, 1, "F", 1));
  store->clearRun();
  EXPECT_EQ(test::StoreRows(*store, "select (select count(*) from filelist), (select count(*) from fileerr)")[0],
            (std::vector<std::optional<std::string>>{"0", "0"}));
  EXPECT_TRUE(store->readResults().empty());
  EXPECT_EQ(store->findCompany("100001"), "东岳证券股份有限公司");
}

TEST_F(StoreTest, AbandonedFileRowLeavesNothing) {
  auto store = open();
  store->insertFile(Row(1, 1, "kept", 1));
  store->beginFile();
  store->insertFinding(2, "4", "字段不符");
  store->abandonFile();
  EXPECT_EQ(test::StoreRows(*store, "select count(*) from fileerr")[0][0], "0");
  EXPECT_EQ(store->readResults().size(), 1u);
  store->beginFile();  // a new file row may begin afterwards
  store->insertFile(Row(2, 1, "next", 1));
  EXPECT_EQ(store->readResults().size(), 2u);
}

TEST_F(StoreTest, FileRowBecomesVisibleToOtherConnectionsWhole) {
  auto writer = open();
  auto reader = open();
  auto count = [&] { return test::StoreRows(*reader, "select (select count(*) from filelist) + (select count(*) from fileerr)")[0][0]; };
  writer->insertFinding(9, "R02", "outside a file row: at once");
  EXPECT_EQ(count(), "1");
  writer->beginFile();
  writer->insertFinding(1, "7", "日期不符");
  writer->insertFinding(1, "8", "其他");
  EXPECT_EQ(count(), "1");
  writer->insertFile(Row(1, 1, "F", 0));
  EXPECT_EQ(count(), "4");
}

TEST_F(StoreTest, FileRowMisuseIsRefused) {
  auto store = open();
  store->beginFile();
  EXPECT_THROW(store->beginFile(), StoreError);
  EXPECT_THROW(store->clearRun(), StoreError);
  store->abandonFile();
  store->abandonFile();  // nothing open: no effect
  store->clearRun();
}

// ---- the records behind the findings -----------------------------------

TEST_F(StoreTest, FindingRecordsRoundTripAndClearWithTheRun) {
  auto store = open();
  const FindingRecords r12{1, 2, "R12", "ZJZQDY", {"RECNO\"\\", "YYBDM"},
                           {{7, {"a\tb\n\"q\"\\", "NULL"}}, {3, {"", "营业部"}}}, 4000,
                           {{"YYBDM", "999999", 1998}, {"YYBDM", "", 2}}};
  store->beginFile();
  store->insertFinding(1, "R12", "first");
  store->insertFinding(1, "R12", "second");
  store->addFindingRecords(r12);
  store->insertFile(Row(1, 1, "F1", 1));
  store->insertFinding(2, "R05", "outside a file row");
  store->addFindingRecords({2, 1, "R05", "KHJBXX", {}, {{5, {}}}, 1, {}});
  store->insertFile(Row(2, 1, "F2", 1));

  const auto findings = store->readFindings();
  ASSERT_EQ(findings.size(), 3u);
  auto key = [](const FindingRow& f) {
    return std::make_tuple(f.fileid, f.finding, f.filename, f.errid, f.errdesc, f.recordsKept, f.total);
  };
  EXPECT_EQ(key(findings[0]), std::make_tuple(1, 1, std::string("F1"), std::string("R12"), std::string("first"),
                                              int64_t{0}, int64_t{0}));
  EXPECT_EQ(key(findings[1]), std::make_tuple(1, 2, std::string("F1"), std::string("R12"), std::string("second"),
                                              int64_t{2}, int64_t{4000}));
  EXPECT_EQ(key(findings[2]), std::make_tuple(2, 1, std::string("F2"), std::string("R05"),
                                              std::string("outside a file row"), int64_t{1}, int64_t{1}));

  EXPECT_EQ(store->readFindingRecords(1, 1), std::nullopt);
  const auto back = store->readFindingRecords(1, 2);
  ASSERT_TRUE(back);
  EXPECT_EQ(std::tie(back->errid, back->table, back->fields, back->total),
            std::tie(r12.errid, r12.table, r12.fields, r12.total));
  ASSERT_EQ(back->records.size(), 2u);
  for (std::size_t i = 0; i < 2; ++i)
    EXPECT_EQ(std::tie(back->records[i].recno, back->records[i].values),
              std::tie(r12.records[i].recno, r12.records[i].values));
  ASSERT_EQ(back->valueCounts.size(), 2u);
  EXPECT_EQ(std::tie(back->valueCounts[0].field, back->valueCounts[0].value, back->valueCounts[0].count),
            std::tie(r12.valueCounts[0].field, r12.valueCounts[0].value, r12.valueCounts[0].count));
  const auto empty = store->readFindingRecords(2, 1);  // a record without fields keeps its place
  ASSERT_TRUE(empty && empty->records.size() == 1u);
  EXPECT_EQ(empty->records[0].recno, 5);

  store->clearRun();
  EXPECT_TRUE(store->readFindings().empty());
  EXPECT_EQ(store->readFindingRecords(1, 2), std::nullopt);
  EXPECT_EQ(test::StoreRows(*store, "select (select count(*) from errfinding) + (select count(*) from errrecord)")[0][0], "0");
}

TEST_F(StoreTest, EarlierStoreGainsTheFindingTablesKeepingItsRows) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(platform::Utf8Of(storeFile()).c_str(), &db), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(db,
                         "create table filelist (fileid integer, groupno integer, filecat text, filename text,"
                         " isexist integer, isok integer, dbftype integer);"
                         "create table fileerr (fileid integer, errid text, errdesc text);"
                         "create table zqgs (zqgsdm text, zqgsmc text);"
                         "insert into zqgs values ('100009', 'old');"
                         "insert into filelist values (1, 1, 'c', 'F', 1, 1, 3);"
                         "insert into fileerr values (1, 'R01', 'kept');",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  sqlite3_close(db);
  auto store = open();
  EXPECT_EQ(store->findCompany("100009"), "old");
  const auto findings = store->readFindings();
  ASSERT_EQ(findings.size(), 1u);
  EXPECT_EQ(findings[0].errdesc, "kept");
  store->addFindingRecords({1, 1, "R01", "KHJBXX", {"ZJZH"}, {{1, {"x"}}}, 1, {}});
  EXPECT_EQ(store->readFindings()[0].recordsKept, 1);
}

}  // namespace
}  // namespace fc::store
