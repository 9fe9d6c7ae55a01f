// support/Shell.h - a text quoted for /bin/sh, for tests that run commands
// through std::system.
//
//   std::system((program + " --home " + fc::test::ShellQuoted(home)).c_str());
#pragma once

#include <string>

namespace fc::test {

inline std::string ShellQuoted(const std::string& text) {
  std::string q = "'";
  for (char c : text) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

}  // namespace fc::test
