// query/Dialect.h - the rule language in one table: every function and form
// of the FoxPro dialect the engine runs, with its arguments, meaning and an
// example, and the reference for rule authors generated from it.
//
// The compiler (query/Compiler.h) takes the functions it knows and their
// numbers of arguments from this table, so the reference cannot promise a
// function the engine lacks. docs/rule-language.md is RuleLanguageReference()
// as written by `filingcheck-cli rules reference`; a test keeps it current.
//
//   const fc::query::DialectEntry* f = fc::query::FindFunction("substr");   // null when unknown
//   std::string markdown = fc::query::RuleLanguageReference();
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace fc::query {

enum class DialectPart {
  Clause,     // the parts of a select
  Condition,  // what a where or having holds
  Function,   // name(arguments) giving a value or a truth
};

struct DialectEntry {
  DialectPart part;
  const char* name;     // the word that names it, lower case
  const char* form;     // how it is written, with its arguments
  int minArgs;          // functions: fewest arguments; 0 for the other parts
  int maxArgs;          // functions: most arguments, -1 for any number
  bool truth;           // functions: gives a truth, for conditions, rather than a value
  const char* meaning;  // what it means, for rule authors
  const char* example;  // a query that uses it
};

// Every entry, clauses first, then conditions, then functions.
std::span<const DialectEntry> DialectEntries();

// The function called `name` (lower case), or null when there is none.
const DialectEntry* FindFunction(std::string_view name);

// The reference for rule authors, in Markdown.
std::string RuleLanguageReference();

}  // namespace fc::query
