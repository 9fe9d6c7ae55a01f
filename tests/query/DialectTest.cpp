// The forms rule authors write, each as a table of queries and the counts
// they must give on one small table: names and aliases, the order of Chinese
// text, and the FoxPro forms beyond the first rules.
#include <gtest/gtest.h>

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

}  // namespace
}  // namespace fc::query::test
