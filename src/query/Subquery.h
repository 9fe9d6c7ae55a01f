// query/Subquery.h - predicates over a second table: [not] in (select ...)
// and [not] exists (select ...), in two strategies.
//
// Indexed: the subquery's records that pass its own filter are hashed once on
// the compared columns (query/Keys.h); each outer record then costs one
// lookup. The compiler uses it for an uncorrelated `in` and for an `exists`
// whose correlation includes equalities between outer and inner columns
// (a.zjzh = b.zjzh); further correlated conditions are checked on the
// records the lookup finds.
//
// Nested: the subquery's table is scanned for every outer record. Only a
// correlation without any equality (say a.x < b.y) needs it.
//
// Subquery records sit at nesting level `depth` of the Row. `not in` and
// `not exists` are Not() of these; SQL's NULL rules hold: x in (...) is
// Unknown when x is NULL or when x is not found but the subquery gave a NULL.
#pragma once

#include <memory>

#include "query/Eval.h"
#include "query/Keys.h"

namespace fc::dbf {
class Table;
}

namespace fc::query {

// `probe` holds the outer expression, encoded like the index's key.
PredPtr IndexedIn(std::shared_ptr<RowIndex> index, KeyEncoder probe);
// `probe` holds the outer sides of the equalities, in the index's key order;
// `outerOnly` conditions name only outer tables; `residual` ones are tested
// with the found record at `depth`. Either may be null.
PredPtr IndexedExists(std::shared_ptr<RowIndex> index, KeyEncoder probe, PredPtr outerOnly, PredPtr residual,
                      int depth);

// `filter` may be null (every record).
PredPtr NestedIn(const dbf::Table& table, int depth, PredPtr filter, KeyEncoder subject, KeyEncoder item);
// An uncorrelated exists is answered by the first scan and remembered.
PredPtr NestedExists(const dbf::Table& table, int depth, PredPtr filter, bool correlated);

}  // namespace fc::query
