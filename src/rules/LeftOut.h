// rules/LeftOut.h - the data rules that do not run on a table, each with why,
// so that a run can record them beside its findings: a rule whose table or
// cross-checked table is missing or unsound could not run (未检查); a rule the
// transfer mode leaves out by design does not apply (不适用).
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

// The rules of account tableKind 1 (KHJBXX) ... 5 (ZHBYZ) that the flags
// leave out (the flags as AccountTableRules takes them).
std::vector<store::RuleSkip> AccountRulesLeftOut(const RuleBook& book, int tableKind, int fileId,
                                                 bool branchTablePresent, bool customerTablePresent,
                                                 bool fullTransfer);
// The rules of identity fileKind 1 (SFZFCJG) left out without the comparison table.
std::vector<store::RuleSkip> IdentityRulesLeftOut(const RuleBook& book, int fileKind, int fileId,
                                                  bool comparisonPresent);
// Every rule of the table of `kind` (as above), not run for `reason`:
// the table is missing or unsound, or the group's tables could not be opened.
// The customer rules of incremental transfer stay not applicable.
std::vector<store::RuleSkip> RulesNotRun(const RuleBook& book, naming::Submission submission, int kind, int fileId,
                                         bool fullTransfer, const std::string& reason);

}  // namespace fc::rules
