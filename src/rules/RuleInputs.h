// rules/RuleInputs.h - what the rules of one table of a group are checked
// against, decided here once for a check (pipeline/RunDriver.cpp) and for a
// rule set's cases (ruleset/RuleCases.cpp), so that a case runs a rule
// exactly when a check would: where each table a rule may cross-check
// stands, and the transfer mode. From them follow, for every run condition a
// rule file may give, both the rules that run (GroupCheck::addTable) and
// those that do not, with why (rules/LeftOut.h).
//
//   std::vector<CrossTable> group = ...;  // where each kind's table stands, by kind index
//   const RuleInputs inputs = InputsOf(Submission::Account, k, group, fullTransfer);
//   check.addTable(Submission::Account, k, inputs, fileId);
//   auto skipped = RulesLeftOut(book, Submission::Account, k, fileId, inputs);
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string_view>

#include "naming/Submission.h"
#include "rules/RuleTables.h"
#include "store/Verdict.h"

namespace fc::rules {

// Where a table that a rule cross-checks stands in the run.
enum class CrossTable {
  Passed,       // chosen, present and sound: the rule runs
  Unavailable,  // chosen but missing or unsound: the rule could not run
  NotChosen,    // not among the tables the operator chose to check
};

// The tables one table's rules may cross-check, and the transfer mode.
struct RuleInputs {
  CrossTable branch = CrossTable::NotChosen;      // account: the group's YYBXX, for the other tables
  CrossTable customer = CrossTable::NotChosen;    // account: the group's KHJBXX, for tables but it and YYBXX
  CrossTable comparison = CrossTable::NotChosen;  // identity: the group's SFZHCQK
  bool fullTransfer = true;                       // account: the customer rules run in full transfer only
};

// The inputs of the rules of the submission's table of kind index `kind`,
// `group` telling where the group's table of each kind index stands.
RuleInputs InputsOf(naming::Submission submission, std::size_t kind, std::span<const CrossTable> group,
                    bool fullTransfer);

// A run condition as a rule file writes it and as a set's reference tells it.
struct RunCondition {
  RunsWhen when;
  std::string_view word;       // in a rule file's "rule" item
  std::string_view reference;  // when the rule runs, in the set's reference
};

// The conditions a submission's rules may have, in the order a fault names them.
std::span<const RunCondition> ConditionsOf(naming::Submission submission);
const RunCondition& ConditionOf(RunsWhen when);

// Why a rule does not run: what it is recorded as, and the reason shown.
struct NotRun {
  store::RuleState state;
  const char* reason;
};

// Why a rule with the condition `when` does not run with `inputs`; nothing when it runs.
std::optional<NotRun> LeftOutBy(RunsWhen when, const RuleInputs& inputs);

}  // namespace fc::rules
