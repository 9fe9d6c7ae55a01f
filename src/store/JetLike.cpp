#include "store/JetLike.h"

#include <sqlite3.h>

#include <memory>
#include <vector>

#include "store/Store.h"
#include "text/Utf8.h"

namespace fc::store {

using text::NextCharacter;

namespace {

// Letters compare without regard to case: ASCII, the Latin-1 letters and the
// full-width Latin letters that Chinese input methods produce.
char32_t Fold(char32_t c) {
  if (c >= 'A' && c <= 'Z') return c + 0x20;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
  return c;
}

struct Range {
  char32_t low, high;  // both ends included, as written
};

struct Element {
  enum Kind { Star, AnyOne, Digit, Literal, Class } kind;
  char32_t literal = 0;    // Literal: the folded character
  bool negated = false;    // Class: "[!...]"
  std::size_t first = 0;   // Class: first of its ranges in Pattern::ranges
  std::size_t count = 0;   // Class: number of its ranges
};

struct Pattern {
  std::vector<Element> elements;
  std::vector<Range> ranges;
};

// Reads the class that starts after a "[" at chars[i]; returns the index
// after its "]", or 0 when the class is not closed (then "[" is a literal).
std::size_t ParseClass(const std::u32string& chars, std::size_t i, Pattern& out) {
  Element e{Element::Class};
  if (i < chars.size() && chars[i] == '!') e.negated = true, ++i;
  e.first = out.ranges.size();
  while (i < chars.size() && chars[i] != ']') {
    const char32_t low = chars[i++];
    char32_t high = low;
    if (i + 1 < chars.size() && chars[i] == '-' && chars[i + 1] != ']') {
      high = chars[i + 1];
      i += 2;
    }
    out.ranges.push_back({low, high});
  }
  if (i >= chars.size()) {
    out.ranges.resize(e.first);
    return 0;
  }
  e.count = out.ranges.size() - e.first;
  out.elements.push_back(e);
  return i + 1;
}

std::u32string Decode(std::string_view text) {
  std::u32string chars;
  std::size_t pos = 0;
  while (pos < text.size()) chars.push_back(NextCharacter(text, pos));
  return chars;
}

Pattern Parse(std::string_view text, std::optional<char32_t> escape) {
  const std::u32string chars = Decode(text);
  Pattern out;
  std::size_t i = 0;
  while (i < chars.size()) {
    const char32_t c = chars[i++];
    if (escape && c == *escape && i < chars.size()) {
      out.elements.push_back({Element::Literal, Fold(chars[i++])});
    } else if (c == '*') {
      if (out.elements.empty() || out.elements.back().kind != Element::Star)
        out.elements.push_back({Element::Star});
    } else if (c == '?') {
      out.elements.push_back({Element::AnyOne});
    } else if (c == '#') {
      out.elements.push_back({Element::Digit});
    } else if (c == '[') {
      const std::size_t next = ParseClass(chars, i, out);
      if (next) i = next;
      else out.elements.push_back({Element::Literal, '['});
    } else {
      out.elements.push_back({Element::Literal, Fold(c)});
    }
  }
  return out;
}

bool InRange(const Range& r, char32_t c) {
  if (c >= r.low && c <= r.high) return true;
  const char32_t f = Fold(c);
  return f >= Fold(r.low) && f <= Fold(r.high);
}

bool MatchesOne(const Pattern& p, const Element& e, char32_t c) {
  switch (e.kind) {
    case Element::AnyOne: return true;
    case Element::Digit: return c >= '0' && c <= '9';
    case Element::Literal: return Fold(c) == e.literal;
    case Element::Class: {
      bool hit = false;
      for (std::size_t r = e.first; r < e.first + e.count && !hit; ++r) hit = InRange(p.ranges[r], c);
      return hit != e.negated;
    }
    case Element::Star: break;
  }
  return false;
}

// Greedy matching that remembers only the latest star: on a mismatch the
// star takes one more character and matching resumes after it. Every
// character is retried at most once per pattern element, so a pattern such as
// "*a*a*a*b" costs text length times pattern length, never more.
bool Match(const std::u32string& text, const Pattern& p) {
  const auto& el = p.elements;
  const std::size_t none = el.size();
  std::size_t t = 0, e = 0, star = none, starText = 0;
  while (t < text.size()) {
    if (e < el.size() && el[e].kind == Element::Star) {
      star = e++;
      starText = t;
    } else if (e < el.size() && MatchesOne(p, el[e], text[t])) {
      ++e, ++t;
    } else if (star != none) {
      e = star + 1;
      t = ++starText;
    } else {
      return false;
    }
  }
  while (e < el.size() && el[e].kind == Element::Star) ++e;
  return e == el.size();
}

std::string_view ArgText(sqlite3_value* v) {
  const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(v));
  return {bytes ? bytes : "", static_cast<std::size_t>(sqlite3_value_bytes(v))};
}

void DeletePattern(void* p) { delete static_cast<Pattern*>(p); }

// like(pattern, text [, escape]), as SQLite calls it for "text LIKE pattern".
// The parsed pattern is kept with the statement, so a selection over thousands
// of rows parses its constant pattern once (an escape argument could vary by
// row, so patterns with one are parsed each time).
void SqlLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
  for (int i = 0; i < argc; ++i)
    if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return sqlite3_result_null(ctx);
  const std::u32string text = Decode(ArgText(argv[1]));
  if (argc == 3) {
    const std::string_view e = ArgText(argv[2]);
    std::size_t pos = 0;
    const char32_t escape = e.empty() ? 0 : NextCharacter(e, pos);
    if (e.empty() || pos != e.size())
      return sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
    return sqlite3_result_int(ctx, Match(text, Parse(ArgText(argv[0]), escape)));
  }
  if (const auto* cached = static_cast<const Pattern*>(sqlite3_get_auxdata(ctx, 0)))
    return sqlite3_result_int(ctx, Match(text, *cached));
  auto parsed = std::make_unique<Pattern>(Parse(ArgText(argv[0]), std::nullopt));
  sqlite3_result_int(ctx, Match(text, *parsed));
  sqlite3_set_auxdata(ctx, 0, parsed.release(), DeletePattern);
}

}  // namespace

bool JetLike(std::string_view text, std::string_view pattern) {
  return Match(Decode(text), Parse(pattern, std::nullopt));
}

bool JetLike(std::string_view text, std::string_view pattern, char32_t escape) {
  return Match(Decode(text), Parse(pattern, escape));
}

int RegisterJetLike(sqlite3* db) {
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS;
  for (int argc : {2, 3}) {
    const int rc = sqlite3_create_function_v2(db, "like", argc, flags, nullptr, SqlLike, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) return rc;
  }
  return SQLITE_OK;
}

}  // namespace fc::store
