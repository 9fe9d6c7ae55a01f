#include "rules/GroupCheck.h"

#include <atomic>
#include <chrono>
#include <utility>

#include "parallel/Parallel.h"
#include "query/SharedPass.h"

namespace fc::rules {

namespace {

// Runs `work`, adding the time it took to `seconds`; what it throws goes to
// `failed`, so that a failure waits for its turn in write().
template <typename Work, typename Failed>
void Timed(double& seconds, Work&& work, Failed&& failed) {
  const auto start = std::chrono::steady_clock::now();
  try {
    work();
  } catch (...) {
    failed(std::current_exception());
  }
  seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Answers `q` on its own, keeping its failure and its time.
void AnswerAlone(const RuleContext& ctx, RuleQuery& q) {
  Timed(q.seconds, [&] { Answer(ctx, q); }, [&](std::exception_ptr e) { q.error = e; });
}

}  // namespace

// The queries of one table: those its shared pass answers and the rest.
struct GroupCheck::TablePass {
  explicit TablePass(query::Session& session) : pass(session) {}
  query::SharedPass pass;
  std::vector<size_t> shared;  // queries the pass answers, in the order taken in
  std::vector<size_t> alone;   // queries answered on their own
  std::atomic<bool> failed{false};  // a piece failed: the shared queries are asked alone
  std::vector<double> seconds;      // per piece
};

GroupCheck::GroupCheck(RuleContext& ctx) : ctx_(ctx) {}
GroupCheck::~GroupCheck() = default;

void GroupCheck::addTable(naming::Submission submission, std::size_t kind, const RuleInputs& inputs, int fileId) {
  tables_.push_back(submission == naming::Submission::Identity
                        ? IdentityTableRules(ctx_, naming::IdentityKindAt(kind), inputs, fileId)
                        : AccountTableRules(ctx_, naming::AccountKindAt(kind), inputs, fileId));
}

// Takes the table's plain counts into its pass; compiling them builds the
// hash indexes they look records up in.
void GroupCheck::gather(size_t table) {
  TablePass& p = *passes_[table];
  std::vector<RuleQuery>& queries = tables_[table].queries;
  for (size_t i = 0; i < queries.size(); ++i) {
    RuleQuery& q = queries[i];
    if (q.rows) continue;
    Timed(
        q.seconds, [&] { (p.pass.add(q.sql, CaptureOf(ctx_, q)) ? p.shared : p.alone).push_back(i); },
        [&](std::exception_ptr e) { q.error = e; });
  }
  p.seconds.assign(p.pass.pieces(), 0);
}

void GroupCheck::evaluate(int threads, const std::function<void(size_t table)>& answered,
                          const std::function<bool()>& abandoned) {
  passes_.clear();
  for (size_t t = 0; t < tables_.size(); ++t) passes_.push_back(std::make_unique<TablePass>(ctx_.session));
  // A piece of work: a table's gathering, one of its queries, or a piece of its pass.
  struct Job {
    size_t table;
    size_t item;  // a query of the table, or a piece of its pass
    enum { Gather, Alone, Piece } what;
  };
  auto work = [&](const Job& job) {
    if (abandoned && abandoned()) return;
    TablePass& p = *passes_[job.table];
    if (job.what == Job::Gather) return gather(job.table);
    if (job.what == Job::Alone) return AnswerAlone(ctx_, tables_[job.table].queries[job.item]);
    if (!p.failed)
      Timed(p.seconds[job.item], [&] { p.pass.scan(job.item); }, [&](std::exception_ptr) { p.failed = true; });
  };
  auto run = [&](const std::vector<Job>& jobs) {
    parallel::ForEach(jobs.size(), threads, [&](size_t j) { work(jobs[j]); });
  };

  // First the passes are gathered, beside the key rules, which need no pass
  // and are the longest queries: while one thread builds an index the passes
  // share, the others group keys.
  std::vector<Job> jobs;
  for (size_t t = 0; t < tables_.size(); ++t) jobs.push_back({t, 0, Job::Gather});
  for (size_t t = 0; t < tables_.size(); ++t)
    for (size_t i = 0; i < tables_[t].queries.size(); ++i)
      if (tables_[t].queries[i].rows) jobs.push_back({t, i, Job::Alone});
  run(jobs);

  // Then the pieces of every pass, and the queries no pass took; a table is
  // answered when the last of its own ends.
  jobs.clear();
  for (size_t t = 0; t < tables_.size(); ++t)
    for (size_t i : passes_[t]->alone) jobs.push_back({t, i, Job::Alone});
  for (size_t t = 0; t < tables_.size(); ++t)
    for (size_t piece = 0; piece < passes_[t]->seconds.size(); ++piece) jobs.push_back({t, piece, Job::Piece});
  std::vector<std::atomic<size_t>> left(tables_.size());
  for (const Job& job : jobs) ++left[job.table];
  for (size_t t = 0; t < tables_.size(); ++t)
    if (answered && left[t] == 0) answered(t);
  parallel::ForEach(jobs.size(), threads, [&](size_t j) {
    work(jobs[j]);
    if (--left[jobs[j].table] == 0 && answered) answered(jobs[j].table);
  });

  // Every query is answered or keeps its failure, so that write() meets the
  // failures in the order the rules run, whichever thread met them first.
  std::vector<std::pair<size_t, size_t>> shared;  // (table, place in its pass)
  for (size_t t = 0; t < tables_.size(); ++t)
    for (size_t k = 0; k < passes_[t]->shared.size(); ++k) shared.push_back({t, k});
  parallel::ForEach(shared.size(), threads, [&](size_t s) {
    // Two variables, not a structured binding: clang 14 cannot capture one.
    const size_t t = shared[s].first, k = shared[s].second;
    TablePass& p = *passes_[t];
    RuleQuery& q = tables_[t].queries[p.shared[k]];
    if (p.failed) {
      q.capture.reset();
      return AnswerAlone(ctx_, q);
    }
    Timed(q.seconds, [&] { q.n = p.pass.answer(k); }, [&](std::exception_ptr e) { q.error = e; });
  });
}

template <typename Found>
void GroupCheck::eachFinding(size_t table, Found&& found) const {
  const TableRules& rules = tables_.at(table);
  if (rules.queries.empty()) return;
  const RuleQuery& total = rules.queries[0];
  if (total.error) std::rethrow_exception(total.error);
  for (size_t i = 1; i < rules.queries.size(); ++i) {
    const RuleQuery& q = rules.queries[i];
    if (q.error) std::rethrow_exception(q.error);
    if (std::optional<RuleFinding> finding = rules.finding(i, total.n, q.n)) found(*finding, q);
  }
}

void GroupCheck::write(size_t table) {
  const int fileId = tables_.at(table).fileId;
  eachFinding(table, [&](const RuleFinding& finding, const RuleQuery& q) { WriteFinding(ctx_, fileId, finding, q); });
}

std::vector<RuleFinding> GroupCheck::findings(size_t table) const {
  std::vector<RuleFinding> found;
  eachFinding(table, [&](const RuleFinding& finding, const RuleQuery&) { found.push_back(finding); });
  return found;
}

double GroupCheck::seconds(size_t table) const {
  double sum = 0;
  for (const RuleQuery& q : tables_.at(table).queries) sum += q.seconds;
  if (table < passes_.size())
    for (double s : passes_[table]->seconds) sum += s;
  return sum;
}

namespace {

// One table on its own, on this thread.
void CheckOneTable(RuleContext& ctx, naming::Submission submission, std::size_t kind, const RuleInputs& inputs,
                   int fileId) {
  GroupCheck group(ctx);
  group.addTable(submission, kind, inputs, fileId);
  group.evaluate(1);
  group.write(0);
}

CrossTable PassedIf(bool present) { return present ? CrossTable::Passed : CrossTable::Unavailable; }

}  // namespace

void CheckAccountDataLogic(RuleContext& ctx, naming::AccountKind kind, bool branchTablePresent,
                           bool customerTablePresent, int fileId) {
  const RuleInputs inputs{PassedIf(branchTablePresent), PassedIf(customerTablePresent)};
  CheckOneTable(ctx, naming::Submission::Account, naming::IndexOf(kind), inputs, fileId);
}

void CheckIdentityDataLogic(RuleContext& ctx, naming::IdentityKind kind, bool comparisonPresent, int fileId) {
  RuleInputs inputs;
  inputs.comparison = PassedIf(comparisonPresent);
  CheckOneTable(ctx, naming::Submission::Identity, naming::IndexOf(kind), inputs, fileId);
}

}  // namespace fc::rules
