#include "rules/GroupCheck.h"

#include <chrono>
#include <utility>

#include "parallel/Parallel.h"

namespace fc::rules {

void GroupCheck::addAccountTable(int tableKind, bool branchTablePresent, bool customerTablePresent, int fileId) {
  tables_.push_back(AccountTableRules(ctx_, tableKind, branchTablePresent, customerTablePresent, fileId));
}

void GroupCheck::addIdentityTable(int fileKind, bool comparisonPresent, int fileId) {
  tables_.push_back(IdentityTableRules(ctx_, fileKind, comparisonPresent, fileId));
}

void GroupCheck::evaluate(int threads) {
  std::vector<RuleQuery*> queries;
  for (TableRules& table : tables_)
    for (RuleQuery& q : table.queries) queries.push_back(&q);
  // Every query is answered or keeps its failure, so that write() meets the
  // failures in the order the rules run, whichever thread met them first.
  parallel::ForEach(queries.size(), threads, [&](size_t i) {
    RuleQuery& q = *queries[i];
    const auto start = std::chrono::steady_clock::now();
    try {
      Answer(ctx_, q);
    } catch (...) {
      q.error = std::current_exception();
    }
    q.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  });
}

void GroupCheck::write(size_t table) {
  TableRules& rules = tables_.at(table);
  if (rules.queries.empty()) return;
  const RuleQuery& total = rules.queries[0];
  if (total.error) std::rethrow_exception(total.error);
  for (size_t i = 1; i < rules.queries.size(); ++i) {
    const RuleQuery& q = rules.queries[i];
    if (q.error) std::rethrow_exception(q.error);
    if (std::optional<RuleFinding> finding = rules.finding(i, total.n, q.n))
      WriteFinding(ctx_, rules.fileId, *finding, q);
  }
}

double GroupCheck::seconds(size_t table) const {
  double sum = 0;
  for (const RuleQuery& q : tables_.at(table).queries) sum += q.seconds;
  return sum;
}

// One table on its own, on this thread.
void CheckAccountDataLogic(RuleContext& ctx, int tableKind, bool branchTablePresent, bool customerTablePresent,
                           int fileId) {
  GroupCheck group(ctx);
  group.addAccountTable(tableKind, branchTablePresent, customerTablePresent, fileId);
  group.evaluate(1);
  group.write(0);
}

void CheckIdentityDataLogic(RuleContext& ctx, int fileKind, bool comparisonPresent, int fileId) {
  GroupCheck group(ctx);
  group.addIdentityTable(fileKind, comparisonPresent, fileId);
  group.evaluate(1);
  group.write(0);
}

}  // namespace fc::rules
