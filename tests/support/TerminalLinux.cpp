// support/TerminalLinux.cpp - RunOnTerminal on a pseudo-terminal from
// posix_openpt, the program started by fork and execv.
#include "support/Terminal.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>

namespace fc::test {

std::string RunOnTerminal(const std::vector<std::string>& args, const std::filesystem::path& stdoutFile) {
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

}  // namespace fc::test
