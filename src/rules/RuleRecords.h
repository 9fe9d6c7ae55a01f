// rules/RuleRecords.h - the count queries of the data rules, the findings
// they make and the records behind them.
//
// A table's rules are a TableRules: its queries, the total first, and how an
// answer becomes a finding (rules/GroupCheck.h runs them). Answer() asks the
// session for a query's answer and, when the run keeps records, for the
// records behind it in the same pass; WriteFinding() stores a finding's
// fileerr row and, with it, those records, so the records are always those
// the count counted.
//
//   RuleQuery q{sql, /*rows=*/false};
//   Answer(ctx, q);                                      // QueryError, TableChanged
//   if (q.n != 0) WriteFinding(ctx, fileId, {"R02", message}, q);
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "query/Capture.h"
#include "rules/Rules.h"

namespace fc::rules {

// One count query of a table's rules and, once evaluated, its answer.
struct RuleQuery {
  std::string sql;     // spliced, ready to run
  bool rows = false;   // Session::rows (one row per key) rather than Session::count
  bool records = true; // its records are kept when the run keeps records (not a total's)
  int32_t n = 0;       // the answer
  std::optional<query::RecordCapture> capture{};  // the records behind it, when the run keeps them
  std::exception_ptr error{};  // why it has no answer
  double seconds = 0;        // time it took on its thread
};

// A finding of one rule: its errid, its message and the count it reports.
struct RuleFinding {
  std::string code;
  std::string message;
  int count = 0;  // the records it counts (for a key rule, those beyond one per key)
};

// The queries of one table's rules, the total first, and how an answer
// becomes a finding.
struct TableRules {
  int fileId = 0;
  std::vector<RuleQuery> queries;  // [0] counts the total
  // The finding of queries[i] (i >= 1) given the total and its answer, if any.
  std::function<std::optional<RuleFinding>(size_t i, int total, int n)> finding;
};

// The capture that `q`'s records go into, made ready, when the run keeps
// records and `q` has any to keep; else null.
query::RecordCapture* CaptureOf(const RuleContext& ctx, RuleQuery& q);

// Answers `q` on its own on the context's session (thread-safe between queries).
void Answer(const RuleContext& ctx, RuleQuery& q);

// Writes the fileerr row of `finding` and the records `q` captured into the context's store.
void WriteFinding(RuleContext& ctx, int fileId, const RuleFinding& finding, const RuleQuery& q);

}  // namespace fc::rules
