#include "query/Executor.h"

#include <string>
#include <vector>

#include "dbf/Table.h"

namespace fc::query {
namespace {

struct Group {
  uint32_t first;  // index of the group's first record
  int64_t count;   // records in the group
};

// Calls visit(row, index) for each record that is not deleted and passes the
// plan's where, until visit returns false.
template <typename Visit>
void Scan(Plan& plan, Visit&& visit) {
  const dbf::Table& t = *plan.table;
  const uint32_t count = t.recordCount();
  const size_t stride = t.recordLength();
  const uint8_t* rec = t.record(0);
  Pred* where = plan.where.get();
  Row row;
  for (uint32_t i = 0; i < count; ++i, rec += stride) {
    if (rec[0] == '*') continue;
    row.rec[0] = rec;
    if (where && where->test(row) != Tri::True) continue;
    if (!visit(row, i)) return;
  }
}

int64_t CountPassing(Plan& plan) {
  int64_t n = 0;
  Scan(plan, [&](const Row&, uint32_t) { return ++n, true; });
  return n;
}

std::vector<Group> Groups(Plan& plan) {
  const dbf::Table& t = *plan.table;
  KeyTable table(t.recordCount());
  std::vector<Group> groups;
  std::string key, stored;
  Row other;
  auto same = [&](uint32_t id) {
    other.rec[0] = t.record(groups[id].first);
    plan.groupKey.encode(other, stored);
    return stored == key;
  };
  Scan(plan, [&](const Row& row, uint32_t i) {
    plan.groupKey.encode(row, key);
    bool isNew;
    uint32_t id = table.insert(HashKey(key), same, isNew);
    if (isNew)
      groups.push_back({i, 1});
    else
      ++groups[id].count;
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
  if (plan.grouped) return static_cast<int64_t>(Groups(plan).size());
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
    Row row;
    for (const Group& g : Groups(plan)) {
      if (result.rows.size() == limit) break;
      row.rec[0] = plan.table->record(g.first);
      result.rows.push_back(Cells(plan, row, g.count));
    }
    return result;
  }
  Scan(plan, [&](const Row& row, uint32_t) {
    result.rows.push_back(Cells(plan, row, 1));
    return result.rows.size() < limit;
  });
  return result;
}

}  // namespace fc::query
