// The check commands' progress mark: "[n/total]" below the status texts when
// stderr is a terminal, nothing of it when stderr is a pipe or a file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/Program.h"
#include "support/TempDir.h"
#include "support/Terminal.h"
#include "support/Zip.h"

namespace {

constexpr const char* kClearLine = "\r\x1b[K";

class Progress : public testing::Test {
 protected:
  fc::test::TempDir dir;
  std::string home = (dir / "home").string();
  std::string sample = (dir / "sample").string();

  std::vector<std::string> accountArgs() const {
    return {FC_CLI_PATH, "account", "--home", home,         "--source", sample + "/account-zip", "--code",
            "100001",    "--date",  "2008-08-08", "--from", "1",        "--to",
            "2"};
  }

  void SetUp() override {
    ASSERT_EQ(fc::test::RunProgram({FC_CLI_PATH, "sample", "--home", home, "--dir", sample}).status, 0);
  }
};

TEST_F(Progress, TerminalShowsWhichFileOfHowManyBelowTheStatusTexts) {
  std::string shown = fc::test::RunOnTerminal(accountArgs(), dir / "stdout");
  for (int i = 1; i <= 10; ++i)
    EXPECT_NE(shown.find(kClearLine + ("[" + std::to_string(i) + "/10]")), std::string::npos) << i;
  // A status text takes the mark's line and the mark comes back below it.
  EXPECT_NE(shown.find(std::string(kClearLine) + "开始文件" + sample), std::string::npos);
  EXPECT_NE(shown.find("结构检查......\r\n[1/10]"), std::string::npos);
  // The run ends with the mark cleared, and the results on stdout carry none.
  ASSERT_GT(shown.size(), 4u);
  EXPECT_EQ(shown.substr(shown.size() - 4), kClearLine);
  std::string results = fc::test::ReadFileBytes(dir / "stdout");
  EXPECT_NE(results.find("R02"), std::string::npos);
  EXPECT_EQ(results.find("/10]"), std::string::npos);
}

TEST_F(Progress, PipeGetsOneLinePerStatusTextAndNoMark) {
  std::string err = fc::test::RunProgram(accountArgs()).err;
  EXPECT_EQ(err.find("/10]"), std::string::npos);
  EXPECT_EQ(err.find('\r'), std::string::npos);
  EXPECT_EQ(err.rfind("开始文件结构检查......\n", 0), 0u);
  EXPECT_NE(err.find("文件检查完毕,请查看检查结果\n"), std::string::npos);
}

}  // namespace
