// rules/LeftOut.h - the data rules that do not run on a table, each with why,
// so that a run can record them beside its findings: a rule whose table or
// cross-checked table is missing or unsound could not run (未检查); a rule the
// transfer mode leaves out by design, or one that cross-checks a table the
// operator did not choose to check, does not apply (不适用).
//
//   auto skipped = fc::rules::AccountRulesLeftOut(book, 2, fileId, branch, customer, fullTransfer);
//   auto all = fc::rules::RulesNotRun(book, Submission::Account, 1, fileId, fullTransfer, "文件不存在");
#pragma once

#include <string>
#include <vector>

#include "naming/Kinds.h"
#include "store/Verdict.h"

namespace fc::rules {

class RuleBook;

// Where a table that a rule cross-checks stands in the run.
enum class CrossTable {
  Passed,       // chosen, present and sound: the rule runs
  Unavailable,  // chosen but missing or unsound: the rule could not run
  NotChosen,    // not among the tables the operator chose to check
};

// The rules of the account table `kind` that the group's branch (YYBXX) and
// customer (KHJBXX) tables and the transfer mode leave out.
std::vector<store::RuleSkip> AccountRulesLeftOut(const RuleBook& book, naming::AccountKind kind, int fileId,
                                                 CrossTable branch, CrossTable customer, bool fullTransfer);
// The rules of the identity table `kind` (SFZFCJG's) left out by the comparison table.
std::vector<store::RuleSkip> IdentityRulesLeftOut(const RuleBook& book, naming::IdentityKind kind, int fileId,
                                                  CrossTable comparison);
// Every rule of the submission's table of kind index `kind`, not run for `reason`:
// the table is missing or unsound, or the group's tables could not be opened.
// The customer rules of incremental transfer stay not applicable.
std::vector<store::RuleSkip> RulesNotRun(const RuleBook& book, naming::Submission submission, std::size_t kind,
                                         int fileId, bool fullTransfer, const std::string& reason);

}  // namespace fc::rules
