// rules/LeftOut.h - the data rules that do not run on a table, each with why,
// so that a run can record them beside its findings: a rule whose table or
// cross-checked table is missing or unsound could not run (未检查); a rule the
// transfer mode leaves out by design, or one that cross-checks a table the
// operator did not choose to check, does not apply (不适用). Which rules those
// are follows from the table's inputs (rules/RuleInputs.h), as the rules
// that run do.
//
//   auto skipped = fc::rules::RulesLeftOut(book, Submission::Account, 2, fileId, inputs);
//   auto all = fc::rules::RulesNotRun(book, Submission::Account, 1, fileId, fullTransfer, "文件不存在");
#pragma once

#include <string>
#include <vector>

#include "naming/Kinds.h"
#include "rules/RuleInputs.h"
#include "store/Verdict.h"

namespace fc::rules {

class RuleBook;

// The rules of the submission's table of kind index `kind` that its inputs leave out.
std::vector<store::RuleSkip> RulesLeftOut(const RuleBook& book, naming::Submission submission, std::size_t kind,
                                          int fileId, const RuleInputs& inputs);
// Every rule of the submission's table of kind index `kind`, not run for `reason`:
// the table is missing or unsound, or the group's tables could not be opened.
// The customer rules of incremental transfer stay not applicable.
std::vector<store::RuleSkip> RulesNotRun(const RuleBook& book, naming::Submission submission, std::size_t kind,
                                         int fileId, bool fullTransfer, const std::string& reason);

}  // namespace fc::rules
