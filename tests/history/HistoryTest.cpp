#include "history/History.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "HistoryRuns.h"
#include "history/Comparison.h"
#include "store/Sqlite.h"
#include "support/TempDir.h"

namespace fc::history {
namespace {

namespace fs = std::filesystem;
using test::ExpectWhole;
using test::Ids;
using test::kSumB;
using test::MakeRun;

TEST(HistoryTest, RunsReadBackWholeListNewestFirstAndFindTheirPrevious) {
  test::TempDir home;
  auto history = History::open(home.path());
  history::Run first = MakeRun("k1", "100001", kSumB, {"100001_KHJBXX_20080808_1.ZIP R05 3"});
  first.facts.ruleSet = {"interface", "2", std::string(64, 'e')};
  history::Run other = MakeRun("k2", "100002", "", {});
  other.facts.completed = false;
  other.facts.message = "检查未能完成：磁盘已满";
  other.facts.endNo = 3;  // stopped after its first group: two kinds of three groups were expected
  const history::Run second = MakeRun("k3", "100001", "", {"100001_KHJBXX_20080808_1.ZIP R05 4", "100001_ZJZQDY_20080808_1.ZIP 3 0"});
  for (const history::Run& r : {first, other, second}) history->append(r);

  ExpectWhole(*history, {first, other, second});
  const std::vector<RunSummary> runs = history->list(10);
  ASSERT_EQ(Ids(runs), (std::vector<int64_t>{3, 2, 1}));
  EXPECT_EQ(runs[0].expected, 2);
  EXPECT_EQ(runs[0].present, 1);
  EXPECT_EQ(runs[0].passed, 1);
  EXPECT_EQ(runs[0].findings, 2);
  EXPECT_FALSE(runs[1].completed);
  EXPECT_EQ(runs[1].expected, 6);
  EXPECT_EQ(runs[1].listed, 2);
  EXPECT_EQ(Summarize(other).expected, 6);
  EXPECT_EQ(runs[1].message, "检查未能完成：磁盘已满");
  EXPECT_EQ(runs[2].ruleSet, "interface@2");
  EXPECT_EQ(runs[1].ruleSet, "");  // as a run kept before rule sets
  EXPECT_EQ(Ids(history->list(1)), (std::vector<int64_t>{3}));
  EXPECT_EQ(history->latest(), 3);
  EXPECT_EQ(history->previous(3), 1);  // not run 2: another company
  EXPECT_EQ(history->previous(1), std::nullopt);
  EXPECT_EQ(history->read(9), std::nullopt);
}

TEST(HistoryTest, KeepsOnlyTheLatestRunsOfTheSetting) {
  test::TempDir home;
  auto history = History::open(home.path());
  EXPECT_EQ(history->keep(), kDefaultKeep);
  history->setKeep(3);
  for (int i = 1; i <= 5; ++i)
    history->append(MakeRun("k" + std::to_string(i), "100001", kSumB, {"100001_KHJBXX_20080808_1.ZIP R05 1"}));
  EXPECT_EQ(History::open(home.path())->keep(), 3);
  EXPECT_EQ(Ids(history->list(10)), (std::vector<int64_t>{5, 4, 3}));
  store::Connection db(HistoryFile(home.path()), store::Access::Read, "运行历史");
  for (const char* table : {"runfile", "runpack", "runfiledeleted", "finding", "valuecount"}) {
    store::Query q = db.prepare("select count(distinct runkey) from " + std::string(table));
    ASSERT_TRUE(q.next());
    EXPECT_EQ(q.integer(0), 3) << table;
  }
}

TEST(HistoryTest, ComparisonListsExactlyTheDifferences) {
  const history::Run before = MakeRun("k1", "100001", kSumB,
                             {"100001_KHJBXX_20080808_1.ZIP R05 3", "100001_KHJBXX_20080808_1.ZIP R12 2",
                              "100001_KHJBXX_20080808_1.ZIP R12 5", "100001_ZJZQDY_20080808_1.ZIP R06 1"});
  const history::Run after = MakeRun("k2", "100001", std::string(64, 'd'),
                            {"100001_KHJBXX_20080808_1.ZIP R05 3", "100001_KHJBXX_20080808_1.ZIP R12 2",
                             "100001_KHJBXX_20080808_1.ZIP R12 7", "100001_KHJBXX_20080808_1.ZIP R02 1"});
  Comparison c = Compare(before, after);
  ASSERT_EQ(c.added.size(), 1u);
  EXPECT_EQ(c.added[0].errid, "R02");
  EXPECT_EQ(c.added[0].countAfter, 1);
  ASSERT_EQ(c.gone.size(), 1u);
  EXPECT_EQ(c.gone[0].errid, "R06");
  EXPECT_EQ(c.gone[0].filename, "100001_ZJZQDY_20080808_1.ZIP");
  ASSERT_EQ(c.changed.size(), 1u);  // the second R12 of the file grew
  EXPECT_EQ(c.changed[0].countBefore, 5);
  EXPECT_EQ(c.changed[0].countAfter, 7);
  ASSERT_EQ(c.files.size(), 1u);
  EXPECT_EQ(c.files[0].filename, "100001_ZJZQDY_20080808_1.ZIP");
  EXPECT_EQ(c.files[0].sha256Before, kSumB);
  EXPECT_TRUE(c.worse());

  EXPECT_TRUE(Compare(before, before).empty());
  const history::Run fewer = MakeRun("k3", "100001", kSumB, {"100001_KHJBXX_20080808_1.ZIP R05 1"});
  EXPECT_FALSE(Compare(before, fewer).worse());  // only gone and shrunk findings
  const history::Run missing = MakeRun("k4", "100001", "", {});
  ASSERT_EQ(Compare(before, missing).files.size(), 1u);  // found before, missing now
}

// Two runs judged by other rules say so, whatever their findings.
TEST(HistoryTest, ComparisonWarnsWhenTheRuleSetsDiffer) {
  history::Run before = MakeRun("k1", "100001", kSumB, {});
  history::Run after = MakeRun("k2", "100001", kSumB, {});
  before.facts.ruleSet = after.facts.ruleSet = {"interface", "1", std::string(64, 'a')};
  EXPECT_EQ(Compare(before, after).ruleSetWarning, "");
  after.facts.ruleSet.sha256 = std::string(64, 'f');
  EXPECT_NE(Compare(before, after).ruleSetWarning.find("都使用规则集 interface@1，但规则集的文件内容不同"), std::string::npos);
  after.facts.ruleSet.version = "2";
  EXPECT_NE(Compare(before, after).ruleSetWarning.find("规则集不同（上次 interface@1，本次 interface@2）"), std::string::npos);
  before.facts.ruleSet = {};
  EXPECT_NE(Compare(before, after).ruleSetWarning.find("上次检查由旧版本程序记录"), std::string::npos);
  EXPECT_TRUE(Compare(before, after).empty());  // no finding or file changed
}

// A finding is gone only when its check ran again; a file gone missing is
// worse; runs of either file type compare table by table.
TEST(HistoryTest, ComparisonTellsGoneFromUncheckedAndPairsFileTypes) {
  const history::Run before = MakeRun("k1", "100001", kSumB,
                                      {"100001_KHJBXX_20080808_1.ZIP R04 2", "100001_KHJBXX_20080808_1.ZIP R05 1"});
  history::Run unchecked = MakeRun("k2", "100001", kSumB, {});
  unchecked.facts.skipped = {{1, "R04", store::RuleState::NotChecked, "同组的证券营业部信息表YYBXX不在本次检查中"}};
  history::Run dbf = MakeRun("k3", "100001", kSumB,
                             {"100001_KHJBXX_20080808_1.DBF R04 2", "100001_KHJBXX_20080808_1.DBF R05 1"});
  dbf.facts.fileType = "DBF";
  for (store::FileFacts& f : dbf.facts.files) f.filename.replace(f.filename.size() - 3, 3, "DBF");
  const history::Run missing = MakeRun("k4", "100001", "", {"100001_KHJBXX_20080808_1.ZIP R04 2", "100001_KHJBXX_20080808_1.ZIP R05 1"});

  Comparison c = Compare(before, unchecked);
  ASSERT_EQ(c.gone.size(), 1u);
  EXPECT_EQ(c.gone[0].errid, "R05");  // its rule ran and found nothing
  ASSERT_EQ(c.unchecked.size(), 1u);
  EXPECT_EQ(c.unchecked[0].errid, "R04");  // its rule could not run
  EXPECT_FALSE(c.worse());

  c = Compare(before, missing);
  EXPECT_EQ(c.missing, std::vector<std::string>{"100001_ZJZQDY_20080808_1.ZIP"});
  EXPECT_TRUE(c.worse());

  history::Run leftOut = MakeRun("k5", "100001", kSumB, {});
  leftOut.facts.files.pop_back();  // ZJZQDY unticked: neither missing nor changed
  c = Compare(before, leftOut);
  EXPECT_TRUE(c.missing.empty() && c.files.empty());
  EXPECT_FALSE(c.worse());

  c = Compare(before, dbf);  // the same tables as archives, then as DBF files
  EXPECT_TRUE(c.added.empty() && c.gone.empty() && c.changed.empty() && c.files.empty());
  EXPECT_FALSE(c.worse());

  // The run before is one of the same submission: file type, range and mode alike.
  test::TempDir home;
  auto history = History::open(home.path());
  history::Run otherRange = MakeRun("k5", "100001", kSumB, {});
  otherRange.facts.endNo = 2;
  history::Run incremental = MakeRun("k6", "100001", kSumB, {});
  incremental.facts.fullTransfer = false;
  for (const history::Run& r : {before, dbf, otherRange, incremental, unchecked}) history->append(r);
  EXPECT_EQ(history->previous(5), 1);
  EXPECT_EQ(history->previous(2), std::nullopt);
}

}  // namespace
}  // namespace fc::history
