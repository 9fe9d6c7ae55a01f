#include "query/Executor.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "dbf/Table.h"
#include "platform/AnonymousMemory.h"
#include "query/Scan.h"

namespace fc::query {
namespace {

struct Groups {
  std::vector<uint32_t> first;                 // per group: index of its first record
  std::vector<int64_t> count;                  // per group: records in it
  std::vector<std::vector<int64_t>> distinct;  // per count(distinct x) of the plan, per group
};

// count(distinct x) per group: each (group, value) pair is counted the
// first time it is seen; NULL values are not counted.
class DistinctTally {
 public:
  explicit DistinctTally(Plan& plan, Groups& groups)
      : plan_(plan), groups_(groups), seen_(plan.distinctKeys.size()) {
    groups_.distinct.resize(plan.distinctKeys.size());
  }
  void newGroup() {
    for (auto& d : groups_.distinct) d.push_back(0);
  }
  void add(const Row& row, uint32_t group) {
    for (size_t d = 0; d < seen_.size(); ++d) {
      if (!plan_.distinctKeys[d].encode(row, key_)) continue;
      key_.append(reinterpret_cast<const char*>(&group), sizeof group);
      if (seen_[d].insert(key_).second) ++groups_.distinct[d][group];
    }
  }

 private:
  Plan& plan_;
  Groups& groups_;
  std::vector<std::unordered_set<std::string>> seen_;  // per count(distinct x): value key + group
  std::string key_;
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

// A record whose key an earlier record already had, and that earlier
// record: the first of its key.
struct Repeat {
  uint32_t first;
  uint32_t record;
};

// Hash aggregation in the order keys first appear, for results that list the
// groups: the keys of a batch are hashed and their slots prefetched before any
// is looked up. With `repeats`, every record that joins an existing group is
// noted there.
Groups HashGroups(Plan& plan, std::vector<Repeat>* repeats) {
  const dbf::Table& t = *plan.table;
  KeyTable table(t.recordCount());
  Groups groups;
  // Room for every record to be a group of its own (key rules expect as
  // much): growing would copy the vectors and touch fresh memory each time.
  groups.first.reserve(t.recordCount());
  groups.count.reserve(t.recordCount());
  std::string key[kBatch], stored;
  std::string_view keyView[kBatch];
  uint32_t hash[kBatch];
  Row other;
  DistinctTally tally(plan, groups);
  ScanBatches(t, 0, Row{}, plan.where.get(), [&](const Row* rows, const uint32_t* index, int n) {
    for (int k = 0; k < n; ++k) {
      keyView[k] = plan.groupKey.tableKey(rows[k], key[k]);
      hash[k] = HashKey(keyView[k]);
      table.prefetch(hash[k]);
    }
    for (int k = 0; k < n; ++k) {
      auto same = [&](uint32_t id) {
        other.rec[0] = t.record(groups.first[id]);
        return plan.groupKey.tableKey(other, stored) == keyView[k];
      };
      bool isNew;
      uint32_t id = table.insert(hash[k], same, static_cast<uint32_t>(groups.first.size()), isNew);
      if (!isNew) {
        ++groups.count[id];
        if (repeats) repeats->push_back({groups.first[id], index[k]});
      } else {
        groups.first.push_back(index[k]);
        groups.count.push_back(1);
        tally.newGroup();
      }
      tally.add(rows[k], id);
    }
    return true;
  });
  return groups;
}

// A record that passed the where, by the hash of its group key.
struct Keyed {
  uint32_t hash;
  uint32_t record;
};

// How many top bits of the hash pick a record's partition: enough that a
// partition's table stays in the cache, few enough that spreading the
// records over the partitions writes to a handful of places at a time.
int PartitionBits(size_t keys) {
  int bits = 0;
  while (bits < 8 && (keys >> bits) > 8192) ++bits;
  return bits;
}

// The number of distinct keys of a grouped plan, for results that only count
// them. The keys are hashed in one pass, the records spread over partitions
// by hash (each partition in record order), and each partition grouped in a
// small table of its own: one random probe into a large table per record
// would wait on memory every time, and its memory would grow with the table.
// The partition comes from the top bits of the 64-bit hash and the slots
// compare its low 32, so that keys of one partition differ in all 32: a
// slot hash that matches sends the table back to the records to compare.
// With `repeats`, every record whose key an earlier record had is noted.
int64_t CountGroups(Plan& plan, std::vector<Repeat>* repeats) {
  const dbf::Table& t = *plan.table;
  std::vector<Keyed> keyed;
  std::vector<uint8_t> partOf;  // per entry of `keyed`
  // Room for every record, faulted in as far as records pass.
  keyed.reserve(t.recordCount());
  partOf.reserve(t.recordCount());
  platform::AdviseHugePages(keyed.data(), keyed.capacity() * sizeof(Keyed));
  platform::AdviseHugePages(partOf.data(), partOf.capacity());
  PrefaultAhead keyedAhead, partAhead;
  const int bits = PartitionBits(t.recordCount());
  std::string key;
  ScanBatches(t, 0, Row{}, plan.where.get(), [&](const Row* rows, const uint32_t* index, int n) {
    keyedAhead.keep(keyed);
    partAhead.keep(partOf);
    for (int k = 0; k < n; ++k) {
      const uint64_t hash = HashKey64(plan.groupKey.tableKey(rows[k], key));
      keyed.push_back({static_cast<uint32_t>(hash), index[k]});
      partOf.push_back(bits == 0 ? 0 : static_cast<uint8_t>(hash >> (64 - bits)));
    }
    return true;
  });
  std::vector<uint32_t> start((size_t{1} << bits) + 1, 0);  // partition p is [start[p], start[p + 1])
  for (uint8_t p : partOf) ++start[p + 1];
  for (size_t p = 1; p < start.size(); ++p) start[p] += start[p - 1];
  std::vector<Keyed> parted;
  parted.reserve(keyed.size());
  PrepareLargeBuffer(parted.data(), parted.capacity() * sizeof(Keyed));
  parted.resize(keyed.size());
  std::vector<uint32_t> at(start.begin(), start.end() - 1);
  for (size_t i = 0; i < keyed.size(); ++i) parted[at[partOf[i]]++] = keyed[i];
  std::vector<Keyed>().swap(keyed);
  std::vector<uint8_t>().swap(partOf);

  uint32_t largest = 0;
  for (size_t p = 0; p + 1 < start.size(); ++p) largest = std::max(largest, start[p + 1] - start[p]);
  KeyTable table(largest);  // one table, emptied for each partition
  int64_t groups = 0;
  std::string mine, theirs;
  Row row;
  for (size_t p = 0; p + 1 < start.size(); ++p) {
    if (p > 0) table.clear();
    for (uint32_t i = start[p]; i < start[p + 1]; ++i) {
      const Keyed& e = parted[i];
      std::optional<std::string_view> own;  // the record's own key, once a slot's hash matches
      auto same = [&](uint32_t first) {
        if (!own) {
          row.rec[0] = t.record(e.record);
          own = plan.groupKey.tableKey(row, mine);
        }
        row.rec[0] = t.record(first);
        return plan.groupKey.tableKey(row, theirs) == *own;
      };
      bool isNew;
      const uint32_t first = table.insert(e.hash, same, e.record, isNew);
      if (isNew)
        ++groups;
      else if (repeats)
        repeats->push_back({first, e.record});
    }
  }
  return groups;
}

// Lists the records of the groups whose first records are `firsts` (the
// first records themselves and the `repeats` of those groups), ordered by
// key and then by record.
void ListGroups(Plan& plan, std::vector<uint32_t> firsts, const std::vector<Repeat>& repeats, Records& behind) {
  const dbf::Table& t = *plan.table;
  std::sort(firsts.begin(), firsts.end());
  firsts.erase(std::unique(firsts.begin(), firsts.end()), firsts.end());
  Row a, b;
  std::sort(firsts.begin(), firsts.end(), [&](uint32_t x, uint32_t y) {
    a.rec[0] = t.record(x);
    b.rec[0] = t.record(y);
    const int o = plan.groupKey.order(a, b);
    return o != 0 ? o < 0 : x < y;
  });
  std::unordered_map<uint32_t, uint32_t> rank;  // first record -> its key's place in key order
  for (uint32_t k = 0; k < firsts.size(); ++k) rank[firsts[k]] = k;
  std::vector<std::pair<uint32_t, uint32_t>> ranked;  // (rank, record)
  ranked.reserve(firsts.size() + repeats.size());
  for (uint32_t f : firsts) ranked.push_back({rank[f], f});
  for (const Repeat& r : repeats)
    if (auto it = rank.find(r.first); it != rank.end()) ranked.push_back({it->second, r.record});
  std::sort(ranked.begin(), ranked.end());
  for (const auto& [place, record] : ranked) behind.push_back(record);
}

// Lists the records of every key that more than one record has. Only the
// repeats were noted while grouping, so the cost follows the repeated
// records, not the table.
void ListRepeated(Plan& plan, const std::vector<Repeat>& repeats, Records& behind) {
  std::vector<uint32_t> firsts;  // the first record of each repeated key
  for (const Repeat& r : repeats) firsts.push_back(r.first);
  ListGroups(plan, std::move(firsts), repeats, behind);
}

// What group(repeats) gives, with the records of repeated keys listed in
// `behind` when it is asked for.
template <typename Grouping>
auto ListingRepeated(Plan& plan, Records* behind, Grouping group) {
  std::vector<Repeat> repeats;
  auto result = group(behind ? &repeats : nullptr);
  if (behind) ListRepeated(plan, repeats, *behind);
  return result;
}

GroupCounts CountsOf(const Groups& groups, size_t g) {
  GroupCounts c;
  c.records = groups.count[g];
  for (const auto& d : groups.distinct) c.distinct.push_back(d[g]);
  return c;
}

// The groups of a grouped plan that pass its having (all without one), by
// index, in the order their keys first appear.
struct Selected {
  Groups groups;
  std::vector<size_t> passing;
};

// With `behind`, the records of the passing groups; without a having, those
// of the repeated keys only, as the key rules list them.
Selected SelectGroups(Plan& plan, Records* behind) {
  std::vector<Repeat> repeats;
  Selected s{HashGroups(plan, behind ? &repeats : nullptr), {}};
  Row row;
  for (size_t g = 0; g < s.groups.first.size(); ++g) {
    if (plan.having) {
      *plan.counts = CountsOf(s.groups, g);
      row.rec[0] = plan.table->record(s.groups.first[g]);
      if (plan.having->test(row) != Tri::True) continue;
    }
    s.passing.push_back(g);
  }
  if (!behind) return s;
  if (!plan.having) {
    ListRepeated(plan, repeats, *behind);
    return s;
  }
  std::vector<uint32_t> firsts;
  for (size_t g : s.passing) firsts.push_back(s.groups.first[g]);
  ListGroups(plan, std::move(firsts), repeats, *behind);
  return s;
}

std::vector<std::string> Columns(const Plan& plan) {
  std::vector<std::string> names;
  for (const PlanItem& item : plan.items) names.push_back(item.name);
  return names;
}

std::vector<std::string> Cells(Plan& plan, const Row& row, const GroupCounts& counts) {
  std::vector<std::string> cells;
  for (PlanItem& item : plan.items) {
    if (item.countStar)
      cells.push_back(std::to_string(counts.records));
    else if (item.distinct >= 0)
      cells.push_back(std::to_string(counts.distinct[static_cast<size_t>(item.distinct)]));
    else
      cells.push_back(Display(item.value, row));
  }
  return cells;
}

// The one row of count(distinct x) without group by: the records that pass
// the where as a single group.
GroupCounts WholeCounts(Plan& plan) {
  Groups groups = HashGroups(plan, nullptr);
  if (!groups.first.empty()) return CountsOf(groups, 0);
  GroupCounts none;
  none.distinct.assign(plan.distinctKeys.size(), 0);
  return none;
}

}  // namespace

int64_t CountRows(Plan& plan, Records* behind) {
  if (plan.grouped && plan.having) return static_cast<int64_t>(SelectGroups(plan, behind).passing.size());
  if (plan.grouped)
    return ListingRepeated(plan, behind, [&](std::vector<Repeat>* r) { return CountGroups(plan, r); });
  if (plan.aggregate && !behind) return 1;
  const int64_t passing = CountPassing(plan, behind);
  return plan.aggregate ? 1 : passing;
}

bool Shareable(const Plan& plan) {
  return plan.aggregate && !plan.grouped && !plan.items.empty() && plan.items[0].countStar &&
         plan.distinctKeys.empty();
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
    GroupCounts counts;
    if (plan.distinctKeys.empty()) {
      counts.records = CountPassing(plan, behind);
    } else {
      counts = WholeCounts(plan);
      if (behind) CountPassing(plan, behind);
    }
    result.rows.push_back(Cells(plan, Row{}, counts));
    return result;
  }
  if (plan.grouped) {
    Selected selected = SelectGroups(plan, behind);
    Row row;
    for (size_t g : selected.passing) {
      if (result.rows.size() >= limit) break;
      row.rec[0] = plan.table->record(selected.groups.first[g]);
      result.rows.push_back(Cells(plan, row, CountsOf(selected.groups, g)));
    }
    return result;
  }
  const GroupCounts one{1, {}};
  ScanBatches(*plan.table, 0, Row{}, plan.where.get(), [&](const Row* rows, const uint32_t* index, int n) {
    for (int k = 0; k < n && result.rows.size() < limit; ++k) result.rows.push_back(Cells(plan, rows[k], one));
    if (behind) behind->insert(behind->end(), index, index + n);
    return result.rows.size() < limit || behind;
  });
  return result;
}

}  // namespace fc::query
