// The settlement-fund account rules: the rule book's table of each table
// kind, as the queries and findings of AccountTableRules.
#include <algorithm>
#include <string>
#include <vector>

#include "rules/GroupCheck.h"
#include "rules/RuleBook.h"
#include "rules/RuleText.h"

namespace fc::rules {

namespace {

using enum Form;

std::string Message(const RuleContext& ctx, const AccountTable& table, const AccountRule& rule,
                    int total, int n) {
  const char* label = rule.label ? rule.label : table.label;
  switch (rule.form) {
    case Date: return DateMessage(label, ctx.dataDate, total, n);
    case Company: return CompanyMessage(label, ctx.dataDate, total, n, ctx.companyCode);
    case Count:
    case Key: break;
  }
  return CountMessage(label, ctx.dataDate, total, n, rule.tail);
}

}  // namespace

TableRules AccountTableRules(const RuleContext& ctx, naming::AccountKind kind, const RuleInputs& inputs, int fileId) {
  TableRules rules;
  rules.fileId = fileId;
  const AccountTable* table = ctx.rules.accountRulesOf(kind);
  if (!table) return rules;
  rules.queries.push_back({SpliceQuery(table->totalQuery, ctx.dataDate, ctx.companyCode), /*rows=*/false, /*records=*/false});
  std::vector<const AccountRule*> running;
  for (const AccountRule& rule : table->rules) {
    if (LeftOutBy(rule.runs, inputs)) continue;
    running.push_back(&rule);
    // A key rule counts one row per distinct key among the records of the data date.
    rules.queries.push_back({SpliceQuery(rule.query, ctx.dataDate, ctx.companyCode), rule.form == Key});
  }
  rules.finding = [&ctx, table, running](size_t i, int total, int n) -> std::optional<RuleFinding> {
    const AccountRule& rule = *running[i - 1];
    if (rule.form == Key) {
      if (n == total) return std::nullopt;
      n = std::max(total - n, 0);
    } else if (n == 0) {
      return std::nullopt;
    }
    return RuleFinding{rule.code, Message(ctx, *table, rule, total, n), n};
  };
  return rules;
}

}  // namespace fc::rules
