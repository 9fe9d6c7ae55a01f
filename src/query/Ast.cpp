#include "query/Ast.h"

#include <initializer_list>
#include <string_view>

namespace fc::query {
namespace {

using ColumnSpeller = std::function<std::string(const Expr&)>;

const char* OpText(CmpOp op) {
  switch (op) {
    case CmpOp::Eq: return "=";
    case CmpOp::Ne: return "<>";
    case CmpOp::Lt: return "<";
    case CmpOp::Le: return "<=";
    case CmpOp::Gt: return ">";
    case CmpOp::Ge: return ">=";
  }
  return "?";
}

std::string Cat(std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::string_view p : parts) out.append(p);
  return out;
}

std::string Quote(const std::string& text) {
  std::string_view q = text.find('\'') == std::string::npos ? "'" : "\"";
  return Cat({q, text, q});
}

std::string Joined(const std::vector<std::unique_ptr<Expr>>& list, size_t from, const char* sep,
                   const ColumnSpeller& column) {
  std::string out;
  for (size_t i = from; i < list.size(); ++i) {
    if (i > from) out += sep;
    out += Print(*list[i], column);
  }
  return out;
}

}  // namespace

std::string Print(const Expr& e, const ColumnSpeller& column) {
  const auto arg = [&](size_t i) { return Print(*e.args[i], column); };
  const std::string_view notText = e.negated ? "not " : "";
  switch (e.kind) {
    case ExprKind::Column: return column(e);
    case ExprKind::Text: return Quote(e.name);
    case ExprKind::Number: return e.name;
    case ExprKind::Negate: return Cat({"(-", arg(0), ")"});
    case ExprKind::Add: return Cat({"(", arg(0), " + ", arg(1), ")"});
    case ExprKind::Subtract: return Cat({"(", arg(0), " - ", arg(1), ")"});
    case ExprKind::Compare: return Cat({"(", arg(0), " ", OpText(e.op), " ", arg(1), ")"});
    case ExprKind::And: return Cat({"(", Joined(e.args, 0, " and ", column), ")"});
    case ExprKind::Or: return Cat({"(", Joined(e.args, 0, " or ", column), ")"});
    case ExprKind::Not: return Cat({"(not ", arg(0), ")"});
    case ExprKind::IsNull: return Cat({"(", arg(0), " is ", notText, "null)"});
    case ExprKind::InList:
      return Cat({"(", arg(0), " ", notText, "in (", Joined(e.args, 1, ", ", column), "))"});
    case ExprKind::InSelect: return Cat({"(", arg(0), " ", notText, "in (", Print(*e.select, column), "))"});
    case ExprKind::Exists: return Cat({"(exists (", Print(*e.select, column), "))"});
    case ExprKind::Call: return Cat({e.name, "(", Joined(e.args, 0, ", ", column), ")"});
    case ExprKind::CountStar: return "count(*)";
    case ExprKind::CountDistinct: return Cat({"count(distinct ", arg(0), ")"});
    case ExprKind::Like: return Cat({"(", arg(0), " ", notText, "like ", arg(1), ")"});
    case ExprKind::Between:
      return Cat({"(", arg(0), " ", notText, "between ", arg(1), " and ", arg(2), ")"});
  }
  return "?";
}

std::string Print(const Select& s, const ColumnSpeller& column) {
  std::string out = Cat({"select ", s.distinct ? "distinct " : "", s.star ? "*" : Joined(s.items, 0, ", ", column),
                         " from ", s.table});
  if (!s.alias.empty()) out += Cat({" ", s.alias});
  if (s.where) out += Cat({" where ", Print(*s.where, column)});
  if (!s.groupBy.empty()) out += Cat({" group by ", Joined(s.groupBy, 0, ", ", column)});
  if (s.having) out += Cat({" having ", Print(*s.having, column)});
  return out;
}

}  // namespace fc::query
