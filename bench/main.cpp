// filingcheck-bench - `make bench`: generates large submissions in a
// temporary directory, checks them the way an operator would, and prints
// one line per figure, "name seconds ratio-to-floor" (bench/PipelineBench.h).
//
//   filingcheck-bench          the figures of the performance targets
//   filingcheck-bench 0.1      the same at a tenth of the records, quickly
//   filingcheck-bench 10       ten times the records (`make bench-large`; about
//                              5 GB of tables): the full-scale figures, the
//                              tenfold ones and their growth; any scale above 4
//                              does the same against a tenth of itself
//   filingcheck-bench tenfold [SCALE]   the same at any scale (default 10):
//                                       `tenfold 0.05` compares 0.05 with 0.005
//   filingcheck-bench costs [SCALE]     only the check without and with record
//                                       capture, and without and with the run's facts
//   filingcheck-bench generate DIR [SCALE]   writes the submissions into DIR,
//                                       kept, and prints the filingcheck-cli
//                                       commands that check them (to profile one)
//
// SCALE lies between 0 and 10 (default 1). Temporary files go under TMPDIR
// (default /tmp) and are removed at the end, also on Ctrl-C.
// Exits 1 when some check did not find exactly the faults generated into
// its submission, or failed; 2 when the bench itself could not run.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "bench/PipelineBench.h"
#include "bench/ScratchDir.h"
#include "settings/AppHome.h"

namespace {

constexpr double kMaxScale = 10;
// Above this scale the half scale and the costs would take far too long, so
// the bench compares tenfold the records with the full scale instead.
constexpr double kMaxHalfAndFullScale = 4;

// argv[i] as a scale, or `otherwise` when there are not that many arguments.
double ScaleArg(int argc, char** argv, int i, double otherwise) {
  if (argc <= i) return otherwise;
  char* end = nullptr;
  const double scale = std::strtod(argv[i], &end);
  if (end == argv[i] || *end || !(scale > 0 && scale <= kMaxScale))
    throw std::invalid_argument("the scale lies between 0 and " + std::to_string(static_cast<int>(kMaxScale)) +
                                ", not " + argv[i]);
  return scale;
}

}  // namespace

int main(int argc, char** argv) try {
  fc::bench::RemoveScratchOnInterrupt();
  namespace fs = std::filesystem;
  const fs::path exe = fs::canonical("/proc/self/exe");
  const fs::path data = fc::settings::LocateDataDir(exe.parent_path());
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "costs") return fc::bench::RunCostBench(data, stdout, ScaleArg(argc, argv, 2, 1)) ? 0 : 1;
  if (mode == "tenfold") return fc::bench::RunTenfoldBench(data, stdout, ScaleArg(argc, argv, 2, 10)) ? 0 : 1;
  if (mode == "generate") {
    if (argc < 3) throw std::invalid_argument("generate takes a directory: generate DIR [SCALE]");
    fc::bench::GenerateSubmissions(data, argv[2], ScaleArg(argc, argv, 3, 1), exe.parent_path() / "filingcheck-cli",
                                   stdout);
    return 0;
  }
  const double scale = ScaleArg(argc, argv, 1, 1);
  if (scale > kMaxHalfAndFullScale) return fc::bench::RunTenfoldBench(data, stdout, scale) ? 0 : 1;
  return fc::bench::RunPipelineBench(data, stdout, scale) ? 0 : 1;
} catch (const std::exception& e) {
  std::fprintf(stderr, "filingcheck-bench: %s\n", e.what());
  return 2;
}
