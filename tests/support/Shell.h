// support/Shell.h - a text quoted for /bin/sh, for tests that run commands
// through std::system, and what a command prints.
//
//   std::system((program + " --home " + fc::test::ShellQuoted(home)).c_str());
//   std::string text = fc::test::CommandOutput("pdftotext " + fc::test::ShellQuoted(pdf) + " -");
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fc::test {

inline std::string ShellQuoted(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

// The standard output of `command` run by /bin/sh (empty when it cannot start).
inline std::string CommandOutput(const std::string& command) {
  std::string out;
  if (std::FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
    ::pclose(pipe);
  }
  return out;
}

// True when `program` is on the PATH.
inline bool HasProgram(const std::string& program) {
  return std::system(("command -v " + ShellQuoted(program) + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace fc::test
