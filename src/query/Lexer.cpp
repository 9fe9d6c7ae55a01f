#include "query/Lexer.h"

#include <algorithm>
#include <array>

#include "query/Session.h"
#include "text/Text.h"

namespace fc::query {
namespace {

// The words of the dialect, and the words of clauses it does not have, so
// that "from t order by x" is not read as table t with the alias "order".
constexpr std::array<std::string_view, 28> kKeywords = {
    "select", "from",   "where", "group",  "by",    "and",  "or",      "not",     "is",    "null",
    "in",     "exists", "order", "having", "union", "join", "inner",   "left",    "right", "outer",
    "full",   "cross",  "on",    "into",   "as",    "like", "between", "distinct"};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
using text::IsDigit;
// Bytes of UTF-8 sequences count as letters, so names written in Chinese lex
// as identifiers and reach the name lookup, which reports them properly.
bool IsNameStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || (c & 0x80);
}
bool IsNameChar(char c) { return IsNameStart(c) || IsDigit(c); }

bool IsKeyword(std::string_view lower) {
  for (std::string_view k : kKeywords)
    if (k == lower) return true;
  return false;
}

// Two-character symbols first, so "<>" is not read as "<" and ">".
size_t SymbolLength(std::string_view rest) {
  for (std::string_view two : {"<>", "!=", "<=", ">="})
    if (rest.starts_with(two)) return 2;
  static constexpr std::string_view kSingles = "(),.*+-=#<>";
  return kSingles.find(rest[0]) != std::string_view::npos ? 1 : 0;
}

}  // namespace

std::string Excerpt(std::string_view sql, size_t pos) {
  size_t end = std::min(sql.size(), pos + 30);
  while (end < sql.size() && (sql[end] & 0xC0) == 0x80) ++end;  // finish the character
  return std::string(sql.substr(pos, end - pos));
}

std::vector<Token> Tokenize(std::string_view sql) {
  std::vector<Token> tokens;
  size_t i = 0;
  while (i < sql.size()) {
    char c = sql[i];
    if (IsBlank(c)) {
      ++i;
      continue;
    }
    size_t start = i;
    if (c == '\'' || c == '"') {
      size_t close = sql.find(c, i + 1);
      if (close == std::string_view::npos) throw QueryError("字符串未结束: " + Excerpt(sql, start));
      tokens.push_back({Tok::String, std::string(sql.substr(i + 1, close - i - 1)), start});
      i = close + 1;
      continue;
    }
    if (IsDigit(c) || (c == '.' && i + 1 < sql.size() && IsDigit(sql[i + 1]))) {
      while (i < sql.size() && IsDigit(sql[i])) ++i;
      if (i < sql.size() && sql[i] == '.') {
        ++i;
        while (i < sql.size() && IsDigit(sql[i])) ++i;
      }
      tokens.push_back({Tok::Number, std::string(sql.substr(start, i - start)), start});
      continue;
    }
    if (IsNameStart(c)) {
      while (i < sql.size() && IsNameChar(sql[i])) ++i;
      std::string word(sql.substr(start, i - start));
      std::string lower = text::ToLower(word);
      if (IsKeyword(lower))
        tokens.push_back({Tok::Keyword, lower, start});
      else
        tokens.push_back({Tok::Identifier, word, start});
      continue;
    }
    size_t n = SymbolLength(sql.substr(i));
    if (n == 0) throw QueryError("不支持的语法: " + Excerpt(sql, start));
    tokens.push_back({Tok::Symbol, std::string(sql.substr(i, n)), start});
    i += n;
  }
  tokens.push_back({Tok::End, "", sql.size()});
  return tokens;
}

}  // namespace fc::query
