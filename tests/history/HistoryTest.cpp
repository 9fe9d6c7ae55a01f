#include "history/History.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <thread>

#include "HistoryRuns.h"
#include "history/Comparison.h"
#include "store/Sqlite.h"
#include "support/TempDir.h"

namespace fc::history {
namespace {

namespace fs = std::filesystem;
using test::MakeRun;

const std::string kSumB(64, 'b');

std::vector<int64_t> Ids(const std::vector<RunSummary>& runs) {
  std::vector<int64_t> ids;
  for (const RunSummary& s : runs) ids.push_back(s.id);
  return ids;
}

// A run big enough that writing it spills pages into the journal before it commits.
history::Run BigRun(const std::string& key) {
  history::Run run = MakeRun(key, "100001", kSumB, {});
  for (int i = 0; i < 2000; ++i) {
    Finding f{1, i + 1, "100001_KHJBXX_20080808_1.ZIP", "R05", std::string(200, 'x'), 20, {}};
    for (int v = 0; v < 20; ++v) f.valueCounts.push_back({"KHRQ", std::string(100, 'v') + std::to_string(v), v});
    run.findings.push_back(std::move(f));
  }
  return run;
}

// Every run the history lists reads back whole, equal to what was appended.
void ExpectWhole(History& history, const std::vector<history::Run>& appended) {
  for (const RunSummary& s : history.list(1000)) {
    std::optional<history::Run> read = history.read(s.id);
    ASSERT_TRUE(read) << s.id;
    auto original = std::find_if(appended.begin(), appended.end(),
                                 [&](const history::Run& r) { return r.facts.runKey == read->facts.runKey; });
    ASSERT_NE(original, appended.end());
    history::Run expected = *original;
    expected.id = s.id;
    EXPECT_EQ(*read, expected) << s.id;
  }
}

TEST(HistoryTest, RunsReadBackWholeListNewestFirstAndFindTheirPrevious) {
  test::TempDir home;
  auto history = History::open(home.path());
  const history::Run first = MakeRun("k1", "100001", kSumB, {"100001_KHJBXX_20080808_1.ZIP R05 3"});
  history::Run other = MakeRun("k2", "100002", "", {});
  other.facts.completed = false;
  other.facts.message = "检查未能完成：磁盘已满";
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
  EXPECT_EQ(runs[1].message, "检查未能完成：磁盘已满");
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
  for (const char* table : {"runfile", "runpack", "finding", "valuecount"}) {
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

// Forks a child that runs `body` and exits 0 when it returns normally.
template <typename Body>
pid_t Child(Body body) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  int code = 3;
  try {
    code = body();
  } catch (...) {
  }
  _exit(code);
}

TEST(HistoryTest, SurvivesTheProcessKilledWhileARunIsWritten) {
  test::TempDir home;
  std::vector<history::Run> appended;
  for (int i = 1; i <= 3; ++i) appended.push_back(MakeRun("k" + std::to_string(i), "100001", kSumB, {"100001_KHJBXX_20080808_1.ZIP R05 2"}));
  for (const history::Run& r : appended) History::open(home.path())->append(r);
  const fs::path wal = HistoryFile(home.path()).string() + "-wal";
  const auto walBefore = fs::exists(wal) ? fs::file_size(wal) : 0;

  const pid_t pid = Child([&] {
    auto history = History::open(home.path());
    for (int i = 0;; ++i) history->append(BigRun("big" + std::to_string(i)));
    return 0;
  });
  // Killed once the journal has grown past its size before: in the middle of a write.
  std::error_code ec;
  int status = 0;
  pid_t ended = 0;
  while (fs::file_size(wal, ec) <= walBefore + 64 * 1024 && (ended = waitpid(pid, &status, WNOHANG)) == 0)
    std::this_thread::yield();
  ASSERT_EQ(ended, 0) << "the writer ended by itself";
  kill(pid, SIGKILL);
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFSIGNALED(status));

  auto history = History::open(home.path());
  std::vector<history::Run> all = appended;
  for (const RunSummary& s : history->list(1000))
    if (s.id > 3) all.push_back(BigRun(history->read(s.id)->facts.runKey));
  ExpectWhole(*history, all);
  EXPECT_GE(history->list(1000).size(), 3u);
  history->append(MakeRun("after", "100001", kSumB, {}));
  EXPECT_EQ(history->read(*history->latest())->facts.runKey, "after");
}

TEST(HistoryTest, AFullDiskLosesNoEarlierRun) {
  test::TempDir home;
  std::vector<history::Run> appended;
  for (int i = 1; i <= 3; ++i) appended.push_back(MakeRun("k" + std::to_string(i), "100001", kSumB, {"100001_KHJBXX_20080808_1.ZIP R05 2"}));
  for (const history::Run& r : appended) History::open(home.path())->append(r);

  // The child may grow no file beyond 256 KiB: the big run cannot be written.
  const pid_t pid = Child([&] {
    signal(SIGXFSZ, SIG_IGN);
    rlimit limit{256 * 1024, 256 * 1024};
    setrlimit(RLIMIT_FSIZE, &limit);
    auto history = History::open(home.path());
    try {
      history->append(BigRun("big"));
    } catch (const store::StoreError&) {
      return 0;  // refused, as it should be
    }
    return 1;
  });
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);

  auto history = History::open(home.path());
  EXPECT_EQ(Ids(history->list(10)), (std::vector<int64_t>{3, 2, 1}));
  ExpectWhole(*history, appended);
  history->append(MakeRun("after", "100001", kSumB, {}));
  EXPECT_EQ(history->list(10).size(), 4u);
}

}  // namespace
}  // namespace fc::history
