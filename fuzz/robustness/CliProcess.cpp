#include "CliProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace fc::robustness {

namespace {

using Clock = std::chrono::steady_clock;

// The environment of the parent with TMPDIR replaced.
std::vector<std::string> ChildEnvironment(const std::filesystem::path& tmpdir) {
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::string_view(*e).substr(0, 7) != "TMPDIR=") env.emplace_back(*e);
  env.push_back("TMPDIR=" + tmpdir.string());
  return env;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
  std::vector<char*> p;
  for (std::string& t : texts) p.push_back(t.data());
  p.push_back(nullptr);
  return p;
}

// Only async-signal-safe calls between fork and exec.
[[noreturn]] void ExecChild(int outFd, int errFd, const CliLimits& limits, char** argv, char** envp) {
  dup2(outFd, STDOUT_FILENO);
  dup2(errFd, STDERR_FILENO);
  if (limits.fileSize) {
    signal(SIGXFSZ, SIG_IGN);  // an ignored signal stays ignored across exec
    struct rlimit limit = {*limits.fileSize, *limits.fileSize};
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  execve(argv[0], argv, envp);
  _exit(127);
}

// Reads both pipes until they close; when `armed`, kills the child at `deadline`.
void Collect(pid_t pid, int outFd, int errFd, Clock::time_point deadline, bool armed, CliRun& run) {
  struct pollfd fds[2] = {{outFd, POLLIN, 0}, {errFd, POLLIN, 0}};
  std::string* sinks[2] = {&run.out, &run.err};
  int open = 2;
  while (open > 0) {
    if (armed && Clock::now() >= deadline) {
      kill(pid, SIGKILL);
      armed = false;
    }
    int timeout = -1;
    if (armed) {
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      timeout = static_cast<int>(std::max<long long>(0, left.count()));
    }
    if (poll(fds, 2, timeout) <= 0) continue;  // the deadline, or a signal
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      char buffer[4096];
      ssize_t got = read(fds[i].fd, buffer, sizeof buffer);
      if (got > 0) {
        sinks[i]->append(buffer, static_cast<size_t>(got));
        continue;
      }
      close(fds[i].fd);
      fds[i].fd = -1;
      --open;
    }
  }
}

}  // namespace

CliRun RunCli(const std::vector<std::string>& args, const std::filesystem::path& tmpdir,
              const CliLimits& limits) {
  std::vector<std::string> argvTexts = {FC_CLI_PATH};
  argvTexts.insert(argvTexts.end(), args.begin(), args.end());
  std::vector<std::string> envTexts = ChildEnvironment(tmpdir);
  envTexts.insert(envTexts.end(), limits.environment.begin(), limits.environment.end());
  std::vector<char*> argv = Pointers(argvTexts), envp = Pointers(envTexts);
  int out[2], err[2];
  if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  Clock::time_point start = Clock::now();
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) ExecChild(out[1], err[1], limits, argv.data(), envp.data());
  close(out[1]);
  close(err[1]);
  CliRun run;
  Clock::time_point deadline = start + limits.killAfter.value_or(std::chrono::microseconds::zero());
  Collect(pid, out[0], err[0], deadline, limits.killAfter.has_value(), run);
  int status = 0;
  struct rusage usage = {};
  while (wait4(pid, &status, 0, &usage) < 0 && errno == EINTR) {
  }
  run.elapsed = Clock::now() - start;
  run.peakRssKb = usage.ru_maxrss;
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.signal = WTERMSIG(status);
  return run;
}

}  // namespace fc::robustness
