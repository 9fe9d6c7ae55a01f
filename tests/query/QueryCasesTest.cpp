// The meaning of the rule queries as the case files in cases/ write it
// (query/CaseFile.h): each file's tables and queries run in order on one
// directory and session, a table block closing the session so that the next
// query sees it. A case that fails is reported at its file and line.
#include <gtest/gtest.h>

#include <algorithm>

#include "dbf/Table.h"
#include "query/CaseFile.h"
#include "query/Session.h"
#include "support/TempDir.h"

namespace fc::query::test {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CaseFiles() {
  std::vector<fs::path> files;
  for (const fs::directory_entry& e : fs::directory_iterator(FC_QUERY_CASES_DIR))
    if (e.path().extension() == ".test") files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

std::string Rows(const std::vector<std::vector<std::string>>& rows) {
  std::string text;
  for (const auto& row : rows) text += "\n  " + CaseRow(row);
  return rows.empty() ? " (none)" : text;
}

// Empty when `query` answers as expected, else what went wrong.
std::string Mismatch(Session& session, const CaseQuery& query) {
  try {
    switch (query.kind) {
      case CaseQuery::Count:
      case CaseQuery::Rows: {
        const int64_t n = query.kind == CaseQuery::Count ? session.count(query.sql) : session.rows(query.sql);
        return n == query.number ? "" : "answers " + std::to_string(n) + ", expected " + std::to_string(query.number);
      }
      case CaseQuery::Result: {
        const ResultSet r = session.run(query.sql);
        if (!query.columns.empty() && r.columns != query.columns)
          return "columns " + CaseRow(r.columns) + ", expected " + CaseRow(query.columns);
        return r.rows == query.rows ? "" : "rows" + Rows(r.rows) + "\nexpected" + Rows(query.rows);
      }
      case CaseQuery::Error:
        return "answers " + std::to_string(session.count(query.sql)) + ", expected the error " + query.message;
    }
  } catch (const QueryError& e) {
    if (query.kind == CaseQuery::Error && e.what() == query.message) return "";
    return std::string("fails: ") + e.what() + (query.kind == CaseQuery::Error ? ", expected " + query.message : "");
  } catch (const dbf::TableChanged& e) {
    return std::string("fails: ") + e.what();
  }
  return "unknown kind of case";
}

class QueryCases : public ::testing::TestWithParam<fs::path> {};

TEST_P(QueryCases, AnswerAsWritten) {
  const fs::path& file = GetParam();
  std::vector<CaseStep> steps;
  try {
    steps = ReadCaseFile(file);
  } catch (const CaseFileError& e) {
    FAIL() << e.what();
  }
  fc::test::TempDir dir;
  Session session;
  int queries = 0;
  for (const CaseStep& step : steps) {
    if (const auto* table = std::get_if<CaseTable>(&step.what)) {
      session.close();
      WriteCaseTable(dir.path(), *table);
      continue;
    }
    std::string error;
    if (!session.isOpen()) {
      ASSERT_TRUE(session.open(dir.path(), error)) << file.string() << ":" << step.line << ": " << error;
    }
    const CaseQuery& query = std::get<CaseQuery>(step.what);
    ++queries;
    if (std::string mismatch = Mismatch(session, query); !mismatch.empty())
      ADD_FAILURE_AT(file.string().c_str(), step.line) << query.sql << "\n" << mismatch;
  }
  session.close();
  EXPECT_GT(queries, 0) << file << " asks no query";
}

INSTANTIATE_TEST_SUITE_P(Files, QueryCases, ::testing::ValuesIn(CaseFiles()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                           std::string name = info.param.stem().string();
                           std::replace_if(name.begin(), name.end(), [](char c) { return !std::isalnum(c); }, '_');
                           return name;
                         });

// The reader refuses what it cannot read, so that a slip in a case file
// fails rather than checking less than it says.
TEST(QueryCaseFile, FaultsNameTheirLine) {
  const std::pair<const char*, const char*> faults[] = {
      {"table T (A C(2)\n", "t.test:1: the field list is not closed by )"},
      {"table T (A X(2))\n", "t.test:1: a field type is C or N: A X(2)"},
      {"table T (A C(300))\n", "t.test:1: a field's size is 1 to 254 bytes, its decimals fewer: A C(300)"},
      {"table T (A C(2))\n1 2\n", "t.test:2: more values than fields"},
      {"table T (A C(2))\n'1\n", "t.test:2: a quoted value is not closed"},
      {"\n# a comment\ncount one\nselect count(*) from t\n", "t.test:3: not a whole number: one"},
      {"count 1\n", "t.test:1: no query after count"},
      {"count 1\nselect count(*) from t\n----\n1\n", "t.test:1: only query has result rows after ----"},
      {"query\nselect * from t\n", "t.test:1: query needs ---- before its rows"},
      {"select count(*) from t\n", "t.test:1: a block starts with table, count, rows, query or error: select count(*) from t"},
  };
  for (const auto& [text, message] : faults) {
    try {
      ParseCases(text, "t.test");
      ADD_FAILURE() << "read: " << text;
    } catch (const CaseFileError& e) {
      EXPECT_EQ(std::string(e.what()), message);
    }
  }
  const std::vector<CaseStep> steps =
      ParseCases("table T (A C(4), B N(6,2) NULL) codepage 0x78\n'a ''b' NULL\ndeleted x\n", "t.test");
  ASSERT_EQ(steps.size(), 1u);
  const CaseTable& t = std::get<CaseTable>(steps[0].what);
  EXPECT_EQ(t.codePage, 0x78);
  ASSERT_EQ(t.fields.size(), 2u);
  EXPECT_TRUE(t.fields[1].nullable);
  EXPECT_EQ(t.fields[1].decimals, 2);
  ASSERT_EQ(t.records.size(), 2u);
  EXPECT_EQ(t.records[0].values, (std::vector<dbf::Value>{"a 'b", std::nullopt}));
  EXPECT_TRUE(t.records[1].deleted);
}

}  // namespace
}  // namespace fc::query::test
