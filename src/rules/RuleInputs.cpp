#include "rules/RuleInputs.h"

#include "naming/Kinds.h"

namespace fc::rules {

namespace {

using store::RuleState;

constexpr const char* kNoBranchTable = "同组的证券营业部信息表YYBXX不在本次检查中或未通过检查，无法核对";
constexpr const char* kNoCustomerTable = "同组的客户基本信息表KHJBXX不在本次检查中或未通过检查，无法核对";
constexpr const char* kIncremental = "增量传输不与客户基本信息表核对";
constexpr const char* kNoComparisonTable = "投资者身份信息核查异常明细表SFZHCQK不在本次检查中或未通过检查，无法核对";
constexpr const char* kBranchNotChosen = "本次未选择检查证券营业部信息表YYBXX，不核对";
constexpr const char* kCustomerNotChosen = "本次未选择检查客户基本信息表KHJBXX，不核对";
constexpr const char* kComparisonNotChosen = "本次未选择检查投资者身份信息核查异常明细表SFZHCQK，不核对";

constexpr RunCondition kAlways{RunsWhen::Always, "always", "每次"};
constexpr RunCondition kAccountConditions[] = {
    kAlways,
    {RunsWhen::BranchTable, "branch", "同组证券营业部信息表通过检查时"},
    {RunsWhen::CustomerTable, "customer", "全量传输且同组客户基本信息表通过检查时"},
};
constexpr RunCondition kIdentityConditions[] = {
    kAlways,
    {RunsWhen::ComparisonTable, "comparison", "有投资者身份信息核查异常明细表SFZHCQK时"},
};

// Why a rule whose cross-checked table is not there to check against does
// not run; nothing when it is there.
std::optional<NotRun> Without(CrossTable table, const char* unavailable, const char* notChosen) {
  if (table == CrossTable::Passed) return std::nullopt;
  if (table == CrossTable::NotChosen) return NotRun{RuleState::NotApplicable, notChosen};
  return NotRun{RuleState::NotChecked, unavailable};
}

}  // namespace

RuleInputs InputsOf(naming::Submission submission, std::size_t kind, std::span<const CrossTable> group,
                    bool fullTransfer) {
  auto at = [&](std::size_t k) { return k < group.size() ? group[k] : CrossTable::NotChosen; };
  RuleInputs inputs;
  inputs.fullTransfer = fullTransfer;
  if (submission == naming::Submission::Identity) {
    inputs.comparison = at(naming::IndexOf(naming::IdentityKind::Sfzhcqk));
    return inputs;
  }
  // The branch table is not checked against itself, nor is the customer
  // table; the branch table is not checked against the customers either.
  const std::size_t customers = naming::IndexOf(naming::AccountKind::Khjbxx);
  const std::size_t branches = naming::IndexOf(naming::AccountKind::Yybxx);
  if (kind != branches) inputs.branch = at(branches);
  if (kind != customers && kind != branches) inputs.customer = at(customers);
  return inputs;
}

std::span<const RunCondition> ConditionsOf(naming::Submission submission) {
  if (submission == naming::Submission::Identity) return kIdentityConditions;
  return kAccountConditions;
}

const RunCondition& ConditionOf(RunsWhen when) {
  for (naming::Submission submission : {naming::Submission::Account, naming::Submission::Identity})
    for (const RunCondition& c : ConditionsOf(submission))
      if (c.when == when) return c;
  return kAlways;
}

std::optional<NotRun> LeftOutBy(RunsWhen when, const RuleInputs& inputs) {
  switch (when) {
    case RunsWhen::BranchTable: return Without(inputs.branch, kNoBranchTable, kBranchNotChosen);
    case RunsWhen::CustomerTable:
      if (!inputs.fullTransfer) return NotRun{RuleState::NotApplicable, kIncremental};
      return Without(inputs.customer, kNoCustomerTable, kCustomerNotChosen);
    case RunsWhen::ComparisonTable: return Without(inputs.comparison, kNoComparisonTable, kComparisonNotChosen);
    case RunsWhen::Always: break;
  }
  return std::nullopt;
}

}  // namespace fc::rules
