// rules/GroupCheck.h - the data rules of one file group, spread over threads.
//
// The driver adds the group's passed tables in kind order, each with its
// inputs (rules/RuleInputs.h), which tell the rules that run. evaluate() answers
// every count query of every table, spread over the threads; nothing is
// written meanwhile. The plain counts of a table share one pass over its
// records (query/SharedPass.h), cut into pieces for the threads; the others
// (a key rule's group by) run on their own, beside the pieces. write(i) then writes
// table i's findings, with the records behind them, in the order its rules
// run, and rethrows the failure of the first of its queries that failed
// (query::QueryError, dbf::TableChanged) after the findings before it: the
// store ends exactly as when the rules run one after another, whatever the
// number of threads.
//
//   GroupCheck group(ctx);
//   group.addTable(Submission::Account, 1, inputs, fileId);   // per table, in kind order
//   group.evaluate(threads, [&](size_t table) { tick(); });   // per table answered
//   for (size_t i = 0; i < group.tableCount(); ++i) group.write(i);
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include "rules/RuleInputs.h"
#include "rules/RuleRecords.h"
#include "rules/Rules.h"

namespace fc::rules {

// The rules of the account table `kind` that run with these inputs; no
// queries for an index past the kinds. (rules/AccountRules.cpp)
TableRules AccountTableRules(const RuleContext& ctx, naming::AccountKind kind, const RuleInputs& inputs, int fileId);
// The rules of the identity table SFZFCJG that run with these inputs; none
// for the comparison table. (rules/IdentityRules.cpp)
TableRules IdentityTableRules(const RuleContext& ctx, naming::IdentityKind kind, const RuleInputs& inputs, int fileId);

class GroupCheck {
 public:
  explicit GroupCheck(RuleContext& ctx);
  ~GroupCheck();

  // Adds the submission's table of kind index `kind` with the rules its inputs let run.
  void addTable(naming::Submission submission, std::size_t kind, const RuleInputs& inputs, int fileId);

  // Answers every query of every table added, on up to `threads` threads.
  // `answered`, when given, is called once per table as its last long query
  // or piece ends (on whichever thread ends it; the shared counts that follow
  // are quick), so that a caller can show the group's progress. Once
  // `abandoned` (when given) says so, the work not yet begun is left undone
  // and the answers are incomplete: the caller must then write nothing.
  void evaluate(int threads, const std::function<void(size_t table)>& answered = {},
                const std::function<bool()>& abandoned = {});

  size_t tableCount() const { return tables_.size(); }
  // Writes the findings of the i-th table added; rethrows its first failure.
  void write(size_t table);
  // The same findings, in the same order, without writing them.
  std::vector<RuleFinding> findings(size_t table) const;
  // The time the i-th table's queries took, summed over the threads.
  double seconds(size_t table) const;

 private:
  struct TablePass;
  void gather(size_t table);
  // Calls found(finding, query) for each finding of the table, in the order its rules run.
  template <typename Found>
  void eachFinding(size_t table, Found&& found) const;

  RuleContext& ctx_;
  std::vector<TableRules> tables_;  // in the order added
  std::vector<std::unique_ptr<TablePass>> passes_;  // per table, made by evaluate()
};

}  // namespace fc::rules
