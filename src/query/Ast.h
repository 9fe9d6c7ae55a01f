// query/Ast.h - the syntax tree of one query, as the parser builds it.
//
// Names are kept as written; the compiler (query/Compiler.h) resolves them
// against the tables and gives every expression its type. One Expr struct
// serves all node kinds: `kind` says which members are in use.
#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fc::query {

struct Select;

enum class ExprKind {
  Column,     // name, optional qualifier
  Text,       // literal, name holds the contents
  Number,     // literal, name holds the digits as written
  Negate,     // - args[0]
  Add,        // args[0] + args[1]
  Subtract,   // args[0] - args[1]
  Compare,    // args[0] op args[1]
  And,        // args[0] and args[1] and ...
  Or,         // args[0] or args[1] or ...
  Not,        // not args[0]
  IsNull,     // args[0] is [not] null
  InList,     // args[0] [not] in (args[1], ...)
  InSelect,   // args[0] [not] in (select)
  Exists,     // [not] exists (select); a leading not arrives as Not
  Call,       // name(args...)
  CountStar,  // count(*), only as a select item or in having
  CountDistinct,  // count(distinct args[0]), where count(*) may stand
  Like,       // args[0] [not] like args[1]
  Between,    // args[0] [not] between args[1] and args[2]; also between(x, a, b)
};

enum class CmpOp { Eq, Ne, Lt, Le, Gt, Ge };

struct Expr {
  ExprKind kind = ExprKind::Column;
  size_t pos = 0;                           // byte offset in the query text
  std::string name;                         // column or function name, literal text
  std::string qualifier;                    // table or alias before the dot, "" when none
  CmpOp op = CmpOp::Eq;                     // Compare only
  bool negated = false;                     // is not null, not in, not like, not between
  std::vector<std::unique_ptr<Expr>> args;  // operands, arguments, list items
  std::unique_ptr<Select> select;           // InSelect, Exists
};

struct Select {
  bool distinct = false;                       // select distinct
  bool star = false;                           // select *
  std::vector<std::unique_ptr<Expr>> items;    // the select list unless star
  std::string table;                           // table name as written
  std::string alias;                           // "" when none
  size_t tablePos = 0;                         // offset of the table name
  std::unique_ptr<Expr> where;                 // null when there is no where
  std::vector<std::unique_ptr<Expr>> groupBy;  // empty when not grouped
  std::unique_ptr<Expr> having;                // null when there is none; only with group by
};

// The expression as query text in one canonical spelling (lower-case
// keywords, single blanks, literals quoted), with every column spelled by
// `column`. Two expressions that print alike mean the same.
std::string Print(const Expr& e, const std::function<std::string(const Expr&)>& column);
std::string Print(const Select& s, const std::function<std::string(const Expr&)>& column);

}  // namespace fc::query
