#include "rules/LeftOut.h"

#include "rules/RuleBook.h"

namespace fc::rules {

namespace {

using store::RuleSkip;
using store::RuleState;

constexpr const char* kNoBranchTable = "同组的证券营业部信息表YYBXX不在本次检查中或未通过检查，无法核对";
constexpr const char* kNoCustomerTable = "同组的客户基本信息表KHJBXX不在本次检查中或未通过检查，无法核对";
constexpr const char* kIncremental = "增量传输不与客户基本信息表核对";
constexpr const char* kNoComparisonTable = "投资者身份信息核查异常明细表SFZHCQK不在本次检查中或未通过检查，无法核对";

}  // namespace

std::vector<RuleSkip> AccountRulesLeftOut(const RuleBook& book, int tableKind, int fileId, bool branchTablePresent,
                                          bool customerTablePresent, bool fullTransfer) {
  std::vector<RuleSkip> skipped;
  const AccountTable* table = book.accountRulesOf(tableKind);
  if (!table) return skipped;
  for (const AccountRule& rule : table->rules) {
    if (rule.runs == RunsWhen::BranchTable && !branchTablePresent)
      skipped.push_back({fileId, rule.code, RuleState::NotChecked, kNoBranchTable});
    if (rule.runs == RunsWhen::CustomerTable && !fullTransfer)
      skipped.push_back({fileId, rule.code, RuleState::NotApplicable, kIncremental});
    else if (rule.runs == RunsWhen::CustomerTable && !customerTablePresent)
      skipped.push_back({fileId, rule.code, RuleState::NotChecked, kNoCustomerTable});
  }
  return skipped;
}

std::vector<RuleSkip> IdentityRulesLeftOut(const RuleBook& book, int fileKind, int fileId, bool comparisonPresent) {
  std::vector<RuleSkip> skipped;
  if (fileKind != 1 || comparisonPresent) return skipped;
  for (const IdentityRule& rule : book.identity().rules)
    if (rule.needsComparison) skipped.push_back({fileId, rule.code, RuleState::NotChecked, kNoComparisonTable});
  return skipped;
}

std::vector<RuleSkip> RulesNotRun(const RuleBook& book, naming::Submission submission, int kind, int fileId,
                                  bool fullTransfer, const std::string& reason) {
  std::vector<RuleSkip> skipped;
  auto add = [&](const char* code) { skipped.push_back({fileId, code, RuleState::NotChecked, reason}); };
  if (submission == naming::Submission::Identity) {
    if (kind == 1)
      for (const IdentityRule& rule : book.identity().rules) add(rule.code);
    return skipped;
  }
  if (const AccountTable* table = book.accountRulesOf(kind))
    for (const AccountRule& rule : table->rules) {
      if (rule.runs == RunsWhen::CustomerTable && !fullTransfer)
        skipped.push_back({fileId, rule.code, RuleState::NotApplicable, kIncremental});
      else
        add(rule.code);
    }
  return skipped;
}

}  // namespace fc::rules
