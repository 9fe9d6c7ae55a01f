// query/CaseFile.h - the meaning of queries written down as text: case files
// of tables and the answers queries on them must give, read into steps that
// QueryCasesTest.cpp runs, in order, on a real session over DBF tables
// written by dbf::Writer.
//
// A case file is a sequence of blocks, each ending at a blank line; a line
// whose first character is `#` is a comment anywhere:
//
//   table T (CODE C(6), NAME C(20), JE N(10,2), BZ C(4) NULL)
//   1     中文        12.50  x
//   ' 1'  '  中文'    ''     NULL
//   deleted 01 中华人民共和国
//
//   count 1
//   select count(*) from t where code='1'
//
//   rows 2
//   select count(*) from t group by code
//
//   query CODE NAME exp_1
//   select code, name, len(trim(name)) from t where code='01'
//   ----
//   01 中华人民共和国 7
//
//   error 类型不匹配: (je = '1')
//   select count(*) from t where je = '1'
//
// A table block writes NAME.DBF (dBase III; Visual FoxPro when a field is
// NULL-able), replacing a table of that name; `codepage 0x78` after the
// field list sets the code-page byte (GBK unless given). The field list may
// go on over several lines up to its `)`. Each further line is a record:
// its values in field order, those left out blank, `deleted` before them
// for a deleted record.
//
// A value is a bare word as written, or a text in single quotes that keeps
// its blanks ('' alone is the empty text, '' inside one is a quote), or NULL.
// Expected result rows are written the same way (NULL is the text NULL).
//
// `count N` and `rows N` expect what Session::count and Session::rows
// answer; `query [COLUMN...]` the rows Session::run gives, in order, after
// the `----` line (none after it: no rows), and the column names when
// listed; `error MESSAGE` the QueryError that the query as a count throws.
// A query may go on over several lines, each trimmed, joined by one blank.
#pragma once

#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "dbf/Writer.h"

namespace fc::query::test {

struct CaseTable {
  std::string name;  // the file is name + ".DBF"
  std::vector<dbf::FieldSpec> fields;
  uint8_t codePage = dbf::kCodePageGBK;
  struct Record {
    std::vector<dbf::Value> values;  // at most one per field
    bool deleted = false;
  };
  std::vector<Record> records;
};

struct CaseQuery {
  enum Kind { Count, Rows, Result, Error } kind = Count;
  std::string sql;
  int64_t number = 0;                             // Count, Rows
  std::string message;                            // Error
  std::vector<std::string> columns;               // Result; empty when not checked
  std::vector<std::vector<std::string>> rows;     // Result
};

struct CaseStep {
  int line = 0;  // where the block starts
  std::variant<CaseTable, CaseQuery> what;
};

// A fault in a case file, its message "FILE:LINE: what is wrong".
class CaseFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The steps of `text`, named `file` in faults.
std::vector<CaseStep> ParseCases(std::string_view text, const std::string& file);
std::vector<CaseStep> ReadCaseFile(const std::filesystem::path& file);

// Writes `table` as name.DBF into `dir`.
void WriteCaseTable(const std::filesystem::path& dir, const CaseTable& table);

// A result row in the case files' notation, for failure messages.
std::string CaseRow(const std::vector<std::string>& values);

}  // namespace fc::query::test
