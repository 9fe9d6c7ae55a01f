// cli/PausePoint.h - a hook for tests that change the source files at an
// exact moment of a check run, without timing anything.
//
// With FILINGCHECK_PAUSE_AT=TEXT and FILINGCHECK_PAUSE_PIPE=PATH (a named
// pipe) in the environment, the first status text of the run that contains
// TEXT opens PATH for reading, which waits until the test has opened it for
// writing, and reads until the test closes it; then the run goes on. When
// either is unset nothing ever waits, and in a build without the tests (the
// installed program) the environment is not even read.
//
//   fc::cli::PausePoint pause = fc::cli::PausePoint::FromEnvironment();
//   pause.reached(statusText);  // after the text is shown
#pragma once

#include <string>

namespace fc::cli {

class PausePoint {
 public:
  static PausePoint FromEnvironment();
  // Waits for the test when `status` is the first text that contains TEXT.
  void reached(const std::string& status);

 private:
  std::string at_;    // TEXT; emptied once reached
  std::string pipe_;  // PATH
};

}  // namespace fc::cli
