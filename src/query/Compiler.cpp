#include "query/Compiler.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <stdexcept>
#include <utility>

#include "dbf/Table.h"
#include "query/Catalog.h"
#include "query/Dialect.h"
#include "query/Session.h"
#include "query/Subquery.h"
#include "text/Text.h"

namespace fc::query {
namespace {

struct Scope {
  const dbf::Table* table;  // the select's table
  std::string name;         // its name, lower case
  std::string alias;        // its alias, lower case, "" when none
  int depth;                // nesting level, 0 for the query itself
};

struct Resolved {
  const Scope* scope;       // where the column lives
  const dbf::Field* field;  // which field it is
};

// The expression as the operator wrote it, for messages.
std::string Spell(const Expr& e) {
  return Print(e, [](const Expr& c) { return c.qualifier.empty() ? c.name : c.qualifier + "." + c.name; });
}

[[noreturn]] void Mismatch(const Expr& e) { throw QueryError("类型不匹配: " + Spell(e)); }

bool IsNumericType(char t) { return t == 'N' || t == 'F' || t == 'I' || t == 'Y' || t == 'B'; }
// Dates and logicals are read as their stored characters (YYYYMMDD, T/F).
bool IsTextType(char t) { return t == 'C' || t == 'D' || t == 'L'; }

// Texts compare as bytes in one code page: that of the table either side
// comes from (a literal is converted into it, a decoded text converted back),
// so that `<` and `>` order alike whether a column meets a column or a
// literal. Texts of two tables with different code pages, or a literal with
// no place in the code page, compare decoded.
void Unify(const std::vector<TextPtr*>& texts) {
  auto fitsAll = [&](unsigned page) {
    for (const TextPtr* t : texts)
      if (!FitsCodePage(**t, page)) return false;
    return true;
  };
  for (const TextPtr* candidate : texts) {
    unsigned page = (*candidate)->origin();
    if (!page || !fitsAll(page)) continue;
    for (TextPtr* t : texts) *t = ToCodePage(std::move(*t), page);
    return;
  }
  unsigned shared = 0;  // the encoding of every text but ASCII literals, while they agree
  for (const TextPtr* t : texts) {
    if ((*t)->isAscii()) continue;
    if (shared && shared != (*t)->encoding()) {
      for (TextPtr* u : texts) *u = ToUtf8(std::move(*u));
      return;
    }
    shared = (*t)->encoding();
  }
}
void Unify(TextPtr& a, TextPtr& b) { Unify({&a, &b}); }

// Makes two values comparable, or reports `context` as a type mismatch.
void Unify(Value& a, Value& b, const Expr& context) {
  if (a.isText() != b.isText()) Mismatch(context);
  if (a.isText()) Unify(a.text, b.text);
}

void Conjuncts(const Expr* e, std::vector<const Expr*>& out) {
  if (!e) return;
  if (e->kind != ExprKind::And) {
    out.push_back(e);
    return;
  }
  for (const auto& arg : e->args) Conjuncts(arg.get(), out);
}

bool HasSubquery(const Expr& e) {
  if (e.kind == ExprKind::InSelect || e.kind == ExprKind::Exists) return true;
  for (const auto& arg : e.args)
    if (HasSubquery(*arg)) return true;
  return false;
}

class Compiler {
 public:
  explicit Compiler(Catalog& catalog) : catalog_(catalog) { scopes_.reserve(kMaxDepth); }

  Plan top(const Select& s) {
    Plan plan;
    plan_ = &plan;
    push(s);
    plan.table = scopes_[0].table;
    plan.tableName = scopes_[0].name;
    if (s.where) plan.where = pred(*s.where);
    plan.grouped = !s.groupBy.empty();
    std::vector<Value> keys;
    for (const auto& g : s.groupBy) keys.push_back(value(*g));
    nameFields(s, plan.named);
    selectList(s, plan);
    bool counts = false, values = false;
    for (const PlanItem& item : plan.items) (item.countStar || item.distinct >= 0 ? counts : values) = true;
    plan.aggregate = counts && !plan.grouped;
    if (plan.aggregate && values)
      throw QueryError("不支持的语法: 没有 group by 时 count(*) 不能与其他列同时选择");
    if (s.distinct && !plan.aggregate) {
      if (plan.grouped) throw QueryError("不支持的语法: distinct 不能与 group by 同用");
      plan.grouped = true;
      distinctKeys(s, keys);
    }
    plan.groupKey = KeyEncoder(std::move(keys));
    if (s.having) {
      plan.counts = std::make_shared<GroupCounts>();
      plan.having = pred(*s.having);
    }
    return plan;
  }

 private:
  void selectList(const Select& s, Plan& plan) {
    if (s.star) {
      if (plan.grouped) throw QueryError("不支持的语法: select * 不能与 group by 同用");
      for (const dbf::Field& f : plan.table->fields())
        if (!f.isSystem()) plan.items.push_back({f.name, false, -1, displayed(fieldValue(scopes_[0], f, true))});
      return;
    }
    int expressions = 0;
    for (const auto& item : s.items) {
      if (item->kind == ExprKind::CountStar) {
        plan.items.push_back({"cnt", true, -1, {}});
      } else if (item->kind == ExprKind::CountDistinct) {
        const Expr& x = *item->args[0];
        std::string name = x.kind == ExprKind::Column ? "cnt_" + text::ToLower(resolve(x).field->name)
                                                      : "exp_" + std::to_string(++expressions);
        plan.items.push_back({name, false, distinctCount(x), {}});
      } else {
        std::string name = item->kind == ExprKind::Column ? resolve(*item).field->name
                                                          : "exp_" + std::to_string(++expressions);
        plan.items.push_back({name, false, -1, displayed(value(*item))});
      }
    }
  }

  // The key of select distinct: its items as they are stored.
  void distinctKeys(const Select& s, std::vector<Value>& keys) {
    if (!s.star) {
      for (const auto& item : s.items) keys.push_back(value(*item));
      return;
    }
    for (const dbf::Field& f : scopes_[0].table->fields())
      if (!f.isSystem()) keys.push_back(fieldValue(scopes_[0], f, true));
  }

  // Registers count(distinct x) with the plan; its index there.
  int distinctCount(const Expr& x) {
    std::vector<Value> key;
    key.push_back(value(x));
    plan_->distinctKeys.emplace_back(std::move(key));
    return static_cast<int>(plan_->distinctKeys.size()) - 1;
  }

  int push(const Select& s) {
    int depth = static_cast<int>(scopes_.size());
    if (depth >= kMaxDepth)
      throw QueryError("不支持的语法: 子查询嵌套超过" + std::to_string(kMaxDepth - 1) + "层");
    const dbf::Table& table = catalog_.table(s.table);
    scopes_.push_back({&table, text::ToLower(s.table), text::ToLower(s.alias), depth});
    return depth;
  }
  void pop() { scopes_.pop_back(); }

  Resolved resolve(const Expr& c) const {
    if (c.qualifier.empty()) {
      for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it)
        if (const dbf::Field* f = it->table->findField(c.name)) return {&*it, f};
      throw QueryError("字段不存在: " + c.name);
    }
    // A table given an alias is known by that alias only, so that the
    // table's own name qualifies an enclosing use of the same table.
    std::string q = text::ToLower(c.qualifier);
    for (auto it = scopes_.rbegin(); it != scopes_.rend(); ++it) {
      if ((it->alias.empty() ? it->name : it->alias) != q) continue;
      if (const dbf::Field* f = it->table->findField(c.name)) return {&*it, f};
      throw QueryError("字段不存在: " + c.qualifier + "." + c.name);
    }
    throw QueryError("表或别名不存在: " + c.qualifier);
  }

  static ColumnRef ref(const Scope& scope, const dbf::Field& f) {
    ColumnRef c;
    c.depth = scope.depth;
    c.offset = f.offset;
    c.length = f.length;
    c.type = f.type;
    c.decimals = std::min<int>(f.decimals, kMaxScale);  // a broken header may claim 255
    const dbf::Field* flags = f.nullBit >= 0 ? scope.table->nullFlags() : nullptr;
    if (flags) {
      c.nullOffset = flags->offset + static_cast<uint32_t>(f.nullBit / 8);
      c.nullMask = static_cast<uint8_t>(1u << (f.nullBit % 8));
    }
    return c;
  }

  // `lenient`: a field of a type without meaning in conditions (memo,
  // datetime, ...) shows as its type letter instead of failing the query.
  static Value fieldValue(const Scope& scope, const dbf::Field& f, bool lenient) {
    ColumnRef c = ref(scope, f);
    if (IsNumericType(f.type)) return {nullptr, NumColumn(c, f.name)};
    if (IsTextType(f.type)) return {TextColumn(c, scope.table->encoding()), nullptr};
    if (lenient) return {TextLiteral(std::string("[") + f.type + "]"), nullptr};
    throw QueryError("不支持的字段类型: " + f.name + " (" + f.type + ")");
  }

  static Value displayed(Value v) {
    if (v.text) v.text = ToUtf8(std::move(v.text));
    return v;
  }

  // The nesting levels an expression reads, as bits; a subquery's own
  // levels are left out, its references to enclosing levels kept.
  uint32_t depthsOf(const Expr& e) {
    if (e.kind == ExprKind::Column) return 1u << resolve(e).scope->depth;
    uint32_t m = 0;
    for (const auto& arg : e.args) m |= depthsOf(*arg);
    if (e.select) m |= depthsOf(*e.select);
    return m;
  }
  uint32_t depthsOf(const Select& s) {
    int d = push(s);
    uint32_t m = s.where ? depthsOf(*s.where) : 0;
    for (const auto& item : s.items) m |= depthsOf(*item);
    for (const auto& g : s.groupBy) m |= depthsOf(*g);
    if (s.having) m |= depthsOf(*s.having);
    pop();
    return m & ((1u << d) - 1);
  }

  // The fields of the query's own table that its where and group by name.
  // A top-level conjunct `field = constant` only narrows the records to one
  // value of the field, so it does not make the field a tested one.
  void nameFields(const Select& s, std::vector<NamedField>& named) {
    std::vector<const Expr*> conjuncts;
    Conjuncts(s.where.get(), conjuncts);
    for (const Expr* c : conjuncts) nameFields(*c, !FixesToConstant(*c), named);
    for (const auto& g : s.groupBy) nameFields(*g, true, named);
    if (s.distinct)
      for (const auto& item : s.items) nameFields(*item, true, named);
  }
  void nameFields(const Expr& e, bool tested, std::vector<NamedField>& named) {
    if (e.kind == ExprKind::Column) {
      const Resolved r = resolve(e);
      if (r.scope->depth != 0) return;
      auto it = std::find_if(named.begin(), named.end(), [&](const NamedField& n) { return n.field == r.field; });
      if (it == named.end()) named.push_back({r.field, tested});
      else it->tested |= tested;
      return;
    }
    for (const auto& arg : e.args) nameFields(*arg, tested, named);
    if (!e.select) return;
    push(*e.select);
    if (e.select->where) nameFields(*e.select->where, tested, named);
    for (const auto& item : e.select->items) nameFields(*item, tested, named);
    for (const auto& g : e.select->groupBy) nameFields(*g, tested, named);
    pop();
  }
  static bool FixesToConstant(const Expr& c) {
    if (c.kind != ExprKind::Compare || c.op != CmpOp::Eq) return false;
    auto constant = [](const Expr& e) { return e.kind == ExprKind::Text || e.kind == ExprKind::Number; };
    const Expr& l = *c.args[0];
    const Expr& r = *c.args[1];
    return (l.kind == ExprKind::Column && constant(r)) || (r.kind == ExprKind::Column && constant(l));
  }

  Value value(const Expr& e) {
    switch (e.kind) {
      case ExprKind::Column: {
        Resolved r = resolve(e);
        return fieldValue(*r.scope, *r.field, false);
      }
      case ExprKind::Text: return {TextLiteral(e.name), nullptr};
      case ExprKind::Number: {
        Decimal d;
        if (!ParseLiteral(e.name, d)) throw QueryError("数值超出范围: " + e.name);
        return {nullptr, NumLiteral(d)};
      }
      case ExprKind::Negate: return {nullptr, NumNegate(num(*e.args[0], e))};
      case ExprKind::Add: return sum(e);
      case ExprKind::Subtract:
        return {nullptr, NumAdd(num(*e.args[0], e), num(*e.args[1], e), true)};
      case ExprKind::Call: return call(e);
      case ExprKind::CountStar:
      case ExprKind::CountDistinct:
        // The group's counts exist for the having of the query itself, not for its subqueries.
        if (!plan_->counts || scopes_.size() != 1)
          throw QueryError("不支持的语法: count(*) 只能用在选择列表或 having 中");
        return {nullptr, GroupCount(plan_->counts, e.kind == ExprKind::CountStar ? -1 : distinctCount(*e.args[0]))};
      default: throw QueryError("不支持的语法: 条件不能用作值: " + Spell(e));
    }
  }

  TextPtr text(const Expr& e, const Expr& context) {
    Value v = value(e);
    if (!v.text) Mismatch(context);
    return std::move(v.text);
  }
  NumPtr num(const Expr& e, const Expr& context) {
    Value v = value(e);
    if (!v.num) Mismatch(context);
    return std::move(v.num);
  }

  // `+` joins texts and adds numbers.
  Value sum(const Expr& e) {
    Value l = value(*e.args[0]), r = value(*e.args[1]);
    if (l.isText() != r.isText()) Mismatch(e);
    if (!l.text) return {nullptr, NumAdd(std::move(l.num), std::move(r.num), false)};
    Unify(l.text, r.text);
    return {Concat(std::move(l.text), std::move(r.text)), nullptr};
  }

  // The dialect's entry for the function `e` calls, its arguments counted.
  static const DialectEntry& function(const Expr& e) {
    if (e.name == "count") throw QueryError("不支持的语法: count(*) 只能用在选择列表或 having 中");
    const DialectEntry* f = FindFunction(e.name);
    if (!f) throw QueryError("不支持的函数: " + e.name);
    const int n = static_cast<int>(e.args.size());
    if (n < f->minArgs || (f->maxArgs >= 0 && n > f->maxArgs)) throw QueryError("函数参数个数不对: " + Spell(e));
    return *f;
  }

  Value call(const Expr& e) {
    if (function(e).truth) throw QueryError("不支持的语法: 条件不能用作值: " + Spell(e));
    const std::string& f = e.name;
    auto utf8 = [&](size_t i) { return ToUtf8(text(*e.args[i], e)); };
    if (f == "trim" || f == "rtrim") return {Trim(text(*e.args[0], e), TrimSide::Right), nullptr};
    if (f == "ltrim") return {Trim(text(*e.args[0], e), TrimSide::Left), nullptr};
    if (f == "alltrim") return {Trim(text(*e.args[0], e), TrimSide::Both), nullptr};
    if (f == "len") return {nullptr, Length(utf8(0))};
    if (f == "upper" || f == "lower") return {ChangeCase(utf8(0), f == "upper"), nullptr};
    if (f == "substr") {
      NumPtr count = e.args.size() == 3 ? num(*e.args[2], e) : nullptr;
      return {Substr(utf8(0), num(*e.args[1], e), std::move(count)), nullptr};
    }
    if (f == "left") return {Substr(utf8(0), NumLiteral(FromInteger(1, 0)), num(*e.args[1], e)), nullptr};
    if (f == "right") return {Right(utf8(0), num(*e.args[1], e)), nullptr};
    if (f == "at") return {nullptr, At(utf8(0), utf8(1))};
    if (f == "val") return {nullptr, Val(text(*e.args[0], e))};
    throw std::logic_error("function without an evaluator: " + f);
  }

  PredPtr callPred(const Expr& e) {
    if (!function(e).truth) throw QueryError("不支持的语法: 不是条件: " + Spell(e));
    if (e.name == "empty") return Empty(value(*e.args[0]));
    if (e.name == "inlist") return inList(e);
    throw std::logic_error("condition without an evaluator: " + e.name);
  }

  PredPtr pred(const Expr& e) {
    switch (e.kind) {
      case ExprKind::Compare: return compare(e);
      case ExprKind::And:
      case ExprKind::Or: {
        std::vector<PredPtr> ops;
        for (const auto& arg : e.args) ops.push_back(pred(*arg));
        return e.kind == ExprKind::And ? And(std::move(ops)) : Or(std::move(ops));
      }
      case ExprKind::Not: return Not(pred(*e.args[0]));
      case ExprKind::IsNull: return IsNull(value(*e.args[0]), e.negated);
      case ExprKind::InList: return negatable(e, inList(e));
      case ExprKind::InSelect: return negatable(e, inSelect(e));
      case ExprKind::Exists: return exists(e);
      case ExprKind::Call: return callPred(e);
      case ExprKind::Like: return negatable(e, like(e));
      case ExprKind::Between: {
        std::vector<PredPtr> ends;
        ends.push_back(compare(*e.args[0], CmpOp::Ge, *e.args[1], e));
        ends.push_back(compare(*e.args[0], CmpOp::Le, *e.args[2], e));
        return negatable(e, And(std::move(ends)));
      }
      case ExprKind::Column: {
        Resolved r = resolve(e);
        if (r.field->type == 'L') return LogicalColumn(ref(*r.scope, *r.field));
        break;
      }
      default: break;
    }
    throw QueryError("不支持的语法: 不是条件: " + Spell(e));
  }

  static PredPtr negatable(const Expr& e, PredPtr p) { return e.negated ? Not(std::move(p)) : std::move(p); }

  PredPtr filter(const std::vector<const Expr*>& conjuncts) {
    if (conjuncts.empty()) return nullptr;
    std::vector<PredPtr> ops;
    for (const Expr* c : conjuncts) ops.push_back(pred(*c));
    return And(std::move(ops));
  }

  PredPtr compare(const Expr& e) { return compare(*e.args[0], e.op, *e.args[1], e); }
  PredPtr compare(const Expr& left, CmpOp op, const Expr& right, const Expr& context) {
    Value l = value(left), r = value(right);
    Unify(l, r, context);
    if (l.num) return Compare(std::move(l.num), op, std::move(r.num));
    return Compare(std::move(l.text), op, std::move(r.text));
  }

  PredPtr like(const Expr& e) {
    return Like(ToUtf8(text(*e.args[0], e)), ToUtf8(text(*e.args[1], e)));
  }

  PredPtr inList(const Expr& e) {
    Value subject = value(*e.args[0]);
    std::vector<Value> items;
    for (size_t i = 1; i < e.args.size(); ++i) {
      items.push_back(value(*e.args[i]));
      if (items.back().isText() != subject.isText()) Mismatch(e);
    }
    if (!subject.text) {
      std::vector<NumPtr> nums;
      for (Value& v : items) nums.push_back(std::move(v.num));
      return InList(std::move(subject.num), std::move(nums));
    }
    std::vector<TextPtr> texts;
    std::vector<TextPtr*> all{&subject.text};
    for (Value& v : items) all.push_back(&v.text);
    Unify(all);
    for (Value& v : items) texts.push_back(std::move(v.text));
    return InList(std::move(subject.text), std::move(texts));
  }

  // An index over the subquery table at `depth`, from the session's cache
  // when its filter and keys are plain enough to be named by their text.
  std::shared_ptr<RowIndex> indexFor(const char* kind, int depth, const std::vector<const Expr*>& filterExprs,
                                     const std::vector<const Expr*>& keyExprs, const std::string& keyTypes,
                                     const std::function<std::shared_ptr<RowIndex>()>& build) {
    const auto column = [&](const Expr& c) {
      Resolved r = resolve(c);
      return text::ToLower(r.field->name) + "@" + std::to_string(r.scope->depth - depth);
    };
    std::string key = std::string(kind) + "|" + scopes_[depth].name;
    for (const auto* list : {&filterExprs, &keyExprs}) {
      key += "|";
      for (const Expr* e : *list) {
        if (HasSubquery(*e)) return build();
        key += Print(*e, column) + ";";
      }
    }
    return catalog_.index(key + "|" + keyTypes, build);
  }

  static std::string KeyType(const Value& v) { return v.text ? std::to_string(v.text->encoding()) : "number"; }

  PredPtr inSelect(const Expr& e) {
    const Select& s = *e.select;
    if (s.star || s.items.size() != 1 || IsCount(*s.items[0]) || !s.groupBy.empty())
      throw QueryError("不支持的语法: in 的子查询只能选择一个字段: " + Spell(e));
    Value subject = value(*e.args[0]);
    const int d = push(s);
    const dbf::Table& table = *scopes_[d].table;
    Value item = value(*s.items[0]);
    Unify(subject, item, e);
    const uint32_t outer = (1u << d) - 1;
    bool correlated = ((s.where ? depthsOf(*s.where) : 0) | depthsOf(*s.items[0])) & outer;
    PredPtr where = s.where ? pred(*s.where) : nullptr;
    PredPtr p;
    if (correlated) {
      p = NestedIn(table, d, std::move(where), KeyEncoder(Values(std::move(subject))),
                   KeyEncoder(Values(std::move(item))));
    } else {
      std::vector<const Expr*> filterExprs;
      if (s.where) filterExprs.push_back(s.where.get());
      std::string types = KeyType(item);
      auto index = indexFor("in", d, filterExprs, {s.items[0].get()}, types, [&] {
        return std::make_shared<RowIndex>(table, d, std::move(where), KeyEncoder(Values(std::move(item))));
      });
      p = IndexedIn(std::move(index), KeyEncoder(Values(std::move(subject))));
    }
    pop();
    return p;
  }

  static std::vector<Value> Values(Value v) {
    std::vector<Value> out;
    out.push_back(std::move(v));
    return out;
  }

  // An equality between an expression of the subquery's table alone (first)
  // and one of enclosing tables alone (second).
  std::optional<std::pair<const Expr*, const Expr*>> correlation(const Expr& c, uint32_t inner,
                                                                 uint32_t outer) {
    if (c.kind != ExprKind::Compare || c.op != CmpOp::Eq) return std::nullopt;
    const Expr* l = c.args[0].get();
    const Expr* r = c.args[1].get();
    uint32_t ml = depthsOf(*l), mr = depthsOf(*r);
    auto outerOnly = [&](uint32_t m) { return m != 0 && (m & ~outer) == 0; };
    if (ml == inner && outerOnly(mr)) return std::make_pair(l, r);
    if (mr == inner && outerOnly(ml)) return std::make_pair(r, l);
    return std::nullopt;
  }

  PredPtr exists(const Expr& e) {
    const Select& s = *e.select;
    bool counts = false;
    for (const auto& item : s.items) counts |= IsCount(*item);
    if (counts || !s.groupBy.empty())
      throw QueryError("不支持的语法: exists 的子查询中不能有 count(*) 或 group by");
    const int d = push(s);
    const dbf::Table& table = *scopes_[d].table;
    for (const auto& item : s.items) value(*item);  // names must exist even where unused
    const uint32_t inner = 1u << d, outer = inner - 1;

    std::vector<const Expr*> all, filterExprs, outerExprs, residualExprs, innerKeys;
    std::vector<Value> innerValues, outerValues;
    std::string types;
    Conjuncts(s.where.get(), all);
    for (const Expr* c : all) {
      uint32_t m = depthsOf(*c);
      if (!(m & outer)) {
        filterExprs.push_back(c);
      } else if (!(m & inner)) {
        outerExprs.push_back(c);
      } else if (auto k = correlation(*c, inner, outer)) {
        Value a = value(*k->first), b = value(*k->second);
        Unify(a, b, *c);
        types += KeyType(a) + ";";
        innerKeys.push_back(k->first);
        innerValues.push_back(std::move(a));
        outerValues.push_back(std::move(b));
      } else {
        residualExprs.push_back(c);
      }
    }

    PredPtr p;
    if (innerKeys.empty()) {
      // Nothing to hash on: scan the subquery's table, once when uncorrelated.
      bool correlated = !outerExprs.empty() || !residualExprs.empty();
      p = NestedExists(table, d, filter(all), correlated);
    } else {
      auto index = indexFor("exists", d, filterExprs, innerKeys, types, [&] {
        return std::make_shared<RowIndex>(table, d, filter(filterExprs), KeyEncoder(std::move(innerValues)));
      });
      p = IndexedExists(std::move(index), KeyEncoder(std::move(outerValues)), filter(outerExprs),
                        filter(residualExprs), d);
    }
    pop();
    return p;
  }

  static bool IsCount(const Expr& e) { return e.kind == ExprKind::CountStar || e.kind == ExprKind::CountDistinct; }

  Catalog& catalog_;
  std::vector<Scope> scopes_;
  Plan* plan_ = nullptr;  // the plan being built, for the counts of its select list and having
};

}  // namespace

Plan Compile(const Select& select, Catalog& catalog) { return Compiler(catalog).top(select); }

}  // namespace fc::query
