// filingcheck-cli sql, run as a separate program without a shell, so query
// texts with quotes reach it unchanged.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "dbf/Writer.h"
#include "support/TempDir.h"

namespace {

struct Output {
  int status = -1;
  std::string out, err;
};

std::string Slurp(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class SqlCommand : public testing::Test {
 protected:
  void SetUp() override {
    fc::dbf::Writer w(dir / "KHJBXX.DBF", fc::dbf::Format::DBase3,
                      {{"ZJZH", 'C', 10}, {"KHQC", 'C', 20}, {"JE", 'N', 10, 2}});
    w.add({"A1", "张三", "1.50"});
    w.add({"A1", "李四\t四", "2.00"});
    w.add({"B2", "王五", ""});
    w.finish();
  }

  Output cli(const std::vector<std::string>& args) {
    std::vector<std::string> all = {FC_CLI_PATH};
    all.insert(all.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, (dir / "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, (dir / "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid;
    int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0) return {};
    int raw = 0;
    waitpid(pid, &raw, 0);
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, Slurp(dir / "out"), Slurp(dir / "err")};
  }

  fc::test::TempDir dir;
};

TEST_F(SqlCommand, PrintsAHeaderAndOneLinePerRow) {
  Output r = cli({"sql", "--dir", dir.path().string(), "select zjzh, khqc, je from khjbxx where zjzh='A1'"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "ZJZH\tKHQC\tJE\nA1\t张三\t1.50\nA1\t李四 四\t2.00\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(SqlCommand, PrintsOneLinePerGroupAndCounts) {
  Output r = cli({"sql", "--dir=" + dir.path().string(), "select zjzh, count(*) from khjbxx group by zjzh"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "ZJZH\tcnt\nA1\t2\nB2\t1\n");
  r = cli({"sql", "--dir", dir.path().string(), "select count(*) from khjbxx where je = 0"});
  EXPECT_EQ(r.out, "cnt\n1\n");
}

TEST_F(SqlCommand, FailuresGoToStderrWithStatus2) {
  Output r = cli({"sql", "--dir", dir.path().string(), "select count(*) from nosuch"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "表不存在: nosuch\n");
  r = cli({"sql", "--dir", (dir / "missing").string(), "select count(*) from khjbxx"});
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err, "目录不存在: " + (dir / "missing").string() + "\n");
  r = cli({"sql", "select count(*) from khjbxx"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("用法"), std::string::npos);
}

}  // namespace
