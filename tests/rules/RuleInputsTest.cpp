// What a table's rules are checked against: which of its group's tables
// each table kind meets, and why a rule with each run condition stays out.
#include <gtest/gtest.h>

#include <vector>

#include "naming/Kinds.h"
#include "rules/RuleInputs.h"

namespace fc::rules {
namespace {

using naming::Submission;
using store::RuleState;
constexpr CrossTable kPassed = CrossTable::Passed, kGone = CrossTable::Unavailable, kUnchosen = CrossTable::NotChosen;

TEST(RuleInputs, EachTableMeetsTheGroupsBranchAndCustomerTablesButNotItselfAndTheIdentityTableItsComparison) {
  // KHJBXX is missing, YYBXX passed.
  const std::vector<CrossTable> account = {kGone, kPassed, kPassed, kPassed, kPassed};
  struct Want { naming::AccountKind kind; CrossTable branch, customer; };
  for (const Want& w : {Want{naming::AccountKind::Khjbxx, kPassed, kUnchosen}, Want{naming::AccountKind::Zjzqdy, kPassed, kGone},
                        Want{naming::AccountKind::Zhbyz, kPassed, kGone}, Want{naming::AccountKind::Yybxx, kUnchosen, kUnchosen}}) {
    const RuleInputs in = InputsOf(Submission::Account, naming::IndexOf(w.kind), account, false);
    SCOPED_TRACE(naming::IndexOf(w.kind));
    EXPECT_EQ(in.branch, w.branch);
    EXPECT_EQ(in.customer, w.customer);
    EXPECT_EQ(in.comparison, kUnchosen);
    EXPECT_FALSE(in.fullTransfer);
  }
  const std::vector<CrossTable> identity = {kPassed, kGone};
  EXPECT_EQ(InputsOf(Submission::Identity, 0, identity, true).comparison, kGone);
  EXPECT_EQ(InputsOf(Submission::Identity, 0, std::vector<CrossTable>{kPassed}, true).comparison, kUnchosen);
}

TEST(RuleInputs, ARuleStaysOutWhenItsTableIsNotThereAndACustomerRuleInIncrementalTransferWhatever) {
  EXPECT_FALSE(LeftOutBy(RunsWhen::Always, RuleInputs{kGone, kGone, kGone, false}));
  EXPECT_FALSE(LeftOutBy(RunsWhen::BranchTable, RuleInputs{kPassed, kGone}));
  EXPECT_FALSE(LeftOutBy(RunsWhen::CustomerTable, RuleInputs{kGone, kPassed}));
  EXPECT_EQ(LeftOutBy(RunsWhen::BranchTable, RuleInputs{kGone})->state, RuleState::NotChecked);
  EXPECT_EQ(LeftOutBy(RunsWhen::CustomerTable, RuleInputs{kPassed, kUnchosen})->state, RuleState::NotApplicable);
  const std::optional<NotRun> incremental = LeftOutBy(RunsWhen::CustomerTable, RuleInputs{kPassed, kPassed, kPassed, false});
  ASSERT_TRUE(incremental);
  EXPECT_EQ(incremental->state, RuleState::NotApplicable);
  EXPECT_STREQ(incremental->reason, "增量传输不与客户基本信息表核对");
  RuleInputs comparison;
  EXPECT_EQ(LeftOutBy(RunsWhen::ComparisonTable, comparison)->state, RuleState::NotApplicable);
  comparison.comparison = kPassed;
  EXPECT_FALSE(LeftOutBy(RunsWhen::ComparisonTable, comparison));
}

}  // namespace
}  // namespace fc::rules
