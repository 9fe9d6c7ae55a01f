#include "query/Ast.h"

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

std::string Quote(const std::string& text) {
  char q = text.find('\'') == std::string::npos ? '\'' : '"';
  return q + text + q;
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
  const std::string notText = e.negated ? "not " : "";
  switch (e.kind) {
    case ExprKind::Column: return column(e);
    case ExprKind::Text: return Quote(e.name);
    case ExprKind::Number: return e.name;
    case ExprKind::Negate: return "(-" + arg(0) + ")";
    case ExprKind::Add: return "(" + arg(0) + " + " + arg(1) + ")";
    case ExprKind::Subtract: return "(" + arg(0) + " - " + arg(1) + ")";
    case ExprKind::Compare: return "(" + arg(0) + " " + OpText(e.op) + " " + arg(1) + ")";
    case ExprKind::And: return "(" + Joined(e.args, 0, " and ", column) + ")";
    case ExprKind::Or: return "(" + Joined(e.args, 0, " or ", column) + ")";
    case ExprKind::Not: return "(not " + arg(0) + ")";
    case ExprKind::IsNull: return "(" + arg(0) + " is " + notText + "null)";
    case ExprKind::InList:
      return "(" + arg(0) + " " + notText + "in (" + Joined(e.args, 1, ", ", column) + "))";
    case ExprKind::InSelect:
      return "(" + arg(0) + " " + notText + "in (" + Print(*e.select, column) + "))";
    case ExprKind::Exists: return "(exists (" + Print(*e.select, column) + "))";
    case ExprKind::Call: return e.name + "(" + Joined(e.args, 0, ", ", column) + ")";
    case ExprKind::CountStar: return "count(*)";
  }
  return "?";
}

std::string Print(const Select& s, const ColumnSpeller& column) {
  std::string out = "select " + (s.star ? std::string("*") : Joined(s.items, 0, ", ", column));
  out += " from " + s.table;
  if (!s.alias.empty()) out += " " + s.alias;
  if (s.where) out += " where " + Print(*s.where, column);
  if (!s.groupBy.empty()) out += " group by " + Joined(s.groupBy, 0, ", ", column);
  return out;
}

}  // namespace fc::query
