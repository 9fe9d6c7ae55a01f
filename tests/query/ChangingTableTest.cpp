// A session whose table is truncated by another program while it is open:
// no query answers from what is left of it.
#include <gtest/gtest.h>

#include "dbf/Table.h"
#include "query/QueryFixture.h"

namespace fc::query::test {
namespace {

namespace fs = std::filesystem;

class ChangingTable : public QueryFixture {};

TEST_F(ChangingTable, QueriesOverATruncatedTableThrowTableChangedNamingIt) {
  std::vector<Rec> recs;
  for (int i = 0; i < 5000; ++i) recs.push_back({{{"K", std::to_string(i)}, {"V", "x"}}});
  table("T.DBF", {{"K", 'C', 8}, {"V", 'C', 40}}, recs);
  table("U.DBF", {{"K", 'C', 8}}, {{{{"K", "1"}}}});
  EXPECT_EQ(count("select count(*) from t where v='x'"), 5000);
  fs::resize_file(dir / "T.DBF", 4096);
  try {
    count("select count(*) from t where k in (select k from u)");
    ADD_FAILURE() << "a count from a truncated table";
  } catch (const dbf::TableChanged& e) {
    EXPECT_EQ(e.file(), dir / "T.DBF");
    EXPECT_NE(std::string(e.what()).find("T.DBF在读取过程中被改动"), std::string::npos) << e.what();
  }
  // The session stays void: a query of the other table alone says so too.
  EXPECT_THROW(count("select count(*) from u"), dbf::TableChanged);
}

}  // namespace
}  // namespace fc::query::test
