// pipeline/PackReport.h - what a packing wrote and what it could not, and the
// summary the operator reads afterwards.
//
//   PackReport report = PackPassedFiles(store, sourceDir, targetDir, observer);
//   observer.packed(report);   // by default one message holding PackSummaryText(report)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fc::pipeline {

struct PackFailure {
  std::string source;  // source directory + filename
  std::string reason;  // why no archive was written
};

struct PackedArchive {
  std::string archive;  // the archive written, output directory + name
  std::uintmax_t size = 0;  // its size in bytes
  std::string keptAs;   // a different archive it replaced, kept under this name; empty when none
};

struct PackReport {
  std::vector<PackedArchive> written;  // in the order they were packed
  std::vector<PackFailure> failures;
};

// Every archive written with its size (and the kept archive it replaced),
// then the files that could not be packed with their reasons, one a line.
std::string PackSummaryText(const PackReport& report);

}  // namespace fc::pipeline
