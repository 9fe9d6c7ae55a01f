// robustness/CliProcess.h - runs filingcheck-cli as a child process, as an
// operator's shell would, with the faults a machine can throw at it.
//
//   CliRun r = RunCli({"identity", "--home", home, ...}, tmp);
//   EXPECT_EQ(r.exitCode, 1) << r.err;
//   CliRun k = RunCli(args, tmp, CliLimits::KillAfter(std::chrono::milliseconds(40)));
//
// The child's TMPDIR is `tmpdir`, so a test can tell that it left nothing in
// the temporary directory. Output is collected while the child runs; the
// peak resident memory comes from the kernel's accounting of that child.
#pragma once

#include <sys/resource.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace fc::robustness {

struct CliLimits {
  std::optional<rlim_t> fileSize;                      // RLIMIT_FSIZE in bytes; SIGXFSZ ignored
  std::optional<std::chrono::microseconds> killAfter;  // SIGKILL this long after the start
  std::vector<std::string> environment = {};           // NAME=VALUE entries the child gets besides

  static CliLimits FileSize(rlim_t bytes) { return {bytes, std::nullopt}; }
  static CliLimits KillAfter(std::chrono::microseconds after) { return {std::nullopt, after}; }
};

struct CliRun {
  int exitCode = -1;    // -1 when a signal ended the child
  int signal = 0;       // the signal that ended it, 0 when it exited
  std::string out;      // stdout
  std::string err;      // stderr
  long peakRssKb = 0;   // largest resident set of the child
  std::chrono::steady_clock::duration elapsed{};
};

CliRun RunCli(const std::vector<std::string>& args, const std::filesystem::path& tmpdir,
              const CliLimits& limits = {});

}  // namespace fc::robustness
