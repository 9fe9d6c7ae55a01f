// pipeline/Judge.h - the verdict of a check run, judged once from its facts when
// it ends: the run's word and one-line reason, and each listed file's.
//
//   fc::pipeline::RunTally tally;                 // what the run found and ran
//   tally.findings.push_back({fileid, records});  // per fileerr row
//   tally.rulesRan.insert(fileid);                // per file whose rule phase was reached
//   fc::pipeline::Judge(facts, tally);            // sets facts.verdict, verdictText, files' verdicts
//
// The policy lives with the runs it judges; the store keeps what it concluded
// (store/Verdict.h, store/RunFacts.h).
// A file passes when it is present, its archive and structure are sound, its
// rules ran (none of them 未检查) and found nothing. The run passes when it
// completed, listed at least one file and every file passes; it fails when a
// file is missing, unsound or has a finding; otherwise it is incomplete. A
// run that did not complete is incomplete whatever it found so far, for its
// results are not whole.
// A rule finding an acceptance in force covers (accept/Coverage.h) fails
// nothing: a file, and a run, that would pass but for such findings is
// 已接受, never 通过, and says how many findings and records were accepted.
// A run that fails despite acceptances names every rule finding left
// uncovered, with why when an acceptance of its rule did not cover it.
#pragma once

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "store/RunFacts.h"

namespace fc::pipeline {

struct RunTally {
  struct Finding {
    int fileid = 0;       // the file of one fileerr row
    int64_t records = 0;  // records behind it (0 for archive and structure problems)
    std::string errid = {};    // its code
    bool rule = false;         // a finding of a rule of the run's set (not an archive, structure or date problem)
    bool accepted = false;     // an acceptance in force covers it
    std::string uncovered = {};  // why an acceptance of its rule did not cover it
  };
  std::vector<Finding> findings;  // every fileerr row of the run
  std::set<int> rulesRan;         // files whose data rules ran (what did not run is in facts.skipped)
};

// Sets facts.verdict and facts.verdictText, and every file's, from the
// files' facts, facts.completed, facts.skipped and the tally.
void Judge(store::RunFacts& facts, const RunTally& tally);

}  // namespace fc::pipeline
