// The headless check while another program changes the source files at
// exact moments of the run (the program's pause point): a run never ends
// 通过 having judged one version of a file and packed, recorded or read
// another.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "naming/InterfaceLayouts.h"
#include "ruleset/LayoutTables.h"
#include "ruleset/RuleSet.h"
#include "support/NamedPipe.h"
#include "support/Program.h"
#include "support/RuleSetCopy.h"
#include "support/TempDir.h"
#include "support/Zip.h"

namespace {

namespace fs = std::filesystem;
using Result = fc::test::ProgramRun;

class SourceChangedAfterCheck : public testing::Test {
 protected:
  fc::test::TempDir dir;
  std::string home = (dir / "home").string();
  fs::path sample = dir / "sample", source = dir / "in", out = dir / "out";

  void SetUp() override {
    if (!fc::test::MakeNamedPipe(dir / "pause")) GTEST_SKIP() << "no named pipes on this system";
    ASSERT_EQ(fc::test::RunProgram({FC_CLI_PATH, "sample", "--home", home, "--dir", sample.string()}).status, 0);
    fs::create_directories(source);
    fs::create_directories(out);
  }

  // The sample's branch table of group 1, which passes, as `name` in the source directory.
  std::string passing(const std::string& name) {
    fs::copy_file(sample / "account-dbf" / "100001_YYBXX_20080808_1.DBF", source / name);
    return fc::test::ReadFileBytes(source / name);
  }
  // A branch table of the day before at `file`, as a late export would write it.
  static void WrongDate(const fs::path& file) {
    const auto layouts = fc::naming::InterfaceLayouts::load(fc::test::ShippedSet() / "layouts.csv");
    fc::ruleset::WriteLayoutTable(*layouts.find("YYBXX"), file, {{}, {}}, "100001", "20080807");
  }

  // The DBF-type check of the branch tables of groups 1 to `to`, packed, the
  // run held at the first status text holding `at` while `change` runs.
  Result checkPausedAt(int to, const std::string& at, const std::function<void()>& change,
                       std::vector<std::string> more = {"--kinds", "yybxx"}) {
    const std::string pipe = (dir / "pause").string();
    std::vector<std::string> args = {"env", "FILINGCHECK_PAUSE_AT=" + at, "FILINGCHECK_PAUSE_PIPE=" + pipe,
                                     FC_CLI_PATH, "account", "--home", home, "--source", source.string(),
                                     "--code", "100001", "--date", "2008-08-08", "--from", "1",
                                     "--to", std::to_string(to), "--type", "dbf", "--pack", "--output", out.string()};
    args.insert(args.end(), more.begin(), more.end());
    std::atomic<bool> reached = false, ended = false;
    std::thread other([&] {
      std::ofstream hold(pipe);  // opens once the run waits at the pause, or once released below
      if (!ended) change();
      reached = !ended;
    });  // closing the pipe lets the run go on
    Result r = fc::test::RunProgram(args);
    ended = true;
    if (!reached) std::ifstream release(pipe);  // the run never paused: the other side is let go
    other.join();
    EXPECT_TRUE(reached) << at << "\n" << r.err;
    return r;
  }
  std::string results() { return fc::test::RunProgram({FC_CLI_PATH, "results", "--home", home, "--format", "json"}).out; }
};

// A table rewritten while the one before it is packed, one grown after the
// rules read it, and a second spelling of a checked table's name appearing
// while the rules run: each run ends 未完成 naming the file, and an archive
// holds the bytes that passed or is not written.
TEST_F(SourceChangedAfterCheck, AFileChangedAfterItsCheckIsNeverPackedOrPassedAsChecked) {
  struct Case {
    std::string what, at;
    int to;
    std::function<void()> change;
    std::string said;
    std::vector<std::string> archives;  // written, holding the table as checked
  };
  const std::string first = "100001_YYBXX_20080808_1.DBF", second = "100001_YYBXX_20080808_2.DBF";
  std::string checked;
  const std::vector<Case> cases = {
      {"rewritten while packing", "正在压缩文件", 2, [&] { WrongDate(source / second); },
       second + "在检查过程中被改动", {"100001_YYBXX_20080808_1.ZIP"}},
      {"grown after the rules", "检查序号为 1的YYBXX文件数据逻辑", 1,
       [&] { std::ofstream(source / first, std::ios::app | std::ios::binary) << std::string(200, ' '); },
       first + "在检查过程中被改动", {}},
      {"twin while the rules run", "检查序号为 1的文件数据逻辑", 1, [&] { WrongDate(source / first); },
       "只是字母大小写不同的同名文件" + first, {"100001_YYBXX_20080808_1.ZIP"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove_all(source);
    fs::remove_all(out);
    fs::create_directories(source);
    fs::create_directories(out);
    // The twin's case lists the table in lower case, so the twin is the spelling the run expects.
    checked = passing(c.what.starts_with("twin") ? "100001_yybxx_20080808_1.dbf" : first);
    if (c.to == 2) passing(second);
    const Result r = checkPausedAt(c.to, c.at, c.change);
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    EXPECT_NE(results().find("\"verdict\": \"incomplete\""), std::string::npos);
    std::vector<std::string> written;
    for (const fs::directory_entry& e : fs::directory_iterator(out)) written.push_back(e.path().filename().string());
    EXPECT_EQ(written, c.archives);
    for (const std::string& archive : written)
      EXPECT_TRUE(fc::test::ReadZip(out / archive).begin()->second == checked) << archive << " holds another table";
  }
}

// The rule set is read once: loosened after the run has loaded it, the run
// still judges by the strict set and records the strict set's digest.
TEST_F(SourceChangedAfterCheck, ARuleSetLoosenedAfterLoadingNeitherJudgesNorIsRecorded) {
  const fs::path set = fc::test::CopyShippedSet(fs::path(home) / "rulesets" / "interface-2", "2", "earliest");
  const std::string strict = fc::ruleset::RuleSetDigest(set);
  fs::copy_file(sample / "account-dbf" / "100001_KHJBXX_20080808_1.DBF", source / "100001_KHJBXX_20080808_1.DBF");
  const Result r = checkPausedAt(1, "开始文件结构检查", [&] {
    fc::test::ReplaceIn(set / "account.rules", "\nquery SELECT count(*) from khjbxx where zjzhlb not in('0','1','2','3','9')",
                        "\nquery SELECT count(*) from khjbxx where 1=0");
  }, {"--kinds", "khjbxx", "--rule-set", "interface@2"});
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.out.find("R02"), std::string::npos) << r.out;
  EXPECT_NE(fc::ruleset::RuleSetDigest(set), strict);
  EXPECT_NE(results().find("\"sha256\": \"" + strict + "\""), std::string::npos);
}

}  // namespace
