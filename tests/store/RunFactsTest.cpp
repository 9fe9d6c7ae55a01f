#include "store/RunFacts.h"

#include <gtest/gtest.h>

#include "store/Store.h"
#include "support/StoreRows.h"
#include "support/TempDir.h"

namespace fc::store {
namespace {

RunFacts Facts(const std::string& key) {
  RunFacts f;
  f.runKey = key;
  f.submission = naming::Submission::Identity;
  f.companyCode = "100001";
  f.kinds = {"SFZFCJG", "SFZHCQK"};
  f.files = {{1, 0, "身份证号码重复检查结果表", "a'b\".ZIP", 1, 1, 10, "2026-01-01 00:00:00", "ff", 3, 0x30, 0x7A},
             {2, 0, "x", "b.ZIP", 0, 0, {}, "", "", {}, {}, {}}};
  f.packs = {{"a.ZIP", 5, "ee"}};
  return f;
}

TEST(RunFactsTest, AnEarlierStoreGainsTheFactsTablesAndKeepsOnlyTheLatestRun) {
  test::TempDir home;
  auto store = Store::open(home.path(), FC_SOURCE_DATA_DIR);
  const auto schemaBefore = test::StoreRows(*store, "select name, sql from sqlite_master order by name");
  EXPECT_EQ(ReadLatestRunFacts(home / "dravmel.mdb"), std::nullopt);  // no tables yet

  SaveLatestRunFacts(home / "dravmel.mdb", Facts("one"));
  EXPECT_EQ(ReadLatestRunFacts(home / "dravmel.mdb"), Facts("one"));
  SaveLatestRunFacts(home / "dravmel.mdb", Facts("two"));
  EXPECT_EQ(ReadLatestRunFacts(home / "dravmel.mdb"), Facts("two"));
  EXPECT_EQ(test::StoreRows(*store, "select count(*) from runfile")[0][0], "2");

  // The results tables and the company list are as they were.
  for (const auto& row : schemaBefore)
    EXPECT_EQ(test::StoreRows(*store, "select sql from sqlite_master where name = '" + *row[0] + "'")[0][0], row[1]);
  ClearLatestRunFacts(home / "dravmel.mdb");
  EXPECT_EQ(ReadLatestRunFacts(home / "dravmel.mdb"), std::nullopt);
}

TEST(RunFactsTest, AStoreFromBeforeRuleSetsGainsTheirTableAndItsRunHasNone) {
  test::TempDir home;
  Store::open(home.path(), FC_SOURCE_DATA_DIR);
  const auto file = home / "dravmel.mdb";
  SaveLatestRunFacts(file, Facts("old"));
  test::StoreRows(file, "drop table runruleset");  // as an earlier version left it
  test::StoreRows(file, "drop table runrulesetown");
  EXPECT_EQ(ReadLatestRunFacts(file)->ruleSet, RuleSetFacts{});
  EXPECT_EQ(RuleSetText(ReadLatestRunFacts(file)->ruleSet), "—");

  RunFacts judged = Facts("new");
  judged.ruleSet = {"interface", "1", std::string(64, 'a')};
  SaveLatestRunFacts(file, judged);
  EXPECT_EQ(ReadLatestRunFacts(file), judged);
  EXPECT_EQ(RuleSetText(judged.ruleSet), "interface@1");
  judged.ruleSet.own = true;  // the company's own set
  SaveLatestRunFacts(file, judged);
  EXPECT_EQ(ReadLatestRunFacts(file), judged);
}

TEST(RunFactsTest, AStoreFromBeforeDeletedRecordsWereCountedReadsBackWithoutCountsAndGainsTheirTable) {
  test::TempDir home;
  Store::open(home.path(), FC_SOURCE_DATA_DIR);
  const auto file = home / "dravmel.mdb";
  RunFacts counted = Facts("run");
  counted.files[0].deletedRecords = 4;
  SaveLatestRunFacts(file, counted);
  test::StoreRows(file, "drop table runfiledeleted");  // as an earlier version left it
  EXPECT_EQ(ReadLatestRunFacts(file), Facts("run"));
  SaveLatestRunFacts(file, counted);
  EXPECT_EQ(ReadLatestRunFacts(file), counted);
}

TEST(RunFactsTest, FactsAreNeverWrittenWhereThereIsNoStore) {
  test::TempDir home;
  EXPECT_THROW(SaveLatestRunFacts(home / "dravmel.mdb", Facts("one")), StoreError);
  EXPECT_FALSE(std::filesystem::exists(home / "dravmel.mdb"));
}

}  // namespace
}  // namespace fc::store
