#include "query/Executor.h"

#include <string>
#include <vector>

#include "dbf/Table.h"
#include "query/Scan.h"

namespace fc::query {
namespace {

struct Groups {
  std::vector<uint32_t> first;  // per group: index of its first record
  std::vector<int64_t> count;   // per group: records in it
};

int64_t CountPassing(Plan& plan) {
  int64_t n = 0;
  ScanBatches(*plan.table, 0, Row{}, plan.where.get(), [&](const Row*, const uint32_t*, int k) {
    n += k;
    return true;
  });
  return n;
}

// Hash aggregation: the keys of a batch are hashed and their slots
// prefetched before any is looked up.
Groups Group(Plan& plan) {
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
        continue;
      }
      groups.first.push_back(index[k]);
      groups.count.push_back(1);
    }
    return true;
  });
  return groups;
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

int64_t CountRows(Plan& plan) {
  if (plan.aggregate) return 1;
  if (plan.grouped) return static_cast<int64_t>(Group(plan).first.size());
  return CountPassing(plan);
}

ResultSet Fetch(Plan& plan, size_t limit) {
  ResultSet result;
  result.columns = Columns(plan);
  if (limit == 0) return result;
  if (plan.aggregate) {
    result.rows.push_back(Cells(plan, Row{}, CountPassing(plan)));
    return result;
  }
  if (plan.grouped) {
    Groups groups = Group(plan);
    Row row;
    for (size_t g = 0; g < groups.first.size() && result.rows.size() < limit; ++g) {
      row.rec[0] = plan.table->record(groups.first[g]);
      result.rows.push_back(Cells(plan, row, groups.count[g]));
    }
    return result;
  }
  ScanBatches(*plan.table, 0, Row{}, plan.where.get(), [&](const Row* rows, const uint32_t*, int n) {
    for (int k = 0; k < n && result.rows.size() < limit; ++k) result.rows.push_back(Cells(plan, rows[k], 1));
    return result.rows.size() < limit;
  });
  return result;
}

}  // namespace fc::query
