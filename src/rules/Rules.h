// rules/Rules.h - the numbered data rules of both submissions.
//
// Each operation runs the count queries of one table on an open query session,
// on the calling thread, and writes every finding as a fileerr row, with the
// records behind it (rules/RuleRecords.h) when the context keeps them. A query
// failure passes to the caller as query::QueryError; findings written before
// it stay. A run checks a whole group at once with rules/GroupCheck.h.
#pragma once

#include <cstddef>
#include <string>

#include "naming/Kinds.h"

namespace fc::query { class Session; }
namespace fc::store { class Store; }

namespace fc::rules {

class RuleBook;

struct RuleContext {
  query::Session& session;  // open on the group's lchkdir
  store::Store* store;      // where findings go; null when they are only counted (a rule set's cases)
  const RuleBook& rules;    // the rules to run, those of the run's rule set
  std::string companyCode;  // trimmed ZQGSDM of the run
  std::string dataDate;     // YYYYMMDD of the run
  bool keepRecords = true;  // keep the records behind every finding
  std::size_t recordsLimit = 1000;  // records kept per finding; 0 keeps every one
};

// Settlement-fund account data of the table `kind`.
// The flags tell whether the group's YYBXX (branchTablePresent) and, in full
// transfer, KHJBXX (customerTablePresent) passed and can be cross-checked.
void CheckAccountDataLogic(RuleContext& ctx, naming::AccountKind kind, bool branchTablePresent,
                           bool customerTablePresent, int fileId);

// Identity re-check data of the table `kind` (SFZHCQK has no rules of its own).
void CheckIdentityDataLogic(RuleContext& ctx, naming::IdentityKind kind, bool comparisonPresent, int fileId);

}  // namespace fc::rules
