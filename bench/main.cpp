// filingcheck-bench - `make bench`: generates large submissions in a
// temporary directory, checks them the way an operator would, and prints
// one line per figure, "name seconds ratio-to-floor" (bench/PipelineBench.h).
//
//   filingcheck-bench          the figures of the performance targets
//   filingcheck-bench 0.1      the same at a tenth of the records, quickly
//
// Exits 1 when some check did not find exactly the faults generated into
// its submission, or failed; 2 when the bench itself could not run.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <filesystem>
#include <string>

#include "bench/PipelineBench.h"
#include "settings/AppHome.h"

int main(int argc, char** argv) try {
  double scale = argc > 1 ? std::stod(argv[1]) : 1.0;
  if (!(scale > 0 && scale <= 4)) throw std::invalid_argument("the scale lies between 0 and 4");
  std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe");
  std::filesystem::path data = fc::settings::LocateDataDir(exe.parent_path());
  return fc::bench::RunPipelineBench(data, stdout, scale) ? 0 : 1;
} catch (const std::exception& e) {
  std::fprintf(stderr, "filingcheck-bench: %s\n", e.what());
  return 2;
}
