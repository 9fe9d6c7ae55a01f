// filingcheck-cli sql, run as a separate program without a shell, so query
// texts with quotes reach it unchanged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dbf/Writer.h"
#include "support/Program.h"
#include "support/TempDir.h"

namespace {

using Output = fc::test::ProgramRun;

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

  Output cli(std::vector<std::string> args) {
    args.insert(args.begin(), FC_CLI_PATH);
    return fc::test::RunProgram(args);
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

// Words a shell or a command line would split or unquote reach the program
// as they were given.
TEST_F(SqlCommand, WordsWithBlanksQuotesAndBackslashesReachItUnchanged) {
  for (const char* tail : {" x", "\"x", "x\\\" y\\", "\\\\"}) {
    const std::string missing = (dir / "missing").string() + tail;
    Output r = cli({"sql", "--dir", missing, "select count(*) from khjbxx"});
    EXPECT_EQ(r.err, "目录不存在: " + missing + "\n") << tail;
  }
}

}  // namespace
