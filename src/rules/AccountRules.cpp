// The settlement-fund account rules: the rule book's table of each table
// kind, walked by CheckAccountDataLogic.
#include <algorithm>
#include <string>

#include "query/Session.h"
#include "rules/RuleBook.h"
#include "rules/RuleRecords.h"
#include "rules/RuleText.h"
#include "rules/Rules.h"
#include "store/Store.h"

namespace fc::rules {

namespace {

using enum RunsWhen;
using enum Form;

bool Runs(RunsWhen when, bool branchTablePresent, bool customerTablePresent) {
  switch (when) {
    case BranchTable: return branchTablePresent;
    case CustomerTable: return customerTablePresent;
    case Always: break;
  }
  return true;
}

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

void RunRule(RuleContext& ctx, const AccountTable& table, const AccountRule& rule, int total,
             int fileId) {
  std::string sql = SpliceQuery(rule.query, ctx.dataDate, ctx.companyCode);
  RuleCount count(ctx);
  int n = 0;
  if (rule.form == Key) {
    // One row per distinct key among the records of the data date.
    int groups = count.rows(sql);
    if (groups == total) return;
    n = std::max(total - groups, 0);
  } else {
    n = count.records(sql);
    if (n == 0) return;
  }
  WriteFinding(ctx, fileId, rule.code, Message(ctx, table, rule, total, n), count);
}

}  // namespace

void CheckAccountDataLogic(RuleContext& ctx, int tableKind, bool branchTablePresent,
                           bool customerTablePresent, int fileId) {
  const AccountTable* table = ctx.rules.accountRulesOf(tableKind);
  if (!table) return;
  int total = ctx.session.queryDBF(SpliceQuery(table->totalQuery, ctx.dataDate, ctx.companyCode));
  for (const AccountRule& rule : table->rules)
    if (Runs(rule.runs, branchTablePresent, customerTablePresent))
      RunRule(ctx, *table, rule, total, fileId);
}

}  // namespace fc::rules
