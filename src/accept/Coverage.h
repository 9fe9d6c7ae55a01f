// accept/Coverage.h - which findings of a run the acceptances in force cover,
// record by record, and which acceptances end with the run.
//
//   fc::accept::CoverContext context{submission, code, "20260105", &terms};
//   fc::accept::Coverage c = fc::accept::Cover(book->list(), findings, context);
//   for (const fc::accept::Lapse& l : c.lapses) book->lapse(l.acceptance, l.reason, now);
//
// Only a finding of a rule of the run's set can be covered; an archive,
// structure or date problem never is. A finding is covered when
//   - an acceptance of every record of its rule (at most N) covers it: the
//     rule's records over the whole run are no more than N; or
//   - acceptances naming records cover every record behind it: each was kept
//     (records past the run's limit cannot be matched, so a finding with more
//     records than kept is not covered) and its key is named.
// An acceptance of another submission or company is no concern of the run.
// One in force lapses, and covers nothing, when its last day has passed, when
// the set's text of its rule differs from the one it was made under, or when
// its rule's records outgrow its "at most". A finding not covered says why
// when an acceptance of its rule was there to cover it.
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "accept/Acceptances.h"
#include "accept/RuleTerms.h"

namespace fc::accept {

// One finding of the run, as the store keeps it.
struct RunFinding {
  int fileid = 0;
  int finding = 0;                                // position among its file's findings, from 1
  std::string errid;
  int64_t total = 0;                              // records behind it, uncapped
  std::vector<std::optional<std::string>> keys;   // the key of each record kept (nothing: it has none)
  std::vector<std::string> shown = {};            // the same as a verdict names them (identity numbers masked)
};

struct CoverContext {
  naming::Submission submission = naming::Submission::Account;
  std::string companyCode;
  std::string today;                // YYYYMMDD by the program's clock
  const RuleTerms* terms = nullptr; // the run's set
};

// What became of one finding.
struct FindingCover {
  int fileid = 0;
  int finding = 0;
  std::string errid;
  bool covered = false;
  int64_t records = 0;                // records behind it, when covered
  std::map<int64_t, int64_t> acceptances;  // those that covered it: id → records of it each covered
  std::string why = {};               // why an acceptance of its rule did not cover it; empty otherwise
};

struct Lapse {
  int64_t acceptance = 0;
  std::string reason;
};

struct Coverage {
  std::vector<FindingCover> findings;  // one per finding, in the order given
  std::vector<Lapse> lapses;           // acceptances in force the run ends
  std::vector<int64_t> unused;         // acceptances in force that covered nothing of the run
};

Coverage Cover(const std::vector<Acceptance>& acceptances, const std::vector<RunFinding>& findings,
               const CoverContext& context);

// "2026-01-05" of "20260105".
std::string DayText(const std::string& digits);

}  // namespace fc::accept
