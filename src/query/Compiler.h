// query/Compiler.h - binds a parsed query to the session's tables and turns
// it into a Plan of typed evaluators (query/Eval.h).
//
// Names resolve without regard to letter case: a qualified column (a.zjzh)
// through the alias of an enclosing select (its table name when it has none), an unqualified one
// to the innermost table that has the field. Types are checked here: texts
// compare with texts, numbers with numbers; anything else is a QueryError
// naming the expression. Subqueries get their strategy here too (see
// query/Subquery.h); indexes come from, and stay in, the Catalog.
//
//   Plan plan = Compile(*Parse(sql), catalog);
//   int64_t n = CountRows(plan);                       // query/Executor.h
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "query/Ast.h"
#include "query/Eval.h"
#include "query/Keys.h"

namespace fc::dbf {
class Table;
struct Field;
}

namespace fc::query {

class Catalog;

struct PlanItem {
  std::string name;        // result column name
  bool countStar = false;  // count(*); otherwise `value` or `distinct`
  int distinct = -1;       // count(distinct x): its index in Plan::distinctKeys
  Value value;             // text values already UTF-8
};

// A field of the query's own table that the where or the group by names.
struct NamedField {
  const dbf::Field* field = nullptr;  // the field
  bool tested = false;  // named other than in a top-level `field = constant` of the where
};

struct Plan {
  const dbf::Table* table = nullptr;  // the query's own table (level 0)
  std::string tableName;              // its name as the query writes it, lower case
  PredPtr where;                      // null when every record counts
  bool aggregate = false;             // count(*) without group by: one row
  bool grouped = false;               // group by or distinct: one row per distinct key
  KeyEncoder groupKey;                // the group by expressions, or the distinct items
  std::vector<KeyEncoder> distinctKeys;  // the x of each count(distinct x), items' and having's
  PredPtr having;                     // null when none: tested on a group's first record
  std::shared_ptr<GroupCounts> counts;  // the group's counts that `having` reads
  std::vector<PlanItem> items;        // the select list, * expanded
  std::vector<NamedField> named;      // in the order first named, each once
};

Plan Compile(const Select& select, Catalog& catalog);

}  // namespace fc::query
