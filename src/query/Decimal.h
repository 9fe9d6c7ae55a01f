// query/Decimal.h - exact decimal numbers for numeric fields and literals.
//
// A Decimal is a 128-bit integer count of units of 10^-scale, so 100.10 is
// {10010, 2}. Arithmetic and comparison align the scales first, which makes
// 0.1 + 0.2 = 0.3 and 100.10 + 0.20 > 100.29 hold exactly, as money sums must;
// binary floating point never enters.
//
//   Decimal a, b;
//   ParseField("   100.10", 2, a);
//   ParseLiteral("0.20", b);
//   Decimal sum = Add(a, b);             // {10030, 2}
//   Order(sum, Decimal{10030, 2}) == 0;
//
// Results that do not fit in 128 bits raise QueryError ("数值溢出").
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fc::query {

using Int128 = __int128;

struct Decimal {
  Int128 units = 0;  // the value times 10^scale
  int scale = 0;     // decimal places, 0 to kMaxScale
};

inline constexpr int kMaxScale = 30;

// The text of a DBF numeric field (N or F), strictly: blanks, an optional
// sign, digits with at most `decimals` of them after one point, blanks. A
// blank field is 0. Anything else is no number (asterisks, which a writer
// puts in a value too wide for its field, letters, NUL bytes, a sign or a
// point alone): false, and `out` is left alone. Every reader of a numeric
// field goes through here, so that what the structure check accepts the
// rules compute with. The result has `decimals` decimals.
bool ParseField(std::string_view text, int decimals, Decimal& out);

// VAL()'s reading of a text: leading blanks, an optional sign, digits and a
// fraction, up to the first other character; 0 when there is no digit.
Decimal LeadingNumber(std::string_view text);

// A numeric literal of the query ("12", "12.50", ".5"); false when it has
// more digits than an exact decimal can hold.
bool ParseLiteral(std::string_view text, Decimal& out);

Decimal FromInteger(int64_t value, int scale);
Decimal Add(const Decimal& a, const Decimal& b);
Decimal Subtract(const Decimal& a, const Decimal& b);
Decimal Negate(const Decimal& a);

// <0, 0 or >0 as a is below, equal to or above b, whatever their scales.
int Order(const Decimal& a, const Decimal& b);

// The same value with trailing zero decimals removed: equal values have equal
// normal forms, which is what hashing needs.
Decimal Normalized(Decimal d);

// The value with its scale's decimals: "-12.50", "0", "0.05".
std::string Format(const Decimal& d);

// The value truncated toward zero, clamped to the range of int64.
int64_t TruncatedInteger(const Decimal& d);

}  // namespace fc::query
