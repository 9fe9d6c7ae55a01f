// support/Terminal.h - runs a program with its stderr on a terminal of its
// own, for tests of what a program shows only to a person watching.
//
//   std::string shown = fc::test::RunOnTerminal({FC_CLI_PATH, "account", ...}, dir / "stdout");
//
// The first argument is the program's path; stdout goes to `stdoutFile`.
// Where the system gives no pseudo-terminal (Windows here) the answer is
// "no pseudo-terminal".
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace fc::test {

// What the terminal received, once the program has ended.
std::string RunOnTerminal(const std::vector<std::string>& args, const std::filesystem::path& stdoutFile);

}  // namespace fc::test
