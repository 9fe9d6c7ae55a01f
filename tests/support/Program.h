// support/Program.h - runs a program as a user's script would, but without a
// shell between: each argument reaches it as one word, unchanged, on every
// system; its exit code, stdout and stderr come back apart.
//
//   fc::test::ProgramRun r = fc::test::RunProgram({FC_CLI_PATH, "results", "--home", home});
//   EXPECT_EQ(r.status, 0) << r.err;
//   if (fc::test::HasProgram("pdftotext")) text = fc::test::ProgramOutput({"pdftotext", pdf, "-"});
//
// The first argument is the program: a path, or a name looked up on the PATH.
// Arguments are UTF-8. stdout and stderr go to files of their own (not pipes),
// read once the program has ended; stdin is left as the test's own.
#pragma once

#include <string>
#include <vector>

namespace fc::test {

struct ProgramRun {
  int status = -1;  // the exit status; -1 when it could not start or a signal ended it
  std::string out;
  std::string err;
};

ProgramRun RunProgram(const std::vector<std::string>& args);

// Its stdout alone (empty when it cannot start).
inline std::string ProgramOutput(const std::vector<std::string>& args) { return RunProgram(args).out; }

// True when `name` is a program on the PATH.
bool HasProgram(const std::string& name);

}  // namespace fc::test
