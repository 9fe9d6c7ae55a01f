#include "query/SharedPass.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <vector>

#include "dbf/Table.h"
#include "query/Capture.h"
#include "query/Compiler.h"
#include "query/Executor.h"
#include "query/Session.h"

namespace fc::query {

namespace {

// Records per piece: enough that a piece's fixed costs vanish, few enough
// that the pieces of a large table keep every thread busy to the end.
constexpr uint32_t kPieceRecords = 1u << 16;

}  // namespace

struct SharedPass::Impl {
  Session& session;
  std::vector<std::string> sql;              // the queries taken in
  std::vector<RecordCapture*> captures;      // per query, null when none is wanted
  std::vector<std::vector<Plan>> idle;       // compiled copies no thread uses now; add() makes the first
  std::mutex idleLock;
  const dbf::Table* table = nullptr;         // of the first query
  std::vector<std::vector<int64_t>> counts;  // per piece, per query
  std::vector<std::vector<Records>> behind;  // per piece, per query with a capture

  explicit Impl(Session& s) : session(s) {}

  // A compiled copy of every query, for one thread's scan.
  std::vector<Plan> takePlans() {
    {
      std::lock_guard lock(idleLock);
      if (!idle.empty()) {
        std::vector<Plan> plans = std::move(idle.back());
        idle.pop_back();
        return plans;
      }
    }
    std::vector<Plan> plans;
    for (const std::string& q : sql) plans.push_back(session.plan(q));
    return plans;
  }

  void givePlans(std::vector<Plan> plans) {
    std::lock_guard lock(idleLock);
    idle.push_back(std::move(plans));
  }
};

SharedPass::SharedPass(Session& session) : impl_(std::make_unique<Impl>(session)) {}
SharedPass::~SharedPass() = default;

bool SharedPass::add(std::string_view sql, RecordCapture* capture) {
  Plan plan = impl_->session.plan(sql);
  if (!Shareable(plan) || (impl_->table && plan.table != impl_->table)) return false;
  impl_->table = plan.table;
  impl_->sql.emplace_back(sql);
  impl_->captures.push_back(capture);
  if (impl_->idle.empty()) impl_->idle.emplace_back();
  impl_->idle.front().push_back(std::move(plan));
  // Sized before any thread scans: each piece's slots are then written by one thread only.
  if (impl_->counts.empty()) {
    impl_->counts.resize(pieces());
    impl_->behind.resize(pieces());
  }
  for (std::vector<int64_t>& piece : impl_->counts) piece.push_back(0);
  for (std::vector<Records>& piece : impl_->behind) piece.emplace_back();
  return true;
}

size_t SharedPass::size() const { return impl_->sql.size(); }

size_t SharedPass::pieces() const {
  if (!impl_->table) return 0;
  return std::max<size_t>(1, (size_t{impl_->table->recordCount()} + kPieceRecords - 1) / kPieceRecords);
}

void SharedPass::scan(size_t piece) {
  Impl& d = *impl_;
  std::vector<Plan> plans = d.takePlans();
  std::vector<Plan*> each;
  std::vector<Records*> lists;
  for (size_t i = 0; i < plans.size(); ++i) {
    each.push_back(&plans[i]);
    lists.push_back(d.captures[i] ? &d.behind[piece][i] : nullptr);
  }
  const uint32_t begin = static_cast<uint32_t>(piece * kPieceRecords);
  CountTogether(each, begin, begin + kPieceRecords, d.counts[piece].data(), lists.data());
  d.givePlans(std::move(plans));
}

int32_t SharedPass::answer(size_t i) {
  Impl& d = *impl_;
  int64_t n = 0;
  for (const std::vector<int64_t>& piece : d.counts) n += piece[i];
  if (RecordCapture* capture = d.captures[i]) {
    Records all;
    for (std::vector<Records>& piece : d.behind) {
      all.insert(all.end(), piece[i].begin(), piece[i].end());
      Records().swap(piece[i]);
    }
    Describe(d.idle.front()[i], all, *capture);  // every copy is back once the pieces are done
  }
  d.session.throwIfChanged();
  return Session::countAnswer(n);
}

}  // namespace fc::query
