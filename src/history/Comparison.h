// history/Comparison.h - what changed between two check runs: findings that
// are new, gone or changed in count, and files whose bytes changed.
//
//   fc::history::Comparison c = fc::history::Compare(*before, *after);
//   if (c.worse()) return 1;
//
// A finding is the same finding in both runs when its table name (the file
// name without .ZIP/.DBF, so that runs of either file type compare) and
// number agree and it is the n-th finding of that number in its file in both
// (its text carries counts, so it is not compared). A finding of the earlier
// run is gone only when the later run checked for it: its file was found
// and, for a rule finding, its rule ran there; otherwise it is unchecked. A
// file found before and missing now is worse, like a new finding. A file
// changed when its SHA-256 differs (runs of one file type), or it was found
// in one run only. Files are compared only where both runs expected them: a
// table left out of one run is neither missing nor changed. When the two runs were judged by different rule sets, or
// by one version whose files differ, the comparison says so in words: a
// finding may have come or gone with the rules, not the data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/History.h"

namespace fc::history {

struct FindingChange {
  std::string filename;      // the file's listed name
  std::string errid;         // the finding's number
  std::string errdescBefore; // its text in the earlier run (empty when new)
  std::string errdescAfter;  // its text in the later run (empty when gone)
  int64_t countBefore = 0;   // records behind it in the earlier run
  int64_t countAfter = 0;    // records behind it in the later run
};

struct FileChange {
  std::string filename;      // the file's listed name
  std::string sha256Before;  // empty when not found in the earlier run
  std::string sha256After;   // empty when not found in the later run
};

struct Comparison {
  int64_t before = 0;                  // history id of the earlier run
  int64_t after = 0;                   // history id of the later run
  std::vector<FindingChange> added;    // findings only in the later run
  std::vector<FindingChange> gone;     // findings only in the earlier run
  std::vector<FindingChange> changed;  // in both, with different counts
  std::vector<FindingChange> unchecked;  // only in the earlier run, whose check did not run in the later
  std::vector<std::string> missing;    // files found in the earlier run and missing in the later
  std::vector<FileChange> files;       // files whose bytes changed
  std::string ruleSetWarning;          // the runs' rule sets differ, in a sentence; empty when they agree

  // A finding is new or grew, or a file went missing.
  bool worse() const;
  bool empty() const {
    return added.empty() && gone.empty() && changed.empty() && unchecked.empty() && missing.empty() &&
           files.empty();
  }
};

Comparison Compare(const Run& before, const Run& after);

// The comparison's sentence when the rule sets of two runs differ (another
// set, or one version with other files) or one of them is not known; empty
// when they agree.
std::string RuleSetWarning(const store::RuleSetFacts& before, const store::RuleSetFacts& after);

}  // namespace fc::history
