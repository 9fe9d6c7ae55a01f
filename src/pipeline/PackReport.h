// pipeline/PackReport.h - what a packing wrote and what it could not, and the
// summary the operator reads afterwards.
//
//   PackReport report = PackPassedFiles(store, sourceDir, targetDir, observer);
//   observer.packed(report);   // by default one message holding PackSummaryText(report)
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/Verdict.h"

namespace fc::pipeline {

// What the operator is asked before packing: the question, with the verdict
// of the checks just done and the tables that passed their structure check
// (and so would be packed) though their rules found problems.
struct PackQuestion {
  store::Verdict verdict = store::Verdict::Unknown;
  std::string verdictText;                      // "不通过：…", as the run will record it
  std::vector<std::string> tablesWithFindings;  // listed names, in the order of the file list

  // The question on its first line, then the verdict, then those tables.
  std::string text() const;
  // Packing tables with findings must be chosen, not fallen into.
  bool safeAnswerIsNo() const { return !tablesWithFindings.empty(); }
};

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
