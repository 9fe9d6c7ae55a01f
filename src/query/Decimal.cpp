#include "query/Decimal.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

#include "query/Session.h"
#include "text/Text.h"

namespace fc::query {
namespace {

// 10^n for n in 0..38 (10^38 < 2^127).
constexpr auto kPow10 = [] {
  std::array<Int128, 39> p{};
  p[0] = 1;
  for (size_t i = 1; i < p.size(); ++i) p[i] = p[i - 1] * 10;
  return p;
}();

Int128 Pow10(int n) { return kPow10[static_cast<size_t>(n)]; }

[[noreturn]] void Overflow() { throw QueryError("数值溢出"); }

// units * 10^by, false when that does not fit.
bool Rescaled(Int128 units, int by, Int128& out) {
  if (by == 0) return out = units, true;
  if (by > 38) return units == 0 ? (out = 0, true) : false;
  // Amounts fit in 64 bits and scale by little: a 128-bit multiply with an
  // overflow check is a library call, taken only when needed.
  if (units >= INT64_MIN && units <= INT64_MAX && by <= 18) {
    int64_t small = 0;
    if (!__builtin_mul_overflow(static_cast<int64_t>(units), static_cast<int64_t>(Pow10(by)), &small)) {
      out = small;
      return true;
    }
  }
  return !__builtin_mul_overflow(units, Pow10(by), &out);
}

Decimal Aligned(const Decimal& d, int scale) {
  Decimal out{0, scale};
  if (!Rescaled(d.units, scale - d.scale, out.units)) Overflow();
  return out;
}

// A number at the start of `text`: leading blanks, an optional sign, digits
// and one point, up to the first other byte. `end` is where reading stopped,
// `digits` whether any digit was read.
struct Scanned {
  Decimal value;
  size_t end = 0;
  bool digits = false;
};

Scanned ScanNumber(std::string_view text) {
  const char* p = text.data();
  const char* const end = p + text.size();
  // Numbers stand right-aligned in wide fields: skip their blanks 8 at a time.
  for (uint64_t word; end - p >= 8 && (std::memcpy(&word, p, 8), word == 0x2020202020202020ull);) p += 8;
  while (p < end && *p == ' ') ++p;
  bool negative = false;
  if (p < end && (*p == '-' || *p == '+')) negative = *p++ == '-';
  // Digits gather in 64 bits, 18 at a time, and only then join the 128-bit
  // value: every record's amounts pass through here, and most have fewer.
  Int128 units = 0;
  uint64_t chunk = 0;
  int chunkDigits = 0;
  int significant = 0;  // digits from the first that is not 0
  bool anyDigit = false;
  int decimals = 0;
  bool fraction = false;
  // A field holds at most 254 bytes; digits beyond 36 could overflow and are
  // not produced by any writer, so they end the number like any other byte.
  for (; p < end && significant < 36; ++p) {
    if (*p == '.' && !fraction) {
      fraction = true;
      continue;
    }
    const unsigned digit = static_cast<unsigned char>(*p) - unsigned{'0'};
    if (digit > 9 || decimals == kMaxScale) break;
    chunk = chunk * 10 + digit;
    if (++chunkDigits == 18) {
      units = units * Pow10(18) + chunk;
      chunk = 0;
      chunkDigits = 0;
    }
    decimals += fraction;
    anyDigit = true;
    significant += significant > 0 || digit != 0;
  }
  units = units == 0 ? Int128{chunk} : units * Pow10(chunkDigits) + chunk;
  return {Decimal{negative ? -units : units, decimals}, static_cast<size_t>(p - text.data()), anyDigit};
}

bool AllBlank(std::string_view text) { return text.find_first_not_of(' ') == std::string_view::npos; }

}  // namespace

bool ParseField(std::string_view text, int decimals, Decimal& out) {
  const Scanned n = ScanNumber(text);
  if (!n.digits) {
    if (!AllBlank(text)) return false;  // a sign or a point alone, or no digit at all
    out = Decimal{0, decimals};
    return true;
  }
  if (n.value.scale > decimals || !AllBlank(text.substr(n.end))) return false;
  out = Aligned(n.value, decimals);
  return true;
}

Decimal LeadingNumber(std::string_view text) { return ScanNumber(text).value; }

bool ParseLiteral(std::string_view text, Decimal& out) {
  Decimal d;
  bool fraction = false;
  int digits = 0;
  for (char c : text) {
    if (c == '.') {
      fraction = true;
      continue;
    }
    d.units = d.units * 10 + (c - '0');
    d.scale += fraction;
    digits += d.units != 0;
    if (digits > 36 || d.scale > kMaxScale) return false;
  }
  out = d;
  return true;
}

Decimal FromInteger(int64_t value, int scale) { return Aligned(Decimal{value, 0}, scale); }

Decimal Add(const Decimal& a, const Decimal& b) {
  int scale = std::max(a.scale, b.scale);
  Decimal x = Aligned(a, scale), y = Aligned(b, scale), out{0, scale};
  if (__builtin_add_overflow(x.units, y.units, &out.units)) Overflow();
  return out;
}

Decimal Negate(const Decimal& a) { return Decimal{-a.units, a.scale}; }

Decimal Subtract(const Decimal& a, const Decimal& b) { return Add(a, Negate(b)); }

int Order(const Decimal& a, const Decimal& b) {
  Int128 x = a.units, y = b.units;
  // A value that overflows when aligned is larger in magnitude than any
  // 128-bit value of the other side, so its sign decides.
  if (a.scale < b.scale && !Rescaled(a.units, b.scale - a.scale, x)) return a.units < 0 ? -1 : 1;
  if (b.scale < a.scale && !Rescaled(b.units, a.scale - b.scale, y)) return b.units < 0 ? 1 : -1;
  return x < y ? -1 : x > y ? 1 : 0;
}

Decimal Normalized(Decimal d) {
  if (d.units == 0) return Decimal{0, 0};
  while (d.scale > 0 && d.units % 10 == 0) {
    d.units /= 10;
    --d.scale;
  }
  return d;
}

std::string Format(const Decimal& d) {
  bool negative = d.units < 0;
  // Digits of the magnitude, least significant first; -(min) is not
  // representable, so work on the negative side.
  std::string digits;
  Int128 v = negative ? d.units : -d.units;
  do {
    digits.push_back(static_cast<char>('0' - static_cast<int>(v % 10)));
    v /= 10;
  } while (v != 0);
  while (static_cast<int>(digits.size()) <= d.scale) digits.push_back('0');
  std::string out = negative ? "-" : "";
  for (size_t i = digits.size(); i-- > 0;) {
    out.push_back(digits[i]);
    if (i == static_cast<size_t>(d.scale) && i > 0) out.push_back('.');
  }
  return out;
}

int64_t TruncatedInteger(const Decimal& d) {
  Int128 v = d.scale > 38 ? 0 : d.units / Pow10(d.scale);
  constexpr int64_t lo = std::numeric_limits<int64_t>::min(), hi = std::numeric_limits<int64_t>::max();
  return v < lo ? lo : v > hi ? hi : static_cast<int64_t>(v);
}

}  // namespace fc::query
