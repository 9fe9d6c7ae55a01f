// The check commands' progress mark: "[n/total]" below the status texts when
// stderr is a terminal, nothing of it when stderr is a pipe or a file.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/TempDir.h"
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
    std::string command = std::string(FC_CLI_PATH) + " sample --home '" + home + "' --dir '" + sample + "' >/dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
  }
};

// Runs the command with stderr on a new pseudo-terminal (stdout to a file);
// returns what the terminal received.
std::string RunOnTerminal(const std::vector<std::string>& args, const std::string& stdoutFile) {
  int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) return "no pseudo-terminal";
  std::string slaveName = ptsname(master);
  pid_t pid = fork();
  if (pid == 0) {
    int slave = open(slaveName.c_str(), O_RDWR | O_NOCTTY);
    int out = open(stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (slave < 0 || out < 0) _exit(127);
    dup2(slave, STDERR_FILENO);
    dup2(out, STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    execv(argv[0], argv.data());
    _exit(127);
  }
  std::string received;
  char buffer[4096];
  // The terminal reports EIO once the child has closed its last descriptor.
  for (ssize_t n; (n = read(master, buffer, sizeof buffer)) > 0;) received.append(buffer, n);
  waitpid(pid, nullptr, 0);
  close(master);
  return received;
}

TEST_F(Progress, TerminalShowsWhichFileOfHowManyBelowTheStatusTexts) {
  std::string shown = RunOnTerminal(accountArgs(), (dir / "stdout").string());
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
  std::string command;
  for (const std::string& a : accountArgs()) command += "'" + a + "' ";
  command += ">/dev/null 2>'" + (dir / "stderr").string() + "'";
  std::system(command.c_str());
  std::string err = fc::test::ReadFileBytes(dir / "stderr");
  EXPECT_EQ(err.find("/10]"), std::string::npos);
  EXPECT_EQ(err.find('\r'), std::string::npos);
  EXPECT_EQ(err.rfind("开始文件结构检查......\n", 0), 0u);
  EXPECT_NE(err.find("文件检查完毕,请查看检查结果\n"), std::string::npos);
}

}  // namespace
