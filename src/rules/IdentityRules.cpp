// The identity re-check rules: the rule book's count rules over the
// submission table SFZFCJG, of which those that need it look their notice
// numbers up in the comparison table SFZHCQK. The comparison table has no
// rules of its own.
#include <string>

#include "query/Session.h"
#include "rules/RuleBook.h"
#include "rules/RuleRecords.h"
#include "rules/RuleText.h"
#include "rules/Rules.h"
#include "store/Store.h"

namespace fc::rules {

namespace {

std::string Message(const IdentityTable& table, const IdentityRule& rule, const std::string& code, int total,
                    int n) {
  std::string text = table.label;
  if (rule.companyForm) {
    text += "的记录有" + CountText(total) + "条,其中" + CountText(n) + "条记录证券公司代码不是";
    return text + code + "。";
  }
  return text + "中有" + CountText(n) + rule.tail;
}

}  // namespace

void CheckIdentityDataLogic(RuleContext& ctx, int fileKind, bool comparisonPresent, int fileId) {
  if (fileKind != 1) return;
  // The identity queries splice no date; the code is all they take.
  const IdentityTable& table = ctx.rules.identity();
  int total = ctx.session.queryDBF(table.totalQuery);
  for (const IdentityRule& rule : table.rules) {
    if (rule.needsComparison && !comparisonPresent) continue;
    RuleCount count(ctx);
    int n = count.records(SpliceQuery(rule.query, "", ctx.companyCode));
    if (n != 0) WriteFinding(ctx, fileId, rule.code, Message(table, rule, ctx.companyCode, total, n), count);
  }
}

}  // namespace fc::rules
