#include "query/Eval.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <optional>

#include "dbf/CodePage.h"
#include "platform/CodePageText.h"
#include "query/Session.h"
#include "query/PaddedText.h"

namespace fc::query {
namespace {

// ---- text values --------------------------------------------------------

class TextColumnExpr : public TextExpr {
 public:
  TextColumnExpr(const ColumnRef& c, unsigned encoding) : TextExpr(encoding), c_(c) {}
  bool eval(const Row& row, std::string_view& out) override {
    if (c_.isNull(row)) return false;
    out = c_.bytes(row);
    return true;
  }
  const ColumnRef* asColumn() const override { return &c_; }

 private:
  ColumnRef c_;
};

// A literal's bytes, UTF-8 as written or converted into a table's code page.
class TextLiteralExpr : public TextExpr {
 public:
  TextLiteralExpr(std::string text, unsigned encoding) : TextExpr(encoding), text_(std::move(text)) {}
  bool eval(const Row&, std::string_view& out) override {
    out = text_;
    return true;
  }
  bool isAscii() const override { return dbf::IsAscii(text_); }
  const std::string* asLiteral() const override { return &text_; }

 private:
  std::string text_;
};

// Text converted from one encoding into another: a code page's bytes into
// UTF-8 (where an unconvertible byte becomes U+FFFD), or UTF-8 decoded from a
// code page back into it, so that it orders as the table's own bytes do
// (where a character without a place there becomes "?"). ASCII is the same
// in both and passes as it is.
class RecodeExpr : public TextExpr {
 public:
  RecodeExpr(TextPtr in, unsigned to, const char* substitute)
      : TextExpr(to, IsUtf8(to) ? in->origin() : 0),  // a code page's bytes come from it
        in_(std::move(in)),
        converter_(IsUtf8(to) ? in_->encoding() : to,
                   IsUtf8(to) ? platform::CodePageText::Decode : platform::CodePageText::Encode, substitute) {}
  bool eval(const Row& row, std::string_view& out) override {
    std::string_view from;
    if (!in_->eval(row, from)) return false;
    if (dbf::IsAscii(from)) {
      out = from;
      return true;
    }
    buffer_.clear();
    converter_.convert(from, buffer_);
    out = buffer_;
    return true;
  }

 private:
  TextPtr in_;
  platform::CodePageText converter_;
  std::string buffer_;
};

// Blank trimming works on code-page bytes directly: no lead or trail byte of
// the double-byte code pages is 0x20.
class TrimExpr : public TextExpr {
 public:
  TrimExpr(TextPtr in, TrimSide side) : TextExpr(in->encoding(), in->origin()), in_(std::move(in)), side_(side) {}
  bool eval(const Row& row, std::string_view& out) override {
    if (!in_->eval(row, out)) return false;
    if (side_ != TrimSide::Left) out = TrimRight(out);
    if (side_ != TrimSide::Right) out = TrimLeft(out);
    return true;
  }

 private:
  TextPtr in_;
  TrimSide side_;
};

class ChangeCaseExpr : public TextExpr {
 public:
  ChangeCaseExpr(TextPtr in, bool upper) : TextExpr(kUtf8, in->origin()), in_(std::move(in)), upper_(upper) {}
  bool eval(const Row& row, std::string_view& out) override {
    std::string_view in;
    if (!in_->eval(row, in)) return false;
    buffer_.assign(in);
    char from = upper_ ? 'a' : 'A', delta = upper_ ? 'A' - 'a' : 'a' - 'A';
    for (char& c : buffer_)
      if (c >= from && c <= from + 25) c = static_cast<char>(c + delta);
    out = buffer_;
    return true;
  }

 private:
  TextPtr in_;
  bool upper_;
  std::string buffer_;
};

class SubstrExpr : public TextExpr {
 public:
  SubstrExpr(TextPtr in, NumPtr start, NumPtr count)
      : TextExpr(kUtf8, in->origin()), in_(std::move(in)), start_(std::move(start)), count_(std::move(count)) {}
  bool eval(const Row& row, std::string_view& out) override {
    Decimal start, count;
    if (!in_->eval(row, out) || !start_->eval(row, start)) return false;
    int64_t n = INT64_MAX;
    if (count_) {
      if (!count_->eval(row, count)) return false;
      n = TruncatedInteger(count);
    }
    out = Utf8Substr(out, TruncatedInteger(start), n);
    return true;
  }

 private:
  TextPtr in_;
  NumPtr start_, count_;
};

class RightExpr : public TextExpr {
 public:
  RightExpr(TextPtr in, NumPtr count) : TextExpr(kUtf8, in->origin()), in_(std::move(in)), count_(std::move(count)) {}
  bool eval(const Row& row, std::string_view& out) override {
    Decimal count;
    if (!in_->eval(row, out) || !count_->eval(row, count)) return false;
    const int64_t n = TruncatedInteger(count);
    const int64_t length = static_cast<int64_t>(Utf8Count(out));
    if (n < length) out = Utf8Substr(out, length - std::max<int64_t>(n, 0) + 1, n);
    return true;
  }

 private:
  TextPtr in_;
  NumPtr count_;
};

class ConcatExpr : public TextExpr {
 public:
  ConcatExpr(TextPtr left, TextPtr right)
      : TextExpr(left->isAscii() ? right->encoding() : left->encoding(),
                 left->origin() ? left->origin() : right->origin()),
        left_(std::move(left)),
        right_(std::move(right)) {}
  bool eval(const Row& row, std::string_view& out) override {
    std::string_view right;
    if (!left_->eval(row, out)) return false;
    buffer_.assign(out);  // the right side may reuse the buffer `out` points into
    if (!right_->eval(row, right)) return false;
    buffer_.append(right);
    out = buffer_;
    return true;
  }

 private:
  TextPtr left_, right_;
  std::string buffer_;
};

// ---- numeric values -----------------------------------------------------

template <typename T>
T LoadLe(const char* p) {
  T v;
  std::memcpy(&v, p, sizeof v);  // DBF binary fields are little-endian, as is this machine
  return v;
}

class NumColumnExpr : public NumExpr {
 public:
  NumColumnExpr(const ColumnRef& c, std::string name) : c_(c), name_(std::move(name)) {}
  bool eval(const Row& row, Decimal& out) override {
    if (c_.isNull(row)) return false;
    std::string_view b = c_.bytes(row);
    switch (c_.type) {
      case 'I': out = FromInteger(LoadLe<int32_t>(b.data()), 0); break;
      case 'Y': out = Decimal{LoadLe<int64_t>(b.data()), 4}; break;
      case 'B': out = FromDouble(LoadLe<double>(b.data())); break;
      default:
        // A value that is no number has no reading a rule could trust: the
        // rule cannot run, and so the run cannot pass.
        if (!ParseField(b, c_.decimals, out)) throw QueryError("字段" + name_ + "的内容不是数值，无法按数值计算");
    }
    return true;
  }

 private:
  // A B field holds binary floating point; its decimals say how many places
  // are meaningful, so the value is taken rounded to them.
  Decimal FromDouble(double v) const {
    char text[64];
    int n = std::snprintf(text, sizeof text, "%.*f", std::min(c_.decimals, 15), std::abs(v));
    Decimal d;
    if (n <= 0 || n >= static_cast<int>(sizeof text) || !ParseField(std::string_view(text, n), c_.decimals, d))
      throw QueryError("数值超出范围");
    return v < 0 ? Negate(d) : d;
  }

  ColumnRef c_;
  std::string name_;  // as the table spells it, for the message
};

class NumLiteralExpr : public NumExpr {
 public:
  explicit NumLiteralExpr(Decimal v) : v_(v) {}
  bool eval(const Row&, Decimal& out) override {
    out = v_;
    return true;
  }

 private:
  Decimal v_;
};

class NegateExpr : public NumExpr {
 public:
  explicit NegateExpr(NumPtr in) : in_(std::move(in)) {}
  bool eval(const Row& row, Decimal& out) override {
    if (!in_->eval(row, out)) return false;
    out = Negate(out);
    return true;
  }

 private:
  NumPtr in_;
};

class AddExpr : public NumExpr {
 public:
  AddExpr(NumPtr left, NumPtr right, bool subtract)
      : left_(std::move(left)), right_(std::move(right)), subtract_(subtract) {}
  bool eval(const Row& row, Decimal& out) override {
    Decimal right;
    if (!left_->eval(row, out) || !right_->eval(row, right)) return false;
    out = subtract_ ? Subtract(out, right) : Add(out, right);
    return true;
  }

 private:
  NumPtr left_, right_;
  bool subtract_;
};

class LengthExpr : public NumExpr {
 public:
  explicit LengthExpr(TextPtr in) : in_(std::move(in)) {}
  bool eval(const Row& row, Decimal& out) override {
    std::string_view s;
    if (!in_->eval(row, s)) return false;
    out = FromInteger(static_cast<int64_t>(Utf8Count(s)), 0);
    return true;
  }

 private:
  TextPtr in_;
};

class ValExpr : public NumExpr {
 public:
  explicit ValExpr(TextPtr in) : in_(std::move(in)) {}
  bool eval(const Row& row, Decimal& out) override {
    std::string_view s;
    if (!in_->eval(row, s)) return false;
    out = LeadingNumber(s);
    return true;
  }

 private:
  TextPtr in_;
};

class AtExpr : public NumExpr {
 public:
  AtExpr(TextPtr needle, TextPtr haystack) : needle_(std::move(needle)), haystack_(std::move(haystack)) {}
  bool eval(const Row& row, Decimal& out) override {
    std::string_view needle, haystack;
    if (!needle_->eval(row, needle)) return false;
    needleCopy_.assign(needle);  // both sides may be views into buffers of their own nodes
    if (!haystack_->eval(row, haystack)) return false;
    const size_t at = needleCopy_.empty() ? std::string_view::npos : haystack.find(needleCopy_);
    out = FromInteger(at == std::string_view::npos ? 0 : static_cast<int64_t>(Utf8Count(haystack.substr(0, at))) + 1, 0);
    return true;
  }

 private:
  TextPtr needle_, haystack_;
  std::string needleCopy_;
};

class GroupCountExpr : public NumExpr {
 public:
  GroupCountExpr(std::shared_ptr<const GroupCounts> counts, int distinct)
      : counts_(std::move(counts)), distinct_(distinct) {}
  bool eval(const Row&, Decimal& out) override {
    out = FromInteger(distinct_ < 0 ? counts_->records : counts_->distinct[static_cast<size_t>(distinct_)], 0);
    return true;
  }

 private:
  std::shared_ptr<const GroupCounts> counts_;
  int distinct_;
};

// ---- predicates ---------------------------------------------------------

bool Eval(TextExpr& e, const Row& row, std::string_view& out) { return e.eval(row, out); }
bool Eval(NumExpr& e, const Row& row, Decimal& out) { return e.eval(row, out); }
int OrderOf(std::string_view a, std::string_view b) { return ComparePadded(a, b); }
int OrderOf(const Decimal& a, const Decimal& b) { return Order(a, b); }

template <typename E>
struct ValueOf;
template <>
struct ValueOf<TextExpr> {
  using Type = std::string_view;
};
template <>
struct ValueOf<NumExpr> {
  using Type = Decimal;
};

Tri Truth(bool b) { return b ? Tri::True : Tri::False; }
Tri Negated(Tri t) { return t == Tri::Unknown ? t : Truth(t == Tri::False); }

bool Holds(int order, CmpOp op) {
  switch (op) {
    case CmpOp::Eq: return order == 0;
    case CmpOp::Ne: return order != 0;
    case CmpOp::Lt: return order < 0;
    case CmpOp::Le: return order <= 0;
    case CmpOp::Gt: return order > 0;
    case CmpOp::Ge: return order >= 0;
  }
  return false;
}

template <typename E>
class CompareExpr : public Pred {
 public:
  CompareExpr(std::unique_ptr<E> left, CmpOp op, std::unique_ptr<E> right)
      : left_(std::move(left)), right_(std::move(right)), op_(op) {}
  Tri test(const Row& row) override {
    typename ValueOf<E>::Type a, b;
    if (!Eval(*left_, row, a) || !Eval(*right_, row, b)) return Tri::Unknown;
    return Truth(Holds(OrderOf(a, b), op_));
  }

 private:
  std::unique_ptr<E> left_, right_;
  CmpOp op_;
};

template <typename E>
class InListExpr : public Pred {
 public:
  InListExpr(std::unique_ptr<E> subject, std::vector<std::unique_ptr<E>> items)
      : subject_(std::move(subject)), items_(std::move(items)) {}
  Tri test(const Row& row) override {
    typename ValueOf<E>::Type x, item;
    if (!Eval(*subject_, row, x)) return Tri::Unknown;
    bool sawNull = false;
    for (auto& e : items_) {
      if (!Eval(*e, row, item))
        sawNull = true;
      else if (OrderOf(x, item) == 0)
        return Tri::True;
    }
    return sawNull ? Tri::Unknown : Tri::False;
  }
  int cost() const override { return 1 + static_cast<int>(items_.size()) / 4; }

 private:
  std::unique_ptr<E> subject_;
  std::vector<std::unique_ptr<E>> items_;
};

// A text column against literals of its own code page, the hot path of the
// rules (sjrq='20080808', zjzhlb not in('0','1','2','3','9')): each literal is
// padded to the field's width once, so equality is one comparison of the
// field's bytes.
class ColumnInLiteralsExpr : public Pred {
 public:
  ColumnInLiteralsExpr(const ColumnRef& c, const std::vector<const std::string*>& literals) : c_(c) {
    for (const std::string* lit : literals) {
      std::string_view trimmed = TrimRight(*lit);
      if (trimmed.size() > c.length) continue;  // can never equal the field
      padded_.push_back(std::string(trimmed) + std::string(c.length - trimmed.size(), ' '));
    }
  }
  Tri test(const Row& row) override { return match(row.rec[c_.depth]); }
  void testMany(const Row* rows, const uint16_t* which, int n, Tri* out) override {
    for (int k = 0; k < n; ++k) out[k] = match(rows[which[k]].rec[c_.depth]);
  }

 private:
  Tri match(const uint8_t* rec) const {
    if (c_.nullMask && (rec[c_.nullOffset] & c_.nullMask)) return Tri::Unknown;
    const uint8_t* field = rec + c_.offset;
    for (const std::string& p : padded_)
      if (SameBytes(field, p.data(), c_.length)) return Tri::True;
    return Tri::False;
  }

  // Fields are short: word compares beat a call to memcmp.
  static bool SameBytes(const uint8_t* a, const char* b, size_t n) {
    size_t i = 0;
    for (uint64_t x, y; i + 8 <= n; i += 8) {
      std::memcpy(&x, a + i, 8);
      std::memcpy(&y, b + i, 8);
      if (x != y) return false;
    }
    for (; i < n; ++i)
      if (a[i] != static_cast<uint8_t>(b[i])) return false;
    return true;
  }

  ColumnRef c_;
  std::vector<std::string> padded_;  // literals that fit the field, blank-padded to its width
};

class IsNullExpr : public Pred {
 public:
  IsNullExpr(Value v, bool negated) : v_(std::move(v)), negated_(negated) {}
  Tri test(const Row& row) override { return Truth(v_.isNull(row) != negated_); }

 private:
  Value v_;
  bool negated_;
};

class LogicalColumnExpr : public Pred {
 public:
  explicit LogicalColumnExpr(const ColumnRef& c) : c_(c) {}
  Tri test(const Row& row) override {
    if (c_.isNull(row)) return Tri::Unknown;
    char v = c_.bytes(row)[0];
    return Truth(v == 'T' || v == 't' || v == 'Y' || v == 'y');
  }

 private:
  ColumnRef c_;
};

// % and _ over characters, with the usual backtracking to the latest %:
// linear for patterns of one %, and never worse than quadratic.
class LikeExpr : public Pred {
 public:
  LikeExpr(TextPtr text, TextPtr pattern) : text_(std::move(text)), pattern_(std::move(pattern)) {}
  Tri test(const Row& row) override {
    std::string_view text, pattern;
    if (!pattern_->eval(row, pattern)) return Tri::Unknown;
    patternCopy_.assign(TrimRight(pattern));
    if (!text_->eval(row, text)) return Tri::Unknown;
    return Truth(Matches(TrimRight(text), patternCopy_));
  }
  int cost() const override { return 4; }

 private:
  static size_t CharLength(std::string_view s, size_t i) {
    size_t n = 1;
    while (i + n < s.size() && (static_cast<unsigned char>(s[i + n]) & 0xC0) == 0x80) ++n;
    return n;
  }
  static bool Matches(std::string_view s, std::string_view p) {
    size_t si = 0, pi = 0;
    size_t starP = std::string_view::npos, starS = 0;
    while (si < s.size()) {
      if (pi < p.size() && p[pi] == '%') {
        starP = ++pi;
        starS = si;
      } else if (pi < p.size() && p[pi] == '_') {
        si += CharLength(s, si);
        ++pi;
      } else if (pi < p.size() && p.compare(pi, CharLength(p, pi), s, si, CharLength(s, si)) == 0) {
        si += CharLength(s, si);
        pi += CharLength(p, pi);
      } else if (starP != std::string_view::npos) {
        starS += CharLength(s, starS);
        si = starS;
        pi = starP;
      } else {
        return false;
      }
    }
    while (pi < p.size() && p[pi] == '%') ++pi;
    return pi == p.size();
  }

  TextPtr text_, pattern_;
  std::string patternCopy_;
};

class EmptyExpr : public Pred {
 public:
  explicit EmptyExpr(Value v) : v_(std::move(v)) {}
  Tri test(const Row& row) override {
    if (v_.text) {
      std::string_view s;
      return Truth(v_.text->eval(row, s) && TrimRight(s).empty());
    }
    Decimal d;
    return Truth(v_.num->eval(row, d) && d.units == 0);
  }

 private:
  Value v_;
};

// and / or over any number of operands, cheapest first: the outcome does not
// depend on the order, and a False (True) operand ends the work early.
class JunctionExpr : public Pred {
 public:
  JunctionExpr(std::vector<PredPtr> ops, bool isAnd) : ops_(std::move(ops)), isAnd_(isAnd) {
    std::stable_sort(ops_.begin(), ops_.end(),
                     [](const PredPtr& a, const PredPtr& b) { return a->cost() < b->cost(); });
  }
  Tri test(const Row& row) override {
    bool unknown = false;
    for (auto& op : ops_) {
      Tri t = op->test(row);
      if (t == decisive()) return t;
      unknown |= t == Tri::Unknown;
    }
    return unknown ? Tri::Unknown : neutral();
  }
  // Each operand sees only the rows that are still undecided.
  void testMany(const Row* rows, const uint16_t* which, int n, Tri* out) override {
    uint16_t active[kBatch], slot[kBatch];
    Tri t[kBatch];
    for (int k = 0; k < n; ++k) {
      out[k] = neutral();
      active[k] = which[k];
      slot[k] = static_cast<uint16_t>(k);
    }
    for (size_t i = 0; i < ops_.size() && n > 0; ++i) {
      ops_[i]->testMany(rows, active, n, t);
      int kept = 0;
      for (int k = 0; k < n; ++k) {
        if (t[k] != Tri::True && t[k] != Tri::False) out[slot[k]] = Tri::Unknown;
        if (t[k] == decisive()) {
          out[slot[k]] = t[k];
          continue;
        }
        active[kept] = active[k];
        slot[kept++] = slot[k];
      }
      n = kept;
    }
  }
  int cost() const override {
    int sum = 0;
    for (const auto& op : ops_) sum += op->cost();
    return sum;
  }

 private:
  Tri decisive() const { return isAnd_ ? Tri::False : Tri::True; }
  Tri neutral() const { return isAnd_ ? Tri::True : Tri::False; }

  std::vector<PredPtr> ops_;
  bool isAnd_;
};

class NotExpr : public Pred {
 public:
  explicit NotExpr(PredPtr in) : in_(std::move(in)) {}
  Tri test(const Row& row) override { return Negated(in_->test(row)); }
  void testMany(const Row* rows, const uint16_t* which, int n, Tri* out) override {
    in_->testMany(rows, which, n, out);
    for (int k = 0; k < n; ++k) out[k] = Negated(out[k]);
  }
  int cost() const override { return in_->cost(); }

 private:
  PredPtr in_;
};

class ConstantExpr : public Pred {
 public:
  explicit ConstantExpr(Tri v) : v_(v) {}
  Tri test(const Row&) override { return v_; }

 private:
  Tri v_;
};

}  // namespace

bool Value::isNull(const Row& row) const {
  if (text) {
    std::string_view s;
    return !text->eval(row, s);
  }
  Decimal d;
  return !num->eval(row, d);
}

TextPtr TextColumn(const ColumnRef& c, unsigned encoding) {
  return std::make_unique<TextColumnExpr>(c, encoding);
}

TextPtr TextLiteral(std::string utf8) { return std::make_unique<TextLiteralExpr>(std::move(utf8), kUtf8); }
TextPtr ToUtf8(TextPtr text) {
  if (text->isAscii() || TextExpr::IsUtf8(text->encoding())) return text;
  return std::make_unique<RecodeExpr>(std::move(text), kUtf8, "\xEF\xBF\xBD");
}

namespace {

// A literal in `codePage`, or nothing when some character has no place there.
std::optional<std::string> EncodedLiteral(const std::string& utf8, unsigned codePage) {
  std::string encoded, back;
  platform::CodePageText(codePage, platform::CodePageText::Encode, "\x01").convert(utf8, encoded);
  platform::CodePageText(codePage, platform::CodePageText::Decode, "\x01").convert(encoded, back);
  if (back != utf8) return std::nullopt;
  return encoded;
}

}  // namespace

bool FitsCodePage(const TextExpr& text, unsigned codePage) {
  if (text.isAscii() || text.encoding() == codePage) return true;
  if (const std::string* literal = text.asLiteral())
    return TextExpr::IsUtf8(text.encoding()) && EncodedLiteral(*literal, codePage).has_value();
  return TextExpr::IsUtf8(text.encoding()) && text.origin() == codePage;
}

TextPtr ToCodePage(TextPtr text, unsigned codePage) {
  if (text->isAscii() || text->encoding() == codePage) return text;
  if (const std::string* literal = text->asLiteral())
    return std::make_unique<TextLiteralExpr>(*EncodedLiteral(*literal, codePage), codePage);
  return std::make_unique<RecodeExpr>(std::move(text), codePage, "?");
}
TextPtr Trim(TextPtr text, TrimSide side) { return std::make_unique<TrimExpr>(std::move(text), side); }
TextPtr ChangeCase(TextPtr utf8, bool upper) {
  return std::make_unique<ChangeCaseExpr>(std::move(utf8), upper);
}
TextPtr Substr(TextPtr utf8, NumPtr start, NumPtr count) {
  return std::make_unique<SubstrExpr>(std::move(utf8), std::move(start), std::move(count));
}

TextPtr Right(TextPtr utf8, NumPtr count) { return std::make_unique<RightExpr>(std::move(utf8), std::move(count)); }
TextPtr Concat(TextPtr left, TextPtr right) { return std::make_unique<ConcatExpr>(std::move(left), std::move(right)); }

NumPtr NumColumn(const ColumnRef& c, std::string name) { return std::make_unique<NumColumnExpr>(c, std::move(name)); }
NumPtr NumLiteral(Decimal v) { return std::make_unique<NumLiteralExpr>(v); }
NumPtr NumNegate(NumPtr in) { return std::make_unique<NegateExpr>(std::move(in)); }
NumPtr NumAdd(NumPtr left, NumPtr right, bool subtract) {
  return std::make_unique<AddExpr>(std::move(left), std::move(right), subtract);
}
NumPtr Length(TextPtr utf8) { return std::make_unique<LengthExpr>(std::move(utf8)); }
NumPtr Val(TextPtr text) { return std::make_unique<ValExpr>(std::move(text)); }
NumPtr At(TextPtr needle, TextPtr haystack) { return std::make_unique<AtExpr>(std::move(needle), std::move(haystack)); }
NumPtr GroupCount(std::shared_ptr<const GroupCounts> counts, int distinct) {
  return std::make_unique<GroupCountExpr>(std::move(counts), distinct);
}

PredPtr Compare(TextPtr left, CmpOp op, TextPtr right) {
  if (op == CmpOp::Eq || op == CmpOp::Ne) {
    const TextExpr* column = left->asColumn() ? left.get() : right.get();
    const TextExpr* literal = left->asColumn() ? right.get() : left.get();
    if (column->asColumn() && literal->asLiteral()) {
      PredPtr eq = std::make_unique<ColumnInLiteralsExpr>(
          *column->asColumn(), std::vector<const std::string*>{literal->asLiteral()});
      return op == CmpOp::Eq ? std::move(eq) : Not(std::move(eq));
    }
  }
  return std::make_unique<CompareExpr<TextExpr>>(std::move(left), op, std::move(right));
}
PredPtr Compare(NumPtr left, CmpOp op, NumPtr right) {
  return std::make_unique<CompareExpr<NumExpr>>(std::move(left), op, std::move(right));
}
PredPtr InList(TextPtr subject, std::vector<TextPtr> items) {
  std::vector<const std::string*> literals;
  for (const TextPtr& item : items)
    if (item->asLiteral()) literals.push_back(item->asLiteral());
  if (subject->asColumn() && literals.size() == items.size())
    return std::make_unique<ColumnInLiteralsExpr>(*subject->asColumn(), literals);
  return std::make_unique<InListExpr<TextExpr>>(std::move(subject), std::move(items));
}
PredPtr InList(NumPtr subject, std::vector<NumPtr> items) {
  return std::make_unique<InListExpr<NumExpr>>(std::move(subject), std::move(items));
}
PredPtr IsNull(Value v, bool negated) { return std::make_unique<IsNullExpr>(std::move(v), negated); }
PredPtr LogicalColumn(const ColumnRef& c) { return std::make_unique<LogicalColumnExpr>(c); }
PredPtr Like(TextPtr text, TextPtr pattern) { return std::make_unique<LikeExpr>(std::move(text), std::move(pattern)); }
PredPtr Empty(Value v) { return std::make_unique<EmptyExpr>(std::move(v)); }
PredPtr And(std::vector<PredPtr> ops) {
  if (ops.empty()) return Constant(Tri::True);
  if (ops.size() == 1) return std::move(ops[0]);
  return std::make_unique<JunctionExpr>(std::move(ops), true);
}
PredPtr Or(std::vector<PredPtr> ops) {
  if (ops.empty()) return Constant(Tri::False);
  if (ops.size() == 1) return std::move(ops[0]);
  return std::make_unique<JunctionExpr>(std::move(ops), false);
}
PredPtr Not(PredPtr in) { return std::make_unique<NotExpr>(std::move(in)); }
PredPtr Constant(Tri v) { return std::make_unique<ConstantExpr>(v); }

std::string Display(Value& v, const Row& row) {
  if (v.num) {
    Decimal d;
    return v.num->eval(row, d) ? Format(d) : "NULL";
  }
  std::string_view s;
  return v.text->eval(row, s) ? std::string(TrimRight(s)) : "NULL";
}

}  // namespace fc::query
