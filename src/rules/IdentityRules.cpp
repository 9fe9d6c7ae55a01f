// The identity re-check rules: the rule book's count rules over the
// submission table SFZFCJG, of which those that need it look their notice
// numbers up in the comparison table SFZHCQK. The comparison table has no
// rules of its own.
#include <string>
#include <vector>

#include "rules/GroupCheck.h"
#include "rules/RuleBook.h"
#include "rules/RuleText.h"
#include "text/Text.h"

namespace fc::rules {

namespace {

std::string Message(const IdentityTable& table, const IdentityRule& rule, const std::string& code, int total,
                    int n) {
  std::string text = table.label;
  if (rule.companyForm) {
    text += "的记录有" + text::CountText(total) + "条,其中" + text::CountText(n) + "条记录证券公司代码不是";
    return text + code + "。";
  }
  return text + "中有" + text::CountText(n) + rule.tail;
}

}  // namespace

TableRules IdentityTableRules(const RuleContext& ctx, naming::IdentityKind kind, const RuleInputs& inputs, int fileId) {
  TableRules rules;
  rules.fileId = fileId;
  if (kind != naming::IdentityKind::Sfzfcjg) return rules;
  // The identity queries splice no date; the code is all they take.
  const IdentityTable& table = ctx.rules.identity();
  rules.queries.push_back({table.totalQuery, /*rows=*/false, /*records=*/false});
  std::vector<const IdentityRule*> running;
  for (const IdentityRule& rule : table.rules) {
    if (LeftOutBy(rule.runs, inputs)) continue;
    running.push_back(&rule);
    rules.queries.push_back({SpliceQuery(rule.query, "", ctx.companyCode)});
  }
  const std::string code = ctx.companyCode;
  rules.finding = [&table, running, code](size_t i, int total, int n) -> std::optional<RuleFinding> {
    if (n == 0) return std::nullopt;
    const IdentityRule& rule = *running[i - 1];
    return RuleFinding{rule.code, Message(table, rule, code, total, n), n};
  };
  return rules;
}

}  // namespace fc::rules
