#include "rules/LeftOut.h"

#include "rules/RuleBook.h"

namespace fc::rules {

namespace {

// Calls each(code, runs) for every rule of the submission's table of kind
// index `kind`, in the order they run.
template <typename Each>
void EachRule(const RuleBook& book, naming::Submission submission, std::size_t kind, Each&& each) {
  if (submission == naming::Submission::Identity) {
    if (naming::IdentityKindAt(kind) == naming::IdentityKind::Sfzfcjg)
      for (const IdentityRule& rule : book.identity().rules) each(rule.code, rule.runs);
    return;
  }
  if (const AccountTable* table = book.accountRulesOf(naming::AccountKindAt(kind)))
    for (const AccountRule& rule : table->rules) each(rule.code, rule.runs);
}

}  // namespace

std::vector<store::RuleSkip> RulesLeftOut(const RuleBook& book, naming::Submission submission, std::size_t kind,
                                          int fileId, const RuleInputs& inputs) {
  std::vector<store::RuleSkip> skipped;
  EachRule(book, submission, kind, [&](const char* code, RunsWhen runs) {
    if (const std::optional<NotRun> notRun = LeftOutBy(runs, inputs))
      skipped.push_back({fileId, code, notRun->state, notRun->reason});
  });
  return skipped;
}

std::vector<store::RuleSkip> RulesNotRun(const RuleBook& book, naming::Submission submission, std::size_t kind,
                                         int fileId, bool fullTransfer, const std::string& reason) {
  // With every table there to check against, only the transfer mode leaves a rule out.
  const RuleInputs everyTable{CrossTable::Passed, CrossTable::Passed, CrossTable::Passed, fullTransfer};
  std::vector<store::RuleSkip> skipped;
  EachRule(book, submission, kind, [&](const char* code, RunsWhen runs) {
    if (const std::optional<NotRun> byDesign = LeftOutBy(runs, everyTable))
      skipped.push_back({fileId, code, byDesign->state, byDesign->reason});
    else
      skipped.push_back({fileId, code, store::RuleState::NotChecked, reason});
  });
  return skipped;
}

}  // namespace fc::rules
