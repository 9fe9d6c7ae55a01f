// filingcheck-bench - `make bench`: generates large submissions in a
// temporary directory, checks them the way an operator would, and prints
// one line per figure, "name seconds ratio-to-floor" (bench/PipelineBench.h).
//
//   filingcheck-bench          the figures of the performance targets
//   filingcheck-bench 0.1      the same at a tenth of the records, quickly
//   filingcheck-bench costs [SCALE]   only the check without and with record
//                                     capture, and without and with the run's facts
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
  const bool costs = argc > 1 && std::string(argv[1]) == "costs";
  const int scaleArg = costs ? 2 : 1;
  double scale = argc > scaleArg ? std::stod(argv[scaleArg]) : 1.0;
  if (!(scale > 0 && scale <= 4)) throw std::invalid_argument("the scale lies between 0 and 4");
  std::filesystem::path exe = std::filesystem::canonical("/proc/self/exe");
  std::filesystem::path data = fc::settings::LocateDataDir(exe.parent_path());
  if (costs) return fc::bench::RunCostBench(data, stdout, scale) ? 0 : 1;
  return fc::bench::RunPipelineBench(data, stdout, scale) ? 0 : 1;
} catch (const std::exception& e) {
  std::fprintf(stderr, "filingcheck-bench: %s\n", e.what());
  return 2;
}
