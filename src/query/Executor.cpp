#include "query/Executor.h"

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "dbf/Table.h"
#include "query/Scan.h"

namespace fc::query {
namespace {

struct Groups {
  std::vector<uint32_t> first;  // per group: index of its first record
  std::vector<int64_t> count;   // per group: records in it
};

int64_t CountPassing(Plan& plan, Records* behind) {
  int64_t n = 0;
  ScanBatches(*plan.table, 0, Row{}, plan.where.get(), [&](const Row*, const uint32_t* index, int k) {
    n += k;
    if (behind) behind->insert(behind->end(), index, index + k);
    return true;
  });
  return n;
}

// A record whose key an earlier record already had: its group and its index.
struct Repeat {
  uint32_t group;
  uint32_t record;
};

// Hash aggregation: the keys of a batch are hashed and their slots
// prefetched before any is looked up. With `repeats`, every record that
// joins an existing group is noted there, in record order.
Groups HashGroups(Plan& plan, std::vector<Repeat>* repeats) {
  const dbf::Table& t = *plan.table;
  KeyTable table(t.recordCount());
  Groups groups;
  // Room for every record to be a group of its own (key rules expect as
  // much): growing would copy the vectors and touch fresh memory each time.
  groups.first.reserve(t.recordCount());
  groups.count.reserve(t.recordCount());
  std::string key[kBatch], stored;
  uint32_t hash[kBatch];
  Row other;
  ScanBatches(t, 0, Row{}, plan.where.get(), [&](const Row* rows, const uint32_t* index, int n) {
    for (int k = 0; k < n; ++k) {
      plan.groupKey.encode(rows[k], key[k]);
      hash[k] = HashKey(key[k]);
      table.prefetch(hash[k]);
    }
    for (int k = 0; k < n; ++k) {
      auto same = [&](uint32_t id) {
        other.rec[0] = t.record(groups.first[id]);
        plan.groupKey.encode(other, stored);
        return stored == key[k];
      };
      bool isNew;
      uint32_t id = table.insert(hash[k], same, static_cast<uint32_t>(groups.first.size()), isNew);
      if (!isNew) {
        ++groups.count[id];
        if (repeats) repeats->push_back({id, index[k]});
        continue;
      }
      groups.first.push_back(index[k]);
      groups.count.push_back(1);
    }
    return true;
  });
  return groups;
}

// Groups the records and lists those of every group of more than one
// record, ordered by key and then by record. Only the repeats are noted
// while grouping, so the cost follows the repeated records, not the table.
Groups GroupKeepingRepeated(Plan& plan, Records& behind) {
  const dbf::Table& t = *plan.table;
  std::vector<Repeat> repeats;
  Groups groups = HashGroups(plan, &repeats);
  if (repeats.empty()) return groups;
  std::vector<uint32_t> repeated;  // groups of more than one record, each once
  for (const Repeat& r : repeats) repeated.push_back(r.group);
  std::sort(repeated.begin(), repeated.end());
  repeated.erase(std::unique(repeated.begin(), repeated.end()), repeated.end());
  Row a, b;
  std::sort(repeated.begin(), repeated.end(), [&](uint32_t x, uint32_t y) {
    a.rec[0] = t.record(groups.first[x]);
    b.rec[0] = t.record(groups.first[y]);
    const int o = plan.groupKey.order(a, b);
    return o != 0 ? o < 0 : groups.first[x] < groups.first[y];
  });
  std::unordered_map<uint32_t, uint32_t> rank;  // group -> its place in key order
  for (uint32_t k = 0; k < repeated.size(); ++k) rank[repeated[k]] = k;
  std::vector<std::pair<uint32_t, uint32_t>> ranked;  // (rank, record)
  ranked.reserve(repeated.size() + repeats.size());
  for (uint32_t g : repeated) ranked.push_back({rank[g], groups.first[g]});
  for (const Repeat& r : repeats) ranked.push_back({rank[r.group], r.record});
  std::sort(ranked.begin(), ranked.end());
  for (const auto& [place, record] : ranked) behind.push_back(record);
  return groups;
}

Groups Group(Plan& plan, Records* behind) {
  return behind ? GroupKeepingRepeated(plan, *behind) : HashGroups(plan, nullptr);
}

std::vector<std::string> Columns(const Plan& plan) {
  std::vector<std::string> names;
  for (const PlanItem& item : plan.items) names.push_back(item.name);
  return names;
}

std::vector<std::string> Cells(Plan& plan, const Row& row, int64_t count) {
  std::vector<std::string> cells;
  for (PlanItem& item : plan.items)
    cells.push_back(item.countStar ? std::to_string(count) : Display(item.value, row));
  return cells;
}

}  // namespace

int64_t CountRows(Plan& plan, Records* behind) {
  if (plan.grouped) return static_cast<int64_t>(Group(plan, behind).first.size());
  if (plan.aggregate && !behind) return 1;
  const int64_t passing = CountPassing(plan, behind);
  return plan.aggregate ? 1 : passing;
}

bool Shareable(const Plan& plan) {
  return plan.aggregate && !plan.grouped && !plan.items.empty() && plan.items[0].countStar;
}

void CountTogether(std::span<Plan* const> plans, uint32_t begin, uint32_t end, int64_t* counts,
                   Records* const* behind) {
  if (plans.empty()) return;
  Tri truth[kBatch];
  auto visit = [&](const Row* rows, const uint32_t* index, int n) {
    for (size_t p = 0; p < plans.size(); ++p) {
      Pred* where = plans[p]->where.get();
      if (!where) {
        counts[p] += n;
        if (behind[p]) behind[p]->insert(behind[p]->end(), index, index + n);
        continue;
      }
      where->testMany(rows, kAllRows.data(), n, truth);
      for (int k = 0; k < n; ++k) {
        if (truth[k] != Tri::True) continue;
        ++counts[p];
        if (behind[p]) behind[p]->push_back(index[k]);
      }
    }
    return true;
  };
  ScanBatches(*plans[0]->table, 0, Row{}, nullptr, visit, begin, end);
}

ResultSet Fetch(Plan& plan, size_t limit, Records* behind) {
  ResultSet result;
  result.columns = Columns(plan);
  if (limit == 0) return result;
  if (plan.aggregate) {
    result.rows.push_back(Cells(plan, Row{}, CountPassing(plan, behind)));
    return result;
  }
  if (plan.grouped) {
    Groups groups = Group(plan, behind);
    Row row;
    for (size_t g = 0; g < groups.first.size() && result.rows.size() < limit; ++g) {
      row.rec[0] = plan.table->record(groups.first[g]);
      result.rows.push_back(Cells(plan, row, groups.count[g]));
    }
    return result;
  }
  ScanBatches(*plan.table, 0, Row{}, plan.where.get(), [&](const Row* rows, const uint32_t* index, int n) {
    for (int k = 0; k < n && result.rows.size() < limit; ++k) result.rows.push_back(Cells(plan, rows[k], 1));
    if (behind) behind->insert(behind->end(), index, index + n);
    return result.rows.size() < limit || behind;
  });
  return result;
}

}  // namespace fc::query
