// query/Lexer.h - splits a FoxPro-dialect query text into tokens.
//
// Keywords are recognised without regard to letter case; identifiers keep
// their spelling. Text literals are delimited by single or double quotes and
// have no escapes (FoxPro has none). Blanks are optional wherever they are in
// FoxPro: "zqgsdm<> '100001'" and "in('0','1')" both lex as expected.
//
//   std::vector<fc::query::Token> tokens = fc::query::Tokenize(sql);  // throws QueryError
//
// The last token is always End, so a parser may look one token ahead freely.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace fc::query {

enum class Tok {
  Identifier,
  Number,   // digits with an optional fraction: 12, 12.50, .5
  String,   // text between quotes, quotes removed
  Keyword,  // one of the reserved words, `text` in lower case
  Symbol,   // ( ) , . * + - = <> != # < > <= >=
  End,
};

struct Token {
  Tok kind = Tok::End;
  std::string text;  // identifier as written, literal contents, lower-case keyword, symbol
  size_t pos = 0;    // byte offset in the query text

  bool is(Tok k, std::string_view t) const { return kind == k && text == t; }
  bool isKeyword(std::string_view k) const { return is(Tok::Keyword, k); }
  bool isSymbol(std::string_view s) const { return is(Tok::Symbol, s); }
};

std::vector<Token> Tokenize(std::string_view sql);

// Up to about 30 bytes of `sql` from `pos`, cut at a character boundary, to
// show operators where a query went wrong.
std::string Excerpt(std::string_view sql, size_t pos);

}  // namespace fc::query
