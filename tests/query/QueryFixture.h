// A temporary session directory with DBF tables written by fc::dbf::Writer
// from records given by field name, and a query session on it.
//
//   class MyTest : public fc::query::test::QueryFixture {};
//   TEST_F(MyTest, X) {
//     table("T.DBF", {{"A", 'C', 4}}, {{{"A", "1"}}, Deleted({{"A", "2"}})});
//     EXPECT_EQ(count("select count(*) from t"), 1);
//   }
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "dbf/Writer.h"
#include "query/Session.h"
#include "support/TempDir.h"

namespace fc::query::test {

struct Rec {
  std::map<std::string, dbf::Value> values;  // by field name; absent fields are blank
  bool deleted = false;
};

inline Rec Deleted(Rec r) {
  r.deleted = true;
  return r;
}

// Visual FoxPro when some field is nullable, else dBase III.
inline void WriteTable(const std::filesystem::path& path, const std::vector<dbf::FieldSpec>& fields,
                       const std::vector<Rec>& recs, uint8_t codePage = dbf::kCodePageGBK) {
  bool vfp = false;
  for (const auto& f : fields) vfp |= f.nullable;
  dbf::Writer w(path, vfp ? dbf::Format::VisualFoxPro : dbf::Format::DBase3, fields, codePage);
  for (const Rec& r : recs) {
    std::vector<dbf::Value> values;
    for (const auto& f : fields) {
      auto it = r.values.find(f.name);
      values.push_back(it == r.values.end() ? dbf::Value(std::string()) : it->second);
    }
    w.add(values, r.deleted);
  }
  w.finish();
}

class QueryFixture : public ::testing::Test {
 protected:
  ~QueryFixture() override { session.close(); }

  void table(const std::string& file, const std::vector<dbf::FieldSpec>& fields, const std::vector<Rec>& recs,
             uint8_t codePage = dbf::kCodePageGBK) {
    session.close();  // a new file is seen by the next session
    WriteTable(dir / file, fields, recs, codePage);
  }

  void openSession() {
    if (session.isOpen()) return;
    std::string error;
    ASSERT_TRUE(session.open(dir.path(), error)) << error;
  }

  int count(const std::string& sql) {
    openSession();
    return session.count(sql);
  }
  int rows(const std::string& sql) {
    openSession();
    return session.rows(sql);
  }
  ResultSet run(const std::string& sql) {
    openSession();
    return session.run(sql);
  }
  // The QueryError message of `sql`, or "(no error)".
  std::string error(const std::string& sql) {
    openSession();
    try {
      session.count(sql);
    } catch (const QueryError& e) {
      return e.what();
    }
    return "(no error)";
  }

  fc::test::TempDir dir;
  Session session;
};

}  // namespace fc::query::test
