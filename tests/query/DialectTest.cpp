// The forms rule authors write, each as a table of queries and the counts
// they must give on one small table: names and aliases, the order of Chinese
// text, and the FoxPro forms beyond the first rules.
#include <gtest/gtest.h>

#include "query/Capture.h"
#include "query/QueryFixture.h"

namespace fc::query::test {
namespace {

struct Case {
  const char* sql;
  int expected;
};

class Dialect : public QueryFixture {
 protected:
  void SetUp() override {
    // Three customers, two of company 100001; names whose GBK order (pinyin:
    // li < wang < zhang) differs from their Unicode order (zhang < li < wang).
    table("KHJBXX.DBF",
          {{"ZQGSDM", 'C', 6}, {"XH", 'C', 4}, {"KHQC", 'C', 20}, {"ZJZH", 'C', 8}, {"ZJLB", 'C', 2},
           {"JE", 'N', 10, 2}, {"BZ", 'C', 6, 0, true}},
          {{{{"ZQGSDM", "100001"}, {"XH", "1"}, {"KHQC", "张三"}, {"ZJZH", "A1"}, {"ZJLB", "10"},
             {"JE", "12.50"}, {"BZ", "x"}}},
           {{{"ZQGSDM", "100001"}, {"XH", "2"}, {"KHQC", "李四"}, {"ZJZH", "A1"}, {"ZJLB", "11"},
             {"JE", "0"}, {"BZ", std::nullopt}}},
           {{{"ZQGSDM", "100002"}, {"XH", "3"}, {"KHQC", "王五"}, {"ZJZH", "  B2"}, {"ZJLB", ""},
             {"JE", "-3.00"}, {"BZ", ""}}},
           Deleted({{{"ZQGSDM", "100003"}, {"XH", "4"}, {"KHQC", "赵六"}}})});
  }

  void expectCounts(std::initializer_list<Case> cases) {
    for (const Case& c : cases) EXPECT_EQ(count(c.sql), c.expected) << c.sql;
  }
};

TEST_F(Dialect, AnAliasHidesItsTablesName) {
  expectCounts({
      {"select count(*) from khjbxx where not exists(select * from khjbxx b where b.zqgsdm = khjbxx.zqgsdm "
       "and b.xh <> khjbxx.xh)",
       1},
      {"select count(*) from khjbxx a where exists(select * from khjbxx where khjbxx.zjzh = a.zjzh and "
       "khjbxx.xh <> a.xh)",
       2},
  });
  EXPECT_EQ(error("select count(*) from khjbxx a where khjbxx.xh = '1'"), "表或别名不存在: khjbxx");
}

TEST_F(Dialect, ChineseTextOrdersByItsCodePageBytesAlike) {
  table("B.DBF", {{"KHQC", 'C', 20}}, {{{{"KHQC", "李四"}}}});
  expectCounts({
      {"select count(*) from khjbxx where khqc > '李四'", 2},  // 王五, 张三
      {"select count(*) from khjbxx a where exists(select * from b where a.khqc > b.khqc)", 2},
      {"select count(*) from khjbxx where khqc < '王五'", 1},
      {"select count(*) from khjbxx where khqc >= '李四' and khqc <= '王五  '", 2},
      {"select count(*) from khjbxx where substr(khqc, 1, 1) > '王'", 1},
      {"select count(*) from khjbxx where khqc in ('张三', '赵六')", 1},
      {"select count(*) from khjbxx where khqc = '张三  '", 1},
  });
}

TEST_F(Dialect, LikeMatchesCharactersWithTrailingBlanksIgnored) {
  expectCounts({
      {"select count(*) from khjbxx where zjzh like 'A%'", 2},
      {"select count(*) from khjbxx where zjzh like 'A_'", 2},
      {"select count(*) from khjbxx where zjzh like '_1'", 2},
      {"select count(*) from khjbxx where zjzh like '%2'", 1},
      {"select count(*) from khjbxx where zjzh like 'B%'", 0},  // leading blanks count
      {"select count(*) from khjbxx where zjzh like 'a%'", 0},  // so does letter case
      {"select count(*) from khjbxx where zjzh like 'A1   '", 2},
      {"select count(*) from khjbxx where zjzh not like 'A%'", 1},
      {"select count(*) from khjbxx where khqc like '_四'", 1},  // one character, two bytes in GBK
      {"select count(*) from khjbxx where khqc like '%五%'", 1},
      {"select count(*) from khjbxx where bz like '%'", 2},  // NULL is unknown
      {"select count(*) from khjbxx where xh like '%%_'", 3},
  });
}

TEST_F(Dialect, BetweenIncludesBothEnds) {
  expectCounts({
      {"select count(*) from khjbxx where je between 0 and 12.5", 2},
      {"select count(*) from khjbxx where je not between 0 and 12.5", 1},
      {"select count(*) from khjbxx where between(je, -3, 0)", 2},
      {"select count(*) from khjbxx where zjlb between '10' and '11' and xh between '1' and '2'", 2},
      {"select count(*) from khjbxx where khqc between '李四' and '王五'", 2},
  });
}

TEST_F(Dialect, EmptyInlistAndVal) {
  expectCounts({
      {"select count(*) from khjbxx where empty(zjlb)", 1},
      {"select count(*) from khjbxx where empty(je)", 1},
      {"select count(*) from khjbxx where empty(bz)", 1},      // the blank one; NULL is not empty
      {"select count(*) from khjbxx where not empty(bz)", 2},  // so not empty(NULL) holds
      {"select count(*) from khjbxx where inlist(zjlb, '10', '11')", 2},
      {"select count(*) from khjbxx where inlist(je, 0, -3) and not inlist(xh, '2')", 1},
      {"select count(*) from khjbxx where val(zjlb) = 10", 1},
      {"select count(*) from khjbxx where val(zjlb) > 10.5 or val(zjlb) = 0", 2},
      {"select count(*) from khjbxx where val('  -12.50abc') = -12.5 and val('+.5') = 0.5", 3},
      {"select count(*) from khjbxx where val('1.2.3') = 1.2 and val('abc') = 0 and val('') = 0", 3},
      {"select count(*) from khjbxx where val('0.1') + val('0.2') = 0.3", 3},
  });
}

TEST_F(Dialect, LeftRightAndAtCountCharactersAndPadding) {
  expectCounts({
      {"select count(*) from khjbxx where left(zjzh, 1) = 'A'", 2},
      {"select count(*) from khjbxx where left(khqc, 1) = '张'", 1},
      {"select count(*) from khjbxx where right(zjzh, 2) = ''", 3},  // the padding of a C(8)
      {"select count(*) from khjbxx where right(trim(zjzh), 1) = '2'", 1},
      {"select count(*) from khjbxx where right(trim(khqc), 1) = '三'", 1},
      {"select count(*) from khjbxx where len(right(zjzh, 20)) = 8 and len(left(zjzh, 20)) = 8", 3},
      {"select count(*) from khjbxx where right(zjzh, 0) = '' and left(zjzh, -1) = ''", 3},
      {"select count(*) from khjbxx where at('1', zjzh) = 2", 2},
      {"select count(*) from khjbxx where at('B', zjzh) = 3", 1},
      {"select count(*) from khjbxx where at('四', khqc) = 2", 1},
      {"select count(*) from khjbxx where at('x', zjzh) = 0 and at('', zjzh) = 0", 3},
  });
}

TEST_F(Dialect, TextsJoinWithTheirPadding) {
  expectCounts({
      {"select count(*) from khjbxx where zjzh + zjlb = 'A1      10'", 1},
      {"select count(*) from khjbxx where trim(zjzh) + zjlb = 'A110'", 1},
      {"select count(*) from khjbxx where trim(khqc) + '先生' = '张三先生'", 1},
      {"select count(*) from khjbxx where len(zjzh + zjlb) = 10", 3},
      {"select count(*) from khjbxx where zqgsdm + xh in ('1000011', '1000023')", 2},
  });
}

TEST_F(Dialect, DistinctCountDistinctAndHaving) {
  EXPECT_EQ(rows("select distinct zjzh from khjbxx"), 2);
  EXPECT_EQ(rows("select distinct zqgsdm, zjzh from khjbxx where xh <> '3'"), 1);
  EXPECT_EQ(rows("select distinct * from khjbxx"), 3);
  expectCounts({
      {"select count(distinct zjzh) from khjbxx", 2},
      {"select count(distinct bz) from khjbxx", 2},  // NULL not counted
      {"select count(distinct zjzh) from khjbxx where zqgsdm = '100009'", 0},
  });
  EXPECT_EQ(rows("select count(*) from khjbxx group by zjzh having count(*) > 1"), 1);
  EXPECT_EQ(rows("select count(*) from khjbxx group by zjzh having count(*) = 1"), 1);
  EXPECT_EQ(rows("select count(*) from khjbxx group by zqgsdm having count(distinct zjlb) > 1"), 1);
  EXPECT_EQ(rows("select count(*) from khjbxx group by zqgsdm having count(*) > 0 and zqgsdm <> '100001'"), 1);
  for (const auto& [sql, recnos] : std::vector<std::pair<std::string, std::vector<int64_t>>>{
           {"select count(*) from khjbxx group by zjzh having count(*) > 1", {1, 2}},
           {"select count(*) from khjbxx group by zjzh having count(*) = 1", {3}}}) {
    RecordCapture capture;  // the records behind a having: every record of the passing groups
    session.rows(sql, capture);
    std::vector<int64_t> seen;
    for (const auto& record : capture.records()) seen.push_back(record.recno);
    EXPECT_EQ(seen, recnos) << sql;
  }
  ResultSet r = run("select zjzh, count(*), count(distinct zjlb) from khjbxx group by zjzh");
  EXPECT_EQ(r.columns, (std::vector<std::string>{"ZJZH", "cnt", "cnt_zjlb"}));
  EXPECT_EQ(r.rows, (std::vector<std::vector<std::string>>{{"A1", "2", "2"}, {"  B2", "1", "1"}}));
}

TEST_F(Dialect, MisusedFormsAreNamed) {
  EXPECT_EQ(error("select count(*) from khjbxx where count(*) > 1"),
            "不支持的语法: count(*) 只能用在选择列表或 having 中");
  EXPECT_EQ(error("select count(*) from khjbxx where empty(zjlb, 1)"), "函数参数个数不对: empty(zjlb, 1)");
  EXPECT_EQ(error("select count(*) from khjbxx where val(je) = 1"), "类型不匹配: val(je)");
  EXPECT_EQ(error("select count(*) from khjbxx where zjzh + je = 'x'"), "类型不匹配: (zjzh + je)");
  EXPECT_EQ(error("select count(*) from khjbxx where je like '1%'"), "类型不匹配: (je like '1%')");
  EXPECT_EQ(error("select distinct zjzh from khjbxx group by zjzh"), "不支持的语法: distinct 不能与 group by 同用");
  EXPECT_EQ(error("select count(*) from khjbxx where left(zjzh, 1)"), "不支持的语法: 不是条件: left(zjzh, 1)");
  EXPECT_EQ(error("select count(*) from khjbxx where len(empty(zjzh)) = 1"),
            "不支持的语法: 条件不能用作值: empty(zjzh)");
  EXPECT_EQ(error("select count(*) from khjbxx having count(*) > 1"), "不支持的语法: having count(*) > 1");
}

}  // namespace
}  // namespace fc::query::test
