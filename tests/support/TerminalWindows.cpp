// support/TerminalWindows.cpp - RunOnTerminal where the tests have no
// pseudo-terminal to give the program: Wine has no pseudo console.
#include "support/Terminal.h"

namespace fc::test {

std::string RunOnTerminal(const std::vector<std::string>&, const std::filesystem::path&) { return "no pseudo-terminal"; }

}  // namespace fc::test
