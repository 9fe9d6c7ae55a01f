// query/Parser.h - parses one FoxPro-dialect query into a syntax tree.
//
// The grammar (keywords in any letter case):
//
//   query     := SELECT [DISTINCT] items FROM name [alias] [WHERE expr]
//                [GROUP BY expr {, expr} [HAVING expr]]
//   items     := '*' | expr {, expr}
//   expr      := and {OR and}               and := not {AND not}
//   not       := NOT not | EXISTS '(' query ')' | predicate
//   predicate := sum [cmp sum | IS [NOT] NULL | [NOT] IN '(' (query | expr {, expr}) ')'
//                    | [NOT] LIKE sum | [NOT] BETWEEN sum AND sum]
//   cmp       := = | <> | != | # | < | > | <= | >=
//   sum       := unary {(+ | -) unary}      unary := - unary | primary
//   primary   := number | 'text' | "text" | name ['.' name] | name '(' [expr {, expr}] ')'
//              | COUNT '(' '*' ')' | COUNT '(' DISTINCT expr ')' | '(' expr ')'
//
// LEFT, RIGHT and BETWEEN, words of the language, are function names where a
// '(' follows them: left(zjzh, 2), between(je, 0, 100).
//
//   std::unique_ptr<fc::query::Select> q = fc::query::Parse(sql);   // throws QueryError
//
// Whatever falls outside the grammar raises QueryError "不支持的语法: " with
// the query text from the offending token on. Types are checked later, by
// the compiler.
#pragma once

#include <memory>
#include <string_view>

#include "query/Ast.h"

namespace fc::query {

std::unique_ptr<Select> Parse(std::string_view sql);

}  // namespace fc::query
