// The history over a writer that dies: killed in the middle of a run, or
// stopped by a full disk. The writer is a forked child, its death a signal
// or a file-size limit, so these tests are Linux's.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "HistoryRuns.h"
#include "history/History.h"
#include "store/Sqlite.h"
#include "support/TempDir.h"

namespace fc::history {
namespace {

namespace fs = std::filesystem;
using test::ExpectWhole;
using test::Ids;
using test::kSumB;
using test::MakeRun;

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
