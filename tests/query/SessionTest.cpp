// The session as the check run uses it: opening on a directory, table
// names, stopping early, long and skewed keys, field types, the records
// behind a count. What queries mean is in the case files, cases/*.test.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "query/Capture.h"
#include "query/QueryFixture.h"

namespace fc::query::test {
namespace {

namespace fs = std::filesystem;

class SessionOpen : public QueryFixture {};

TEST_F(SessionOpen, CountsTheRecordsOfATableNamedInAnyCase) {
  table("SFZFCJG.DBF", {{"ZQGSDM", 'C', 6}}, {{{{"ZQGSDM", "100001"}}}, {{{"ZQGSDM", "100002"}}}});
  table("khjbxx.dbf", {{"zjzh", 'C', 6}}, {{{{"zjzh", "1"}}}});
  EXPECT_EQ(count("select count(*) from sfzfcjg "), 2);
  EXPECT_EQ(count("select count(*) from SfZfCjG where ZQGSDM='100002'"), 1);
  EXPECT_EQ(count("select count(*) from KHJBXX where ZJZH='1'"), 1);
}

TEST_F(SessionOpen, TwoSessionsInARowSeeANewlyCopiedFile) {
  table("A.DBF", {{"K", 'C', 2}}, {{{{"K", "1"}}}});
  EXPECT_EQ(count("select count(*) from a"), 1);
  EXPECT_EQ(error("select count(*) from b"), "表不存在: b");
  session.close();
  fc::test::TempDir other;
  WriteTable(other / "B.DBF", {{"K", 'C', 2}}, {{{{"K", "1"}}}, {{{"K", "2"}}}});
  WriteTable(other / "A.DBF", {{"K", 'C', 2}}, {{{{"K", "1"}}}, {{{"K", "2"}}}, {{{"K", "3"}}}});
  fs::copy_file(other / "B.DBF", dir / "B.DBF");
  dir.write("A.DBF", fc::test::ReadFileBytes(other / "A.DBF"));  // MinGW's copy_file overwrites nothing
  EXPECT_EQ(count("select count(*) from b"), 2);
  EXPECT_EQ(count("select count(*) from a where k not in (select k from b)"), 1);
}

TEST_F(SessionOpen, AMissingDirectoryOrAFileFailsWithItsName) {
  std::string error;
  EXPECT_FALSE(session.open(dir / "missing", error));
  EXPECT_EQ(error, "目录不存在: " + (dir / "missing").string());
  EXPECT_FALSE(session.isOpen());
  session.close();  // does nothing
  dir.write("plain.txt", "x");
  EXPECT_FALSE(session.open(dir / "plain.txt", error));
  EXPECT_EQ(error, "不是目录: " + (dir / "plain.txt").string());
}

TEST_F(SessionOpen, ABrokenTableFailsTheWholeSession) {
  table("A.DBF", {{"K", 'C', 2}}, {{{{"K", "1"}}}});
  dir.write("BROKEN.dbf", std::string(10, '\x03'));
  std::string error;
  EXPECT_FALSE(session.open(dir.path(), error));
  EXPECT_NE(error.find("BROKEN.dbf"), std::string::npos) << error;
  EXPECT_NE(error.find("文件不是有效的DBF表"), std::string::npos) << error;
  EXPECT_FALSE(session.isOpen());
  EXPECT_THROW(session.count("select count(*) from a"), QueryError);
}

TEST_F(SessionOpen, OtherFilesAndDirectoriesAreIgnored) {
  table("A.DBF", {{"K", 'C', 2}}, {{{{"K", "1"}}}});
  dir.write("notes.txt", "not a table");
  fs::create_directory(dir / "SUB.DBF");
  EXPECT_EQ(count("select count(*) from a"), 1);
  EXPECT_EQ(error("select count(*) from notes"), "表不存在: notes");
}

TEST_F(SessionOpen, TablesDifferingOnlyInCaseAreAmbiguous) {
  table("A.DBF", {{"K", 'C', 2}}, {{{{"K", "1"}}}});
  table("a.dbf", {{"K", 'C', 2}}, {});
  std::string message = error("select count(*) from A");
  EXPECT_EQ(message.rfind("表名不唯一: A", 0), 0u) << message;
}

class SessionQueries : public QueryFixture {
 protected:
  void SetUp() override {
    table("A.DBF", {{"K", 'C', 4}, {"V", 'N', 6, 0}},
          {{{{"K", "1"}, {"V", "1"}}}, {{{"K", "2"}, {"V", "5"}}}, {{{"K", "3"}, {"V", "9"}}}});
    table("B.DBF", {{"K", 'C', 6}, {"V", 'N', 8, 2}},
          {{{{"K", "1"}, {"V", "4.00"}}}, {{{"K", "1"}, {"V", "8.00"}}}, {{{"K", "2"}, {"V", "1.50"}}}});
  }
};

TEST_F(SessionQueries, ALookIntoATableCanStopEarly) {
  openSession();
  ResultSet r = session.run("select * from b where v > 1", 2);
  EXPECT_EQ(r.columns, (std::vector<std::string>{"K", "V"}));
  ASSERT_EQ(r.rows.size(), 2u);
  EXPECT_EQ(r.rows[1], (std::vector<std::string>{"1", "8.00"}));
  EXPECT_EQ(session.run("select k, count(*) from b group by k", 1).rows.size(), 1u);
  EXPECT_EQ(session.run("select count(*) from b", 0).rows.size(), 0u);
}

// A value that is no number has no reading: the rule cannot run, whether it
// compares, adds or groups by it.
TEST_F(SessionQueries, ANumberFieldHoldingNoNumberStopsTheQuery) {
  table("G.DBF", {{"K", 'C', 2}, {"V", 'N', 6, 2}}, {{{{"K", "1"}, {"V", "1.00"}}}, {{{"K", "2"}, {"V", "abc"}}}});
  for (const char* sql : {"select count(*) from g where v > 0", "select count(*) from g where v + 1 = 2", "select v from g group by v"})
    EXPECT_EQ(error(sql), "字段V的内容不是数值，无法按数值计算") << sql;
}

TEST_F(SessionQueries, LongKeysGroupAndMatch) {
  const std::string x(200, 'x'), y(199, 'y'), z = std::string(98, 'z') + "中文";
  table("L.DBF", {{"P", 'C', 200}, {"Q", 'C', 200}},
        {{{{"P", x}, {"Q", y}}}, {{{"P", x}, {"Q", y + " "}}}, {{{"P", x}, {"Q", z}}}, {{{"P", y}, {"Q", x}}}});
  EXPECT_EQ(rows("select count(*) from l group by p, q"), 3);
  EXPECT_EQ(count("select count(*) from l a where exists(select * from l b where a.p = b.q and a.q = b.p)"), 3);
  EXPECT_EQ(count("select count(*) from l where q in (select q from l where p = '" + y + "')"), 1);  // (y, x)
}

// Enough records for the key groups to be spread over partitions, with one
// key holding most of them, all in one partition: they group as one, and
// the records behind the count start with the first of them.
TEST_F(SessionQueries, OneKeyOfMostRecordsGroupsOnceAmongMany) {
  std::vector<Rec> recs;
  for (int i = 0; i < 20000; ++i) recs.push_back({{{"K", i % 10 ? std::string("A") : "B" + std::to_string(i)}}});
  table("M.DBF", {{"K", 'C', 8}}, recs);
  EXPECT_EQ(rows("select count(*) from m group by k"), 1 + 2000);
  openSession();
  RecordCapture keys;
  keys.limit = 2;
  EXPECT_EQ(session.rows("select count(*) from m group by k", keys), 1 + 2000);
  EXPECT_EQ(keys.total, 18000);
  ASSERT_EQ(keys.records().size(), 2u);
  EXPECT_EQ(keys.records()[0].recno, 2);
  EXPECT_EQ(keys.records()[1].recno, 3);
}

class CodePages : public QueryFixture {};

// Writes a table with C fields and then retypes them, since the writer only
// knows C and N: `types` holds the type letter and decimals of each field,
// `records` the raw bytes of each field.
void WriteTyped(const fs::path& path, const std::vector<std::pair<char, uint8_t>>& types,
                const std::vector<uint8_t>& lengths, const std::vector<std::vector<std::string>>& records) {
  std::vector<dbf::FieldSpec> fields;
  for (size_t i = 0; i < lengths.size(); ++i) fields.push_back({"F" + std::to_string(i), 'C', lengths[i]});
  WriteTable(path, fields, std::vector<Rec>(records.size()));
  std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
  char header[12];
  f.read(header, sizeof header);
  uint16_t headerLength = static_cast<uint8_t>(header[8]) | static_cast<uint8_t>(header[9]) << 8;
  uint16_t recordLength = static_cast<uint8_t>(header[10]) | static_cast<uint8_t>(header[11]) << 8;
  for (size_t i = 0; i < types.size(); ++i) {
    f.seekp(static_cast<std::streamoff>(32 + 32 * i + 11));
    f.put(types[i].first);
    f.seekp(static_cast<std::streamoff>(32 + 32 * i + 17));
    f.put(static_cast<char>(types[i].second));
  }
  for (size_t r = 0; r < records.size(); ++r) {
    size_t offset = headerLength + r * recordLength + 1;
    for (size_t i = 0; i < lengths.size(); offset += lengths[i], ++i) {
      f.seekp(static_cast<std::streamoff>(offset));
      f.write(records[r][i].data(), static_cast<std::streamsize>(records[r][i].size()));
    }
  }
}

template <typename T>
std::string Bytes(T v) {
  std::string s(sizeof v, '\0');
  std::memcpy(s.data(), &v, sizeof v);
  return s;
}

TEST_F(CodePages, BinaryDateAndLogicalFieldsAreReadable) {
  WriteTyped(dir / "TY.DBF", {{'I', 0}, {'Y', 4}, {'B', 2}, {'D', 0}, {'L', 0}}, {4, 8, 8, 8, 1},
             {{Bytes<int32_t>(-42), Bytes<int64_t>(123456), Bytes(12.345), "20080808", "T"},
              {Bytes<int32_t>(7), Bytes<int64_t>(-5), Bytes(-0.5), "20080807", "F"}});
  EXPECT_EQ(count("select count(*) from ty where f0 = -42 and f1 = 12.3456 and f2 = 12.35"), 1);
  EXPECT_EQ(count("select count(*) from ty where f0 + f1 = 6.9995 and f2 = -0.50"), 1);
  EXPECT_EQ(count("select count(*) from ty where f3 = '20080808' and f4"), 1);
  EXPECT_EQ(count("select count(*) from ty where not f4"), 1);
  ResultSet r = run("select * from ty where f0 = 7");
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0], (std::vector<std::string>{"7", "-0.0005", "-0.50", "20080807", "F"}));
}

TEST_F(CodePages, FieldsWithoutAMeaningInConditionsAreRefused) {
  WriteTyped(dir / "MEMO.DBF", {{'M', 0}}, {10}, {{"         1"}});
  EXPECT_EQ(error("select count(*) from memo where f0 = '1'"), "不支持的字段类型: F0 (M)");
  EXPECT_EQ(run("select * from memo").rows[0][0], "[M]");
}

// The records behind a count: deleted records keep their positions, a key's
// records come key by key (numbers by value, NULL first), the fields shown
// are those the query names plus the identifying ones the table has, and
// only fields a condition tests (not one fixed to a constant) get value counts.
TEST_F(SessionQueries, CaptureListsTheRecordsBehindACount) {
  table("C.DBF", {{"ZJZH", 'C', 6, 0, true}, {"N", 'N', 6, 2, true}, {"D", 'C', 8}, {"X", 'C', 4}},
        {{{{"ZJZH", "a"}, {"N", "10"}, {"D", "1"}}},   // 1
         Deleted({{{"ZJZH", "a"}, {"N", "10"}, {"D", "1"}}}),
         {{{"ZJZH", "b  "}, {"N", "9.0"}, {"D", "1"}}},  // 3
         {{{"ZJZH", std::nullopt}, {"N", std::nullopt}, {"D", "1"}}},
         {{{"ZJZH", "a"}, {"N", "10.00"}, {"D", "1"}}},  // 5: 10 again, as written
         {{{"ZJZH", "b"}, {"N", "9"}, {"D", "1"}}},
         {{{"ZJZH", std::nullopt}, {"N", std::nullopt}, {"D", "2"}}},
         {{{"ZJZH", std::nullopt}, {"N", std::nullopt}, {"D", "1"}}}});  // 8
  openSession();
  RecordCapture keys;
  keys.identifying = {"zjzh", "nosuch"};
  EXPECT_EQ(session.rows("select count(*) from c where d='1' group by n", keys), 3);
  EXPECT_EQ(keys.table, "C");
  EXPECT_EQ(keys.fields, (std::vector<std::string>{"ZJZH", "N", "D"}));
  std::vector<std::pair<int64_t, std::string>> got;
  for (const auto& r : keys.records()) got.push_back({r.recno, r.values[1]});
  EXPECT_EQ(got, (std::vector<std::pair<int64_t, std::string>>{
                     {4, "NULL"}, {8, "NULL"}, {3, "9.0"}, {6, "9"}, {1, "10"}, {5, "10.00"}}));
  EXPECT_EQ(keys.total, 6);
  ASSERT_EQ(keys.valueCounts.size(), 5u);  // N only (D is fixed to '1'), each value as written
  EXPECT_EQ(keys.valueCounts[0].field, "N");
  EXPECT_EQ(keys.valueCounts[0].value, "NULL");
  EXPECT_EQ(keys.valueCounts[0].count, 2);

  RecordCapture counted;
  counted.limit = 2;
  EXPECT_EQ(session.count("select count(*) from c where zjzh <> 'zz' and x = ''", counted), 4);
  EXPECT_EQ(counted.fields, (std::vector<std::string>{"ZJZH", "X"}));
  ASSERT_EQ(counted.records().size(), 2u);
  EXPECT_EQ(counted.records()[1].recno, 3);
  EXPECT_EQ(counted.records()[1].values, (std::vector<std::string>{"b", ""}));
  EXPECT_EQ(counted.total, 4);
  ASSERT_EQ(counted.valueCounts.size(), 2u);
  EXPECT_EQ(counted.valueCounts[0].value, "a");
  EXPECT_EQ(counted.valueCounts[0].count, 2);
}

// The records behind a having: every record of the groups that pass it,
// deleted records left out.
TEST_F(SessionQueries, CaptureOfAHavingListsEveryRecordOfThePassingGroups) {
  table("H.DBF", {{"ZJZH", 'C', 8}}, {{{{"ZJZH", "A1"}}}, {{{"ZJZH", "A1"}}}, {{{"ZJZH", "  B2"}}}, Deleted({})});
  for (const auto& [sql, recnos] : std::vector<std::pair<std::string, std::vector<int64_t>>>{
           {"select count(*) from h group by zjzh having count(*) > 1", {1, 2}},
           {"select count(*) from h group by zjzh having count(*) = 1", {3}}}) {
    openSession();
    RecordCapture capture;
    session.rows(sql, capture);
    std::vector<int64_t> seen;
    for (const auto& record : capture.records()) seen.push_back(record.recno);
    EXPECT_EQ(seen, recnos) << sql;
  }
}

}  // namespace
}  // namespace fc::query::test
