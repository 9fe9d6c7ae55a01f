// query/Executor.h - runs a compiled Plan over its table.
//
// One sequential pass over the mapped records; deleted records are skipped
// before anything else looks at them. Grouped plans aggregate in a hash
// table keyed on the group by values (query/Keys.h), one row per distinct
// key in the order keys first appear, with count(distinct x) per group from a
// set of (group, value) pairs and a having tested on each group's counts and
// first record; counting the groups alone (without a having) spreads the
// keys over partitions by hash first and groups each partition on its own,
// which keeps the tables small however large the table.
//
//   Plan plan = Compile(*Parse(sql), catalog);
//   int64_t rows = CountRows(plan);   // what the result would hold, not built
//   ResultSet r = Fetch(plan, 1);     // at most one row
//   Records behind;
//   int64_t groups = CountRows(plan, &behind);   // and the records of repeated keys
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "query/Compiler.h"
#include "query/Session.h"

namespace fc::query {

// Record indexes (from 0) of the records behind a result: those that pass
// the where; when grouped, those of every group of more than one record (the
// first included), or with a having every record of the groups that pass it,
// ordered by key and then by record. Gathered in the same pass that makes the
// result.
using Records = std::vector<uint32_t>;

// Rows of the full result: 1 for count(*) without group by, the number of
// groups when grouped, else the number of records that pass the where.
int64_t CountRows(Plan& plan, Records* behind = nullptr);

// Whether `plan` is a count(*) without group by, which CountTogether can
// answer in a pass shared with others over the same table.
bool Shareable(const Plan& plan);

// For each of `plans` (Shareable, all over one table): the records among
// indexes [begin, end) that pass its where, added to counts[i] and, where
// behind[i] is not null, appended to it in record order. One pass over the
// records serves every plan, so each record is read once for them all.
void CountTogether(std::span<Plan* const> plans, uint32_t begin, uint32_t end, int64_t* counts,
                   Records* const* behind);

// The first `limit` rows of the result, values as display texts.
ResultSet Fetch(Plan& plan, size_t limit, Records* behind = nullptr);

}  // namespace fc::query
