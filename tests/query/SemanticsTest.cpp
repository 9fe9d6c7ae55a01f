// The FoxPro meaning of the rule queries: text equality, exact decimals,
// NULLs, deleted records, functions on Chinese text.
#include <gtest/gtest.h>

#include "query/QueryFixture.h"

namespace fc::query::test {
namespace {

class TextSemantics : public QueryFixture {
 protected:
  void SetUp() override {
    table("T.DBF", {{"CODE", 'C', 6}, {"NAME", 'C', 20}},
          {{{{"CODE", "1"}, {"NAME", "中文"}}},
           {{{"CODE", " 1"}, {"NAME", "  中文  "}}},
           {{{"CODE", ""}, {"NAME", "ABC"}}},
           {{{"CODE", "01"}, {"NAME", "中华人民共和国"}}}});
  }
};

TEST_F(TextSemantics, TrailingBlanksNeverMatterLeadingOnesDo) {
  EXPECT_EQ(count("select count(*) from t where code='1'"), 1);
  EXPECT_EQ(count("select count(*) from t where code='1    '"), 1);
  EXPECT_EQ(count("select count(*) from t where code='1        '"), 1);  // longer than the field
  EXPECT_EQ(count("select count(*) from t where code=' 1'"), 1);
  EXPECT_EQ(count("select count(*) from t where code<> '1'"), 3);
  EXPECT_EQ(count("select count(*) from t where code=''"), 1);
  EXPECT_EQ(count("select count(*) from t where code='   '"), 1);
  EXPECT_EQ(count("select count(*) from t where code in('1 ','2')"), 1);
  EXPECT_EQ(count("select count(*) from t where code not in('1','01')"), 2);
  EXPECT_EQ(count("select count(*) from t where trim(code) not in('01','02','03','')"), 2);
}

TEST_F(TextSemantics, OrderingComparesBytesWithBlankPadding) {
  EXPECT_EQ(count("select count(*) from t where code > '0'"), 2);    // "1", "01"
  EXPECT_EQ(count("select count(*) from t where code < '1'"), 3);    // "", " 1", "01"
  EXPECT_EQ(count("select count(*) from t where code >= '1 '"), 1);  // "1"
}

TEST_F(TextSemantics, TrimLenSubstrCountCharactersOfChineseText) {
  EXPECT_EQ(count("select count(*) from t where name='中文'"), 1);
  EXPECT_EQ(count("select count(*) from t where alltrim(name)='中文'"), 2);
  EXPECT_EQ(count("select count(*) from t where ltrim(name)='中文'"), 2);
  EXPECT_EQ(count("select count(*) from t where len(trim(name)) = 2"), 1);
  EXPECT_EQ(count("select count(*) from t where len(trim(name)) = 4"), 1);  // "  中文"
  EXPECT_EQ(count("select count(*) from t where len(name) = 20"), 1);       // only ABC: Chinese takes 2 bytes
  EXPECT_EQ(count("select count(*) from t where len(name) = 18"), 2);       // 2 + 16 blanks
  EXPECT_EQ(count("select count(*) from t where len(trim(name))<>7"), 3);
  EXPECT_EQ(count("select count(*) from t where substr(trim(name),3,2) = '人民'"), 1);
  EXPECT_EQ(count("select count(*) from t where substr(name,2,1) = '文'"), 1);
  EXPECT_EQ(count("select count(*) from t where substr(name,5) = '共和国'"), 1);
  EXPECT_EQ(count("select count(*) from t where substr(name,0,2) = '' and substr(name,30,2) = ''"), 4);
  EXPECT_EQ(count("select count(*) from t where lower(name) = 'abc' and upper(lower(name)) = 'ABC'"), 1);
  EXPECT_EQ(count("select count(*) from t where name in ('中文', 'ABC')"), 2);
}

TEST_F(TextSemantics, SelectShowsDecodedTextWithoutPadding) {
  ResultSet r = run("select code, name, len(trim(name)) from t where code='01'");
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.columns, (std::vector<std::string>{"CODE", "NAME", "exp_1"}));
  EXPECT_EQ(r.rows[0], (std::vector<std::string>{"01", "中华人民共和国", "7"}));
}

class NumericSemantics : public QueryFixture {
 protected:
  void SetUp() override {
    table("M.DBF", {{"A", 'N', 18, 2}, {"B", 'N', 18, 2}, {"C", 'N', 18, 2}, {"D", 'N', 10, 4}},
          {{{{"A", "100.10"}, {"B", "0.20"}, {"C", "100.30"}, {"D", "0.2000"}}},
           {{{"A", "0.10"}, {"B", "0.20"}, {"C", "0.30"}, {"D", "-1.5000"}}},
           {{{"A", "50.00"}, {"B", ""}, {"C", "50.01"}, {"D", ""}}},
           {{{"A", "-0.01"}, {"B", "0.01"}, {"C", ""}, {"D", "0.0100"}}}});
  }
};

TEST_F(NumericSemantics, SumsCompareExactly) {
  EXPECT_EQ(count("select count(*) from m where a+b=c"), 3);
  EXPECT_EQ(count("select count(*) from m where 100.10 + 0.20 = 100.30 and 0.1 + 0.2 = 0.3"), 4);
  EXPECT_EQ(count("select count(*) from m where a+b > 100.29"), 1);
  EXPECT_EQ(count("select count(*) from m where 50.00 <> 50.01 and a = 50"), 1);
  EXPECT_EQ(count("select count(*) from m where  c<>a+b"), 1);
  EXPECT_EQ(count("select count(*) from m where a + d = 100.3"), 1);  // scales 2 and 4 align
  EXPECT_EQ(count("select count(*) from m where a - -b = c"), 3);
}

TEST_F(NumericSemantics, BlankNumericsAreZero) {
  EXPECT_EQ(count("select count(*) from m where b = 0"), 1);
  EXPECT_EQ(count("select count(*) from m where c = 0 and c is not null"), 1);
  EXPECT_EQ(count("select count(*) from m where d>0"), 2);
  EXPECT_EQ(count("select count(*) from m where d < -1.4999"), 1);
}

TEST_F(NumericSemantics, NumbersShowWithTheirDecimals) {
  ResultSet r = run("select a, d, a + d from m");
  ASSERT_EQ(r.rows.size(), 4u);
  EXPECT_EQ(r.rows[0], (std::vector<std::string>{"100.10", "0.2000", "100.3000"}));
  EXPECT_EQ(r.rows[2], (std::vector<std::string>{"50.00", "0.0000", "50.0000"}));
  EXPECT_EQ(r.rows[3], (std::vector<std::string>{"-0.01", "0.0100", "0.0000"}));
}

TEST_F(NumericSemantics, TextAndNumberDoNotCompare) {
  EXPECT_EQ(error("select count(*) from m where a = '1'"), "类型不匹配: (a = '1')");
  EXPECT_EQ(error("select count(*) from m where a in (1, '2')"), "类型不匹配: (a in (1, '2'))");
  EXPECT_EQ(error("select count(*) from m where len(a) = 1"), "类型不匹配: len(a)");
}

class NullSemantics : public QueryFixture {
 protected:
  void SetUp() override {
    table("N.DBF", {{"ID", 'C', 2}, {"V", 'C', 4, 0, true}, {"X", 'N', 6, 2, true}},
          {{{{"ID", "1"}, {"V", "a"}, {"X", "1.00"}}},
           {{{"ID", "2"}, {"V", std::nullopt}, {"X", std::nullopt}}},
           {{{"ID", "3"}, {"V", ""}, {"X", ""}}}});
    table("S.DBF", {{"V", 'C', 4, 0, true}}, {{{{"V", "a"}}}, {{{"V", std::nullopt}}}});
    table("E.DBF", {{"V", 'C', 4, 0, true}}, {});
  }
};

TEST_F(NullSemantics, ComparisonsWithNullAreUnknown) {
  EXPECT_EQ(count("select count(*) from n where v is null"), 1);
  EXPECT_EQ(count("select count(*) from n where v is not null"), 2);
  EXPECT_EQ(count("select count(*) from n where v = 'a'"), 1);
  EXPECT_EQ(count("select count(*) from n where v <> 'a'"), 1);      // the blank one, not the NULL
  EXPECT_EQ(count("select count(*) from n where not(v = 'a')"), 1);  // not unknown is unknown
  EXPECT_EQ(count("select count(*) from n where v not in ('a')"), 1);
  EXPECT_EQ(count("select count(*) from n where trim(v) = ''"), 1);  // blank is not NULL
  EXPECT_EQ(count("select count(*) from n where x > 0 or v = 'a'"), 1);
  EXPECT_EQ(count("select count(*) from n where x = 0 or id = '2'"), 2);  // unknown or true is true
  EXPECT_EQ(count("select count(*) from n where x + 1 > 0"), 2);
  EXPECT_EQ(count("select count(*) from n where not(v is null or trim(v)='')"), 1);
}

TEST_F(NullSemantics, NotInASubqueryWithNullIsUnknownUnlessFound) {
  EXPECT_EQ(count("select count(*) from n where v in (select v from s)"), 1);
  EXPECT_EQ(count("select count(*) from n where v not in (select v from s)"), 0);
  EXPECT_EQ(count("select count(*) from n where v not in (select v from s where v is not null)"), 1);
  EXPECT_EQ(count("select count(*) from n where v not in (select v from e)"), 3);  // even NULL
  EXPECT_EQ(count("select count(*) from n where v in (select v from e)"), 0);
}

TEST_F(NullSemantics, NullsFormOneGroupAndShowAsNull) {
  EXPECT_EQ(rows("select count(*) from s group by v"), 2);
  ResultSet r = run("select v, x, count(*) from n where id = '2' group by v");
  ASSERT_EQ(r.rows.size(), 1u);
  EXPECT_EQ(r.rows[0], (std::vector<std::string>{"NULL", "NULL", "1"}));
  EXPECT_EQ(error("select v from n where id = '2'"), "查询结果为NULL, 不是整数");
}

class DeletedRecords : public QueryFixture {
 protected:
  void SetUp() override {
    table("A.DBF", {{"K", 'C', 4}, {"G", 'C', 2}},
          {{{{"K", "1"}, {"G", "x"}}},
           Deleted({{{"K", "2"}, {"G", "y"}}}),
           {{{"K", "3"}, {"G", "x"}}},
           Deleted({{{"K", "4"}, {"G", "z"}}})});
    table("B.DBF", {{"K", 'C', 4}}, {{{{"K", "1"}}}, Deleted({{{"K", "3"}}}), Deleted({{{"K", "4"}}})});
  }
};

TEST_F(DeletedRecords, AreInvisibleEverywhere) {
  EXPECT_EQ(count("select count(*) from a"), 2);
  EXPECT_EQ(count("select count(*) from a where k='2'"), 0);
  EXPECT_EQ(rows("select count(*) from a group by g"), 1);
  EXPECT_EQ(count("select count(*) from a where k not in (select k from b)"), 1);
  EXPECT_EQ(count("select count(*) from a x where not exists(select * from b y where x.k=y.k)"), 1);
  EXPECT_EQ(count("select count(*) from a x where exists(select * from b y where y.k > x.k)"), 0);
  EXPECT_EQ(run("select * from a").rows.size(), 2u);
}

TEST_F(DeletedRecords, AnEmptySelectionCountsZero) {
  EXPECT_EQ(count("select count(*) from a where k='9'"), 0);
  EXPECT_EQ(rows("select count(*) from a where k='9' group by g"), 0);
  EXPECT_EQ(rows("select count(*) from a where k='9'"), 1);
}

}  // namespace
}  // namespace fc::query::test
