#include "rules/LeftOut.h"

#include <optional>

#include "rules/RuleBook.h"

namespace fc::rules {

namespace {

using store::RuleSkip;
using store::RuleState;

constexpr const char* kNoBranchTable = "同组的证券营业部信息表YYBXX不在本次检查中或未通过检查，无法核对";
constexpr const char* kNoCustomerTable = "同组的客户基本信息表KHJBXX不在本次检查中或未通过检查，无法核对";
constexpr const char* kIncremental = "增量传输不与客户基本信息表核对";
constexpr const char* kNoComparisonTable = "投资者身份信息核查异常明细表SFZHCQK不在本次检查中或未通过检查，无法核对";
constexpr const char* kBranchNotChosen = "本次未选择检查证券营业部信息表YYBXX，不核对";
constexpr const char* kCustomerNotChosen = "本次未选择检查客户基本信息表KHJBXX，不核对";
constexpr const char* kComparisonNotChosen = "本次未选择检查投资者身份信息核查异常明细表SFZHCQK，不核对";

// The skip of a rule whose cross-checked table is not there to check against,
// or nothing when it is.
std::optional<RuleSkip> CrossSkip(CrossTable table, int fileId, const char* code, const char* unavailable,
                                  const char* notChosen) {
  if (table == CrossTable::Passed) return std::nullopt;
  if (table == CrossTable::NotChosen) return RuleSkip{fileId, code, RuleState::NotApplicable, notChosen};
  return RuleSkip{fileId, code, RuleState::NotChecked, unavailable};
}

}  // namespace

std::vector<RuleSkip> AccountRulesLeftOut(const RuleBook& book, naming::AccountKind kind, int fileId,
                                          CrossTable branch, CrossTable customer, bool fullTransfer) {
  std::vector<RuleSkip> skipped;
  const AccountTable* table = book.accountRulesOf(kind);
  if (!table) return skipped;
  for (const AccountRule& rule : table->rules) {
    std::optional<RuleSkip> skip;
    if (rule.runs == RunsWhen::BranchTable)
      skip = CrossSkip(branch, fileId, rule.code, kNoBranchTable, kBranchNotChosen);
    else if (rule.runs == RunsWhen::CustomerTable && !fullTransfer)
      skip = RuleSkip{fileId, rule.code, RuleState::NotApplicable, kIncremental};
    else if (rule.runs == RunsWhen::CustomerTable)
      skip = CrossSkip(customer, fileId, rule.code, kNoCustomerTable, kCustomerNotChosen);
    if (skip) skipped.push_back(std::move(*skip));
  }
  return skipped;
}

std::vector<RuleSkip> IdentityRulesLeftOut(const RuleBook& book, naming::IdentityKind kind, int fileId,
                                           CrossTable comparison) {
  std::vector<RuleSkip> skipped;
  if (kind != naming::IdentityKind::Sfzfcjg) return skipped;
  for (const IdentityRule& rule : book.identity().rules)
    if (rule.needsComparison)
      if (auto skip = CrossSkip(comparison, fileId, rule.code, kNoComparisonTable, kComparisonNotChosen))
        skipped.push_back(std::move(*skip));
  return skipped;
}

std::vector<RuleSkip> RulesNotRun(const RuleBook& book, naming::Submission submission, std::size_t kind,
                                  int fileId, bool fullTransfer, const std::string& reason) {
  std::vector<RuleSkip> skipped;
  auto add = [&](const char* code) { skipped.push_back({fileId, code, RuleState::NotChecked, reason}); };
  if (submission == naming::Submission::Identity) {
    if (naming::IdentityKindAt(kind) == naming::IdentityKind::Sfzfcjg)
      for (const IdentityRule& rule : book.identity().rules) add(rule.code);
    return skipped;
  }
  if (const AccountTable* table = book.accountRulesOf(naming::AccountKindAt(kind)))
    for (const AccountRule& rule : table->rules) {
      if (rule.runs == RunsWhen::CustomerTable && !fullTransfer)
        skipped.push_back({fileId, rule.code, RuleState::NotApplicable, kIncremental});
      else
        add(rule.code);
    }
  return skipped;
}

}  // namespace fc::rules
