#include "query/Parser.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "query/Lexer.h"
#include "query/Session.h"
#include "text/Text.h"

namespace fc::query {
namespace {

using ExprPtr = std::unique_ptr<Expr>;

// The parser, the compiler and the tree's destructor all recurse once per
// level, so a query nested thousands deep would exhaust the stack. No rule
// comes near this depth.
constexpr int kMaxNesting = 256;

class Parser {
 public:
  explicit Parser(std::string_view sql) : sql_(sql), tokens_(Tokenize(sql)) {}

  std::unique_ptr<Select> query() {
    auto select = subquery();
    if (peek().kind != Tok::End) fail();
    return select;
  }

 private:
  const Token& peek(size_t ahead = 0) const { return tokens_[std::min(at_ + ahead, tokens_.size() - 1)]; }
  const Token& next() {
    const Token& t = peek();
    if (at_ + 1 < tokens_.size()) ++at_;
    return t;
  }
  bool acceptKeyword(std::string_view k) {
    if (!peek().isKeyword(k)) return false;
    next();
    return true;
  }
  bool acceptSymbol(std::string_view s) {
    if (!peek().isSymbol(s)) return false;
    next();
    return true;
  }
  void expectKeyword(std::string_view k) {
    if (!acceptKeyword(k)) fail();
  }
  void expectSymbol(std::string_view s) {
    if (!acceptSymbol(s)) fail();
  }
  const Token& expectIdentifier() {
    if (peek().kind != Tok::Identifier) fail();
    return next();
  }
  [[noreturn]] void fail() const {
    const Token& t = peek();
    if (t.kind == Tok::End)
      throw QueryError("不支持的语法: 查询在 \"" + std::string(sql_) + "\" 末尾意外结束");
    throw QueryError("不支持的语法: " + Excerpt(sql_, t.pos));
  }

  // One level of nesting for the life of the object.
  class Nested {
   public:
    explicit Nested(Parser& p, int levels = 1) : p_(p), levels_(levels) {
      p_.depth_ += levels_;
      if (p_.depth_ > kMaxNesting)
        throw QueryError("不支持的语法: 查询嵌套过深: " + Excerpt(p_.sql_, p_.peek().pos));
    }
    ~Nested() { p_.depth_ -= levels_; }
    Nested(const Nested&) = delete;
    Nested& operator=(const Nested&) = delete;

   private:
    Parser& p_;
    int levels_;
  };

  static ExprPtr make(ExprKind kind, size_t pos) {
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->pos = pos;
    return e;
  }
  static ExprPtr binary(ExprKind kind, ExprPtr left, ExprPtr right) {
    auto e = make(kind, left->pos);
    e->args.push_back(std::move(left));
    e->args.push_back(std::move(right));
    return e;
  }

  std::unique_ptr<Select> subquery() {
    auto s = std::make_unique<Select>();
    expectKeyword("select");
    s->distinct = acceptKeyword("distinct");
    selectList(*s);
    expectKeyword("from");
    s->tablePos = peek().pos;
    s->table = expectIdentifier().text;
    if (peek().kind == Tok::Identifier) s->alias = next().text;
    if (acceptKeyword("where")) s->where = expr();
    if (acceptKeyword("group")) {
      expectKeyword("by");
      do s->groupBy.push_back(expr());
      while (acceptSymbol(","));
      if (acceptKeyword("having")) s->having = expr();
    }
    return s;
  }

  void selectList(Select& s) {
    if (acceptSymbol("*")) {
      s.star = true;
      return;
    }
    do s.items.push_back(expr());
    while (acceptSymbol(","));
  }

  // count(*) or count(distinct expr); null for anything else, count(x) included.
  ExprPtr count() {
    if (peek().kind != Tok::Identifier || text::ToLower(peek().text) != "count" || !peek(1).isSymbol("("))
      return nullptr;
    size_t pos = peek().pos;
    if (peek(2).isSymbol("*") && peek(3).isSymbol(")")) {
      at_ += 4;
      return make(ExprKind::CountStar, pos);
    }
    if (!peek(2).isKeyword("distinct")) return nullptr;
    at_ += 3;
    auto e = make(ExprKind::CountDistinct, pos);
    e->args.push_back(expr());
    expectSymbol(")");
    return e;
  }

  ExprPtr expr() {
    Nested nested(*this);
    auto left = conjunction();
    if (!peek().isKeyword("or")) return left;
    auto e = make(ExprKind::Or, left->pos);
    e->args.push_back(std::move(left));
    while (acceptKeyword("or")) e->args.push_back(conjunction());
    return e;
  }

  ExprPtr conjunction() {
    auto left = negation();
    if (!peek().isKeyword("and")) return left;
    auto e = make(ExprKind::And, left->pos);
    e->args.push_back(std::move(left));
    while (acceptKeyword("and")) e->args.push_back(negation());
    return e;
  }

  ExprPtr negation() {
    Nested nested(*this);
    size_t pos = peek().pos;
    if (acceptKeyword("not")) {
      auto e = make(ExprKind::Not, pos);
      e->args.push_back(negation());
      return e;
    }
    if (acceptKeyword("exists")) {
      auto e = make(ExprKind::Exists, pos);
      expectSymbol("(");
      e->select = subquery();
      expectSymbol(")");
      return e;
    }
    return predicate();
  }

  ExprPtr predicate() {
    auto left = sum();
    if (auto op = comparison()) {
      auto e = binary(ExprKind::Compare, std::move(left), sum());
      e->op = *op;
      return e;
    }
    if (acceptKeyword("is")) {
      auto e = make(ExprKind::IsNull, left->pos);
      e->negated = acceptKeyword("not");
      expectKeyword("null");
      e->args.push_back(std::move(left));
      return e;
    }
    const bool negated = peek().isKeyword("not") &&
                         (peek(1).isKeyword("in") || peek(1).isKeyword("like") || peek(1).isKeyword("between"));
    if (negated) next();
    if (acceptKeyword("in")) return inTail(std::move(left), negated);
    if (acceptKeyword("like")) {
      auto e = binary(ExprKind::Like, std::move(left), sum());
      e->negated = negated;
      return e;
    }
    if (acceptKeyword("between")) {
      auto e = binary(ExprKind::Between, std::move(left), sum());
      expectKeyword("and");
      e->args.push_back(sum());
      e->negated = negated;
      return e;
    }
    return left;
  }

  ExprPtr inTail(ExprPtr subject, bool negated) {
    expectSymbol("(");
    auto e = make(ExprKind::InList, subject->pos);
    e->negated = negated;
    e->args.push_back(std::move(subject));
    if (peek().isKeyword("select")) {
      e->kind = ExprKind::InSelect;
      e->select = subquery();
    } else {
      do e->args.push_back(expr());
      while (acceptSymbol(","));
    }
    expectSymbol(")");
    return e;
  }

  std::optional<CmpOp> comparison() {
    static const std::pair<std::string_view, CmpOp> kOps[] = {
        {"=", CmpOp::Eq}, {"<>", CmpOp::Ne}, {"!=", CmpOp::Ne}, {"#", CmpOp::Ne},
        {"<", CmpOp::Lt}, {"<=", CmpOp::Le}, {">", CmpOp::Gt},  {">=", CmpOp::Ge}};
    for (const auto& [text, op] : kOps)
      if (acceptSymbol(text)) return op;
    return std::nullopt;
  }

  ExprPtr sum() {
    auto left = unary();
    for (int terms = 1;; ++terms) {
      Nested chain(*this, terms);  // each term deepens the left-leaning tree
      if (acceptSymbol("+"))
        left = binary(ExprKind::Add, std::move(left), unary());
      else if (acceptSymbol("-"))
        left = binary(ExprKind::Subtract, std::move(left), unary());
      else
        return left;
    }
  }

  ExprPtr unary() {
    Nested nested(*this);
    size_t pos = peek().pos;
    if (!acceptSymbol("-")) return primary();
    auto e = make(ExprKind::Negate, pos);
    e->args.push_back(unary());
    return e;
  }

  ExprPtr primary() {
    const Token& t = peek();
    if (t.kind == Tok::Number || t.kind == Tok::String) {
      auto e = make(t.kind == Tok::Number ? ExprKind::Number : ExprKind::Text, t.pos);
      e->name = next().text;
      return e;
    }
    if (acceptSymbol("(")) {
      auto e = expr();
      expectSymbol(")");
      return e;
    }
    if (auto e = count()) return e;
    if (IsFunctionWord(t) && peek(1).isSymbol("(")) {
      auto e = make(ExprKind::Call, t.pos);
      e->name = next().text;
      next();
      return callTail(std::move(e));
    }
    if (t.kind != Tok::Identifier) fail();
    auto e = make(ExprKind::Column, t.pos);
    e->name = next().text;
    if (acceptSymbol(".")) {
      e->qualifier = std::move(e->name);
      e->name = expectIdentifier().text;
      return e;
    }
    if (acceptSymbol("(")) return callTail(std::move(e));
    return e;
  }

  // Keywords that also name functions.
  static bool IsFunctionWord(const Token& t) {
    return t.isKeyword("left") || t.isKeyword("right") || t.isKeyword("between");
  }

  // The arguments after "name(". between(x, a, b) is the form x between a and b.
  ExprPtr callTail(ExprPtr e) {
    e->kind = ExprKind::Call;
    e->name = text::ToLower(e->name);
    if (acceptSymbol(")")) return e;
    do e->args.push_back(expr());
    while (acceptSymbol(","));
    expectSymbol(")");
    if (e->name == "between" && e->args.size() == 3) e->kind = ExprKind::Between;
    return e;
  }

  std::string_view sql_;
  std::vector<Token> tokens_;
  size_t at_ = 0;
  int depth_ = 0;  // levels of the tree being built above the current token
};

}  // namespace

std::unique_ptr<Select> Parse(std::string_view sql) { return Parser(sql).query(); }

}  // namespace fc::query
