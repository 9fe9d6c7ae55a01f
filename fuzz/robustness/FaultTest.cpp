// Faults around a check: the process killed at random moments, an output
// disk that fills up, a store that cannot grow and a home that cannot be
// written. Each must end with a clear message, a readable and consistent
// store and no half-written archive.
#include <algorithm>
#include <fstream>
#include <random>

#include "CheckFixture.h"
#include "TreeSnapshot.h"
#include "store/Store.h"
#include "support/SubmissionRows.h"
#include "support/Zip.h"

namespace fc::robustness {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kAllKinds = "KHJBXX,ZJZQDY,ZJBDXX,YYBXX,ZHBYZ";
constexpr int kGroups = 3;

std::string RandomText(std::mt19937& random, size_t n) {
  static const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
  std::uniform_int_distribution<size_t> pick(0, sizeof kAlphabet - 2);
  std::string s(n, ' ');
  for (char& c : s) c = kAlphabet[pick(random)];
  return s;
}

class Faults : public CheckFixture {
 protected:
  // Five tables per group, large enough that checking and packing them
  // takes a while, so random kills land in every phase.
  void writeAccountSubmission(int records) {
    for (int g = 1; g <= kGroups; ++g)
      for (const char* kind : {"KHJBXX", "ZJZQDY", "ZJBDXX", "YYBXX", "ZHBYZ"})
        test::WriteRows(src / AccountName(kind, g, "dbf"), kind, test::Make(kind, records));
  }
  std::vector<std::string> packingArgs() {
    std::vector<std::string> args = accountArgs("dbf", kGroups, kAllKinds);
    args.push_back("--pack");
    return args;
  }

  // Every file of the output directory is a whole archive of the DBF of
  // its name, as the source directory holds it.
  void expectOnlyWholeArchives() {
    for (const fs::directory_entry& e : fs::directory_iterator(out)) {
      std::string name = e.path().filename().string();
      ASSERT_TRUE(name.size() > 4 && name.substr(name.size() - 4) == ".ZIP") << "stray file " << name;
      std::string dbf = name.substr(0, name.size() - 3) + "DBF";
      std::map<std::string, std::string> entries;
      ASSERT_NO_THROW(entries = test::ReadZip(e.path())) << "unreadable archive " << name;
      ASSERT_EQ(entries.size(), 1u) << name;
      EXPECT_EQ(entries.begin()->first, dbf);
      EXPECT_TRUE(entries.begin()->second == test::ReadFileBytes(src / dbf)) << name << " does not hold " << dbf;
    }
  }
};

TEST_F(Faults, RunsKilledAtRandomMomentsLeaveAConsistentStoreAndNoHalfWrittenArchive) {
  writeAccountSubmission(1500);
  CliRun whole = runCheck(packingArgs());
  ASSERT_TRUE(whole.exitCode == 0 || whole.exitCode == 1) << whole.err;
  ASSERT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 5 * kGroups);
  const auto span = std::chrono::duration_cast<std::chrono::microseconds>(whole.elapsed);
  std::random_device device;
  const unsigned seed = device();
  std::mt19937 random(seed);
  std::uniform_int_distribution<long long> delay(0, span.count());
  int killed = 0;
  for (int i = 0; i < 20; ++i) {
    for (const fs::directory_entry& e : fs::directory_iterator(out)) fs::remove(e.path());
    std::chrono::microseconds after(delay(random));
    SCOPED_TRACE("seed " + std::to_string(seed) + ", kill " + std::to_string(i) + " after " +
                 std::to_string(after.count()) + " us of " + std::to_string(span.count()));
    CliRun run = RunCli(packingArgs(), tmp, CliLimits::KillAfter(after));
    killed += run.signal == SIGKILL;
    expectConsistentStore();
    expectOnlyWholeArchives();
  }
  std::printf("%d of 20 runs killed (a whole run took %lld ms)\n", killed,
              static_cast<long long>(span.count() / 1000));
  // The next run works on what the killed ones left behind.
  CliRun next = runCheck(packingArgs());
  EXPECT_TRUE(next.exitCode == 0 || next.exitCode == 1) << next.err;
  EXPECT_EQ(results().size(), 5u * kGroups);
  expectOnlyWholeArchives();
  EXPECT_EQ(std::distance(fs::directory_iterator(out), fs::directory_iterator()), 5 * kGroups);
}

TEST_F(Faults, AFullOutputDiskGivesAClearMessageAndNoPartialArchive) {
  // A result table of about 3 MB of text that does not compress, and a
  // small comparison table; the file size limit lets only the small one
  // be packed.
  std::mt19937 random(8);
  test::Rows rows = test::Make("SFZFCJG", 8000);
  for (test::Row& row : rows) row["YCYYSM"] = row["CLCSSM"] = RandomText(random, 200);
  const std::string big = std::string(kCode) + "_SFZFCJG_" + kDate + ".DBF";
  const std::string small = std::string(kCode) + "_SFZHCQK_20080804.DBF";
  test::WriteRows(src / big, "SFZFCJG", rows);
  test::WriteRows(src / small, "SFZHCQK", test::Make("SFZHCQK", 3));
  CliRun run = runCheck({"identity", "--home", home.string(), "--source", src.string(), "--code", kCode, "--date",
                         "2008-08-08", "--comparison-date", "2008-08-04", "--type", "dbf", "--output", out.string(),
                         "--pack"},
                        CliLimits::FileSize(1 << 20));
  EXPECT_TRUE(run.exitCode == 0 || run.exitCode == 1) << run.err;
  EXPECT_NE(run.err.find("未能生成zip压缩文件"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find(big), std::string::npos) << run.err;
  EXPECT_EQ(results()[big].isok, 1);
  expectOnlyWholeArchives();
  EXPECT_FALSE(fs::exists(out / (big.substr(0, big.size() - 3) + "ZIP")));
  EXPECT_TRUE(fs::exists(out / (small.substr(0, small.size() - 3) + "ZIP")));
}

TEST_F(Faults, AStoreThatCannotGrowFailsTheRunClearlyAndKeepsTheLastResults) {
  writeAccountSubmission(20);
  CliRun first = runCheck(accountArgs("dbf", kGroups, kAllKinds));
  ASSERT_TRUE(first.exitCode == 0 || first.exitCode == 1) << first.err;
  std::map<std::string, FileResult> before = results();
  // Nothing written may grow past the store's present size.
  CliRun full = RunCli(accountArgs("dbf", kGroups, kAllKinds), tmp, 
                       CliLimits::FileSize(fs::file_size(home / "dravmel.mdb")));
  EXPECT_EQ(full.signal, 0);
  EXPECT_EQ(full.exitCode, 2) << full.err;
  EXPECT_NE(full.err.find("dravmel.mdb"), std::string::npos) << full.err;
  // A sound store that cannot be written is not to be called foreign.
  EXPECT_EQ(full.err.find("不是本程序的检查结果库"), std::string::npos) << full.err;
  expectConsistentStore();
  EXPECT_EQ(results().size(), before.size());
}

// Running as root, permissions cannot make a directory read-only, so the
// home is made unwritable by what stands in its place: a regular file as
// the home, a home below a regular file, a file where the store or a
// working directory must go. Without root, a directory of mode 0555 too.
class UnwritableHome : public CheckFixture {
 protected:
  void expectRefused(const fs::path& homePath, const std::string& named) {
    std::vector<std::string> args = accountArgs("dbf", 1);
    args[2] = homePath.string();
    test::WriteRows(src / AccountName("KHJBXX", 1, "dbf"), "KHJBXX", test::Make("KHJBXX", 3));
    TreeSnapshot before(root());
    CliRun run = RunCli(args, tmp);
    EXPECT_EQ(run.signal, 0);
      EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_NE(run.err.find(named), std::string::npos) << "the message does not name " << named << ": " << run.err;
    for (const std::string& path : TreeSnapshot(root()).changedSince(before))
      EXPECT_TRUE(IsUnder(path, "home") || path == "src" || IsUnder(path, "src")) << "the check wrote " << path;
    EXPECT_TRUE(fs::is_empty(out));
  }
};

TEST_F(UnwritableHome, AHomeThatIsAFileIsRefused) {
  fs::remove(home);
  std::ofstream(home) << "not a directory";
  expectRefused(home, home.string());
  EXPECT_EQ(test::ReadFileBytes(home), "not a directory");
}

TEST_F(UnwritableHome, AHomeBelowAFileIsRefused) {
  std::ofstream(root() / "file") << "x";
  expectRefused(root() / "file" / "home", (root() / "file").string());
}

TEST_F(UnwritableHome, AStoreThatIsADirectoryIsRefused) {
  fs::create_directories(home / "dravmel.mdb");
  expectRefused(home, "dravmel.mdb");
}

TEST_F(UnwritableHome, AWorkingDirectoryThatIsAFileIsRefused) {
  std::ofstream(home / "workdir") << "x";
  expectRefused(home, "workdir");
  EXPECT_EQ(test::ReadFileBytes(home / "workdir"), "x");
}

TEST_F(UnwritableHome, AReadOnlyDirectoryIsRefused) {
  if (geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  fs::permissions(home, fs::perms::owner_read | fs::perms::owner_exec);
  expectRefused(home, home.string());
}

}  // namespace
}  // namespace fc::robustness
