// query/Eval.h - the typed evaluators that a compiled query is made of.
//
// The compiler (query/Compiler.h) turns each expression into a tree of these
// once per query; a scan then runs the tree on every record without parsing,
// name lookup or heap allocation. A Row holds the record each nesting level
// is positioned on: level 0 is the query's own table, level 1 a subquery's
// table, and so on. Values are read straight from the record bytes:
//
//   TextExpr  text; bytes in the code page `encoding()` (blank padding kept)
//             or decoded UTF-8 when encoding() is kUtf8;
//   NumExpr   exact decimals (query/Decimal.h);
//   Pred      three-valued truth: False, True or Unknown (a NULL took part).
//
// eval() returns false for NULL. A returned text view stays valid until the
// node is evaluated again. Nodes keep scratch buffers, so a tree belongs to
// one query on one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/CodePageText.h"
#include "query/Ast.h"
#include "query/Decimal.h"

namespace fc::query {

inline constexpr int kMaxDepth = 8;
// Records go through a scan in batches of this many, so that hash lookups
// of one batch can overlap their memory accesses.
inline constexpr int kBatch = 64;
// Encodings are Windows code-page numbers; 0 stands for none.
inline constexpr unsigned kUtf8 = platform::kUtf8CodePage;

struct Row {
  const uint8_t* rec[kMaxDepth] = {};  // current record per nesting level
};

enum class Tri : uint8_t { False, True, Unknown };

// Where a field's bytes and null bit sit in the records of its level.
struct ColumnRef {
  int depth = 0;            // nesting level of the field's table
  uint32_t offset = 0;      // first byte in the record
  uint32_t length = 0;      // bytes
  uint32_t nullOffset = 0;  // byte of _NullFlags holding the field's null bit
  uint8_t nullMask = 0;     // that bit; 0 when the field cannot be null
  char type = 'C';          // DBF field type
  int decimals = 0;         // N, F, B

  bool isNull(const Row& row) const { return nullMask && (row.rec[depth][nullOffset] & nullMask); }
  std::string_view bytes(const Row& row) const {
    return {reinterpret_cast<const char*>(row.rec[depth]) + offset, length};
  }
};

class TextExpr {
 public:
  // `origin`: the code page the characters come from (see origin()); by
  // default `encoding` itself, none for UTF-8.
  explicit TextExpr(unsigned encoding, unsigned origin = 0)
      : encoding_(encoding), origin_(origin ? origin : (IsUtf8(encoding) ? 0 : encoding)) {}
  virtual ~TextExpr() = default;
  virtual bool eval(const Row& row, std::string_view& out) = 0;
  // The code page of the bytes eval() yields; kUtf8 for decoded text.
  unsigned encoding() const { return encoding_; }
  // The code page of the table the characters were read from, kept when
  // they are decoded (substr, upper): texts order by their bytes in it.
  // 0 for literals, which take the order of what they meet.
  unsigned origin() const { return origin_; }
  // A literal of ASCII characters, which reads the same in every code page.
  virtual bool isAscii() const { return false; }
  // What a plain column read or a literal is, for comparisons that can skip
  // the general evaluation; null for anything else.
  virtual const ColumnRef* asColumn() const { return nullptr; }
  virtual const std::string* asLiteral() const { return nullptr; }

  static bool IsUtf8(unsigned encoding) { return encoding == kUtf8; }

 private:
  unsigned encoding_;
  unsigned origin_;
};

class NumExpr {
 public:
  virtual ~NumExpr() = default;
  virtual bool eval(const Row& row, Decimal& out) = 0;
};

class Pred {
 public:
  virtual ~Pred() = default;
  virtual Tri test(const Row& row) = 0;
  // out[k] = test(rows[which[k]]) for k < n (n <= kBatch). Hash lookups
  // override it to issue all their memory accesses before waiting on any.
  virtual void testMany(const Row* rows, const uint16_t* which, int n, Tri* out) {
    for (int k = 0; k < n; ++k) out[k] = test(rows[which[k]]);
  }
  // Relative work per test, so that and/or try cheap operands first.
  virtual int cost() const { return 1; }
};

using TextPtr = std::unique_ptr<TextExpr>;
using NumPtr = std::unique_ptr<NumExpr>;
using PredPtr = std::unique_ptr<Pred>;

// A value of either type; exactly one member is set.
struct Value {
  TextPtr text;
  NumPtr num;

  bool isText() const { return text != nullptr; }
  bool isNull(const Row& row) const;
};

// Text values.
TextPtr TextColumn(const ColumnRef& column, unsigned encoding);
TextPtr TextLiteral(std::string utf8);
// The same text decoded to UTF-8; `text` itself when it is UTF-8 already.
TextPtr ToUtf8(TextPtr text);
// Whether ToCodePage can give `text` in `codePage` without losing a
// character: a literal that converts there and back unchanged, or UTF-8
// decoded from that very code page.
bool FitsCodePage(const TextExpr& text, unsigned codePage);
// The same text in `codePage` (FitsCodePage must hold); a literal is
// converted once, here.
TextPtr ToCodePage(TextPtr text, unsigned codePage);
enum class TrimSide { Right, Left, Both };
TextPtr Trim(TextPtr text, TrimSide side);
TextPtr ChangeCase(TextPtr utf8, bool upper);
TextPtr Substr(TextPtr utf8, NumPtr start, NumPtr count);  // count may be null: to the end
TextPtr Right(TextPtr utf8, NumPtr count);                  // the last `count` characters
// The two texts joined as they are, padding kept; both in one encoding.
TextPtr Concat(TextPtr left, TextPtr right);

// Numeric values.
// `name`: the field as the table spells it, for the message when a value
// is no number (QueryError: the rule cannot run).
NumPtr NumColumn(const ColumnRef& column, std::string name);
NumPtr NumLiteral(Decimal value);
NumPtr NumNegate(NumPtr operand);
NumPtr NumAdd(NumPtr left, NumPtr right, bool subtract);
NumPtr Length(TextPtr utf8);
// The number at the start of the text after leading blanks (sign, digits, one
// decimal point), exactly; 0 when there is none.
NumPtr Val(TextPtr text);
// Where `needle` first occurs in `haystack`, in characters from 1; 0 when nowhere.
NumPtr At(TextPtr needleUtf8, TextPtr haystackUtf8);

// The counts of the group a having is tested on; the executor sets them
// before each test.
struct GroupCounts {
  int64_t records = 0;            // count(*)
  std::vector<int64_t> distinct;  // count(distinct x), in the plan's order
};
// count(*) of the group when `distinct` is -1, else its count(distinct) number `distinct`.
NumPtr GroupCount(std::shared_ptr<const GroupCounts> counts, int distinct);

// Predicates. Text operands must share their encoding (see ToUtf8). And of
// nothing is True, Or of nothing False.
PredPtr Compare(TextPtr left, CmpOp op, TextPtr right);
PredPtr Compare(NumPtr left, CmpOp op, NumPtr right);
PredPtr InList(TextPtr subject, std::vector<TextPtr> items);
PredPtr InList(NumPtr subject, std::vector<NumPtr> items);
PredPtr IsNull(Value value, bool negated);
// `utf8` like `patternUtf8`: % any characters, _ one; trailing blanks of both ignored.
PredPtr Like(TextPtr utf8, TextPtr patternUtf8);
// A text of blanks only, or the number 0; False (not Unknown) for NULL.
PredPtr Empty(Value value);
PredPtr LogicalColumn(const ColumnRef& column);  // an L field used as a condition
PredPtr And(std::vector<PredPtr> operands);
PredPtr Or(std::vector<PredPtr> operands);
PredPtr Not(PredPtr operand);
PredPtr Constant(Tri value);

// Text that FoxPro shows for a value: trailing blanks removed, numbers with
// their decimals, "NULL" for NULL. Text values must be UTF-8 (see ToUtf8).
std::string Display(Value& value, const Row& row);

}  // namespace fc::query
