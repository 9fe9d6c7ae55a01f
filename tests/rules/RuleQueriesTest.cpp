// Every query of the shipped rule files, run on tables built so that each
// rule finds a known number of records, deleted records included as traps.
#include <gtest/gtest.h>

#include <algorithm>

#include "query/Parser.h"
#include "query/QueryFixture.h"
#include "rules/RuleBook.h"
#include "rules/RuleText.h"
#include "text/Text.h"

namespace fc::query::test {
namespace {

const std::string D = "20080808";
const std::string OTHER = "20080807";
const std::string kCode = "100001";

// A query of the rule files as a rule runs it.
struct ShippedQuery {
  std::string table;  // the kind of the table it belongs to, as the file names it
  std::string rule;   // the rule's code, or "total KIND"
  std::string sql;    // spliced for D and kCode
  bool countsRows;    // a key rule: the number of rows counts
};

// Every query of the shipped rule set, in the order of the files.
const std::vector<ShippedQuery>& ShippedQueries() {
  static const std::vector<ShippedQuery> queries = [] {
    std::vector<ShippedQuery> all;
    for (const char* file : {"account.rules", "identity.rules"}) {
      const rules::RuleFileCheck check = rules::CheckRuleFile(std::filesystem::path(FC_SOURCE_DATA_DIR) / "rulesets" / "interface-1" / file);
      EXPECT_TRUE(check.faults.empty()) << check.faults.front();
      std::string table;
      for (const rules::RuleFileQuery& q : check.queries) {
        if (q.isTotal) table = q.rule.substr(q.rule.find(' ') + 1);  // a table's total comes before its rules
        all.push_back({table, q.rule, rules::SpliceQuery(q.pattern, D, kCode), q.countsRows});
      }
    }
    return all;
  }();
  return queries;
}

// The place of the first shipped query of `rule`, or past the end.
size_t FirstOf(std::string_view rule) {
  const auto& queries = ShippedQueries();
  return std::find_if(queries.begin(), queries.end(), [&](const ShippedQuery& q) { return q.rule == rule; }) -
         queries.begin();
}

using F = dbf::FieldSpec;

const std::vector<F> kKhjbxx = {{"ZQGSDM", 'C', 6}, {"YYBDM", 'C', 6}, {"ZJZH", 'C', 20}, {"XHRQ", 'C', 8},
                                {"KHQC", 'C', 120}, {"ZJLB", 'C', 2},  {"ZJHM", 'C', 40}, {"ZJZHLB", 'C', 1},
                                {"KHRQ", 'C', 8},   {"SJRQ", 'C', 8}};
const std::vector<F> kZjzqdy = {
    {"ZQGSDM", 'C', 6}, {"YYBDM", 'C', 6}, {"ZJZH", 'C', 20}, {"GDDMSC", 'C', 2, 0, true},
    {"GDDM", 'C', 20},  {"QXBZ", 'C', 1},  {"SJRQ", 'C', 8}};
const std::vector<F> kZjbdxx = {{"ZQGSDM", 'C', 6},       {"YYBDM", 'C', 6},        {"ZJZH", 'C', 20},
                                {"BZDM", 'C', 2},         {"ZRYE", 'N', 18, 2},     {"XJCQJE", 'N', 18, 2},
                                {"ZQJYMCJE", 'N', 18, 2}, {"ZQJYMRJE", 'N', 18, 2}, {"FJZJYJE", 'N', 18, 2},
                                {"JRYE", 'N', 18, 2},     {"SJRQ", 'C', 8}};
const std::vector<F> kYybxx = {
    {"ZQGSDM", 'C', 6}, {"YYBDM", 'C', 6}, {"YYBMC", 'C', 120}, {"YYBDZ", 'C', 200}, {"SJRQ", 'C', 8}};
const std::vector<F> kZhbyz = {{"ZQGSDM", 'C', 6},          {"YYBDM", 'C', 6},  {"ZJZH", 'C', 20, 0, true},
                               {"GDDMSC", 'C', 2, 0, true}, {"GDDM", 'C', 20},  {"BYZLX", 'C', 1},
                               {"ZJHMYY", 'C', 2},          {"KHQCYY", 'C', 2}, {"SJRQ", 'C', 8}};
const std::vector<F> kSfzfcjg = {{"FCTZXH", 'C', 20}, {"ZQGSDM", 'C', 6},  {"SFZLX", 'C', 1},
                                 {"DKQJY", 'C', 1},   {"SFCG", 'C', 1},    {"ZHBD", 'C', 1},
                                 {"QTZJ", 'C', 2},    {"FCYCYY", 'C', 2},  {"YCYYSM", 'C', 200},
                                 {"CLCS", 'C', 2},    {"CLCSSM", 'C', 200}};
const std::vector<F> kSfzhcqk = {{"FCTZXH", 'C', 20}, {"ZQGSDM", 'C', 6}, {"KHXM", 'C', 60},
                                 {"ZJHM", 'C', 40},   {"YCLX", 'C', 2},   {"XFRQ", 'C', 8}};

class RuleQueryTexts : public QueryFixture {
 protected:
  void SetUp() override {
    table("KHJBXX.DBF", kKhjbxx,
          {khjbxx("100001", "000001", "A1", "10", "0", D),
           khjbxx("100001", "000001", "A2", "17", "5", D),      // R02, R03
           khjbxx("100001", "000001", "A2", "10", "1", D),      // same key as the one before: R05
           khjbxx("100002", "000009", "A4", "99", "9", D),      // R19; branch not in yybxx: R04
           khjbxx("100001", "000001", "A5", "10", "0", OTHER),  // R18
           Deleted(khjbxx("100009", "000009", "A6", "17", "5", OTHER))});
    table("YYBXX.DBF", kYybxx,
          {yybxx("100001", "000001", D), yybxx("100001", "000001", D),  // R01
           yybxx("100001", "000002", D),
           yybxx("100003", "000003", OTHER),  // R24; its branch is no branch of the data date
           yybxx("100002", "000004", D),      // R25
           Deleted(yybxx("100001", "000009", D))});
    table("ZJZQDY.DBF", kZjzqdy,
          {zjzqdy("100001", "000001", "A1", "01", "G1", D),
           zjzqdy("100001", "000001", "A1", "01", "G1", D),          // R11
           zjzqdy("100001", "000001", "A5", "04", "G3", D),          // R06; A5 only of another date: R08
           zjzqdy("100001", "000003", "A1", "", "G4", D),            // R07, R08
           zjzqdy("100002", "000001", "A1", "02", "G5", D),          // R21, R08
           zjzqdy("100001", "000001", "A2", "03", "G6", OTHER),      // R20
           zjzqdy("100001", "000001", "A2  ", "02", "G8", D),        // trailing blanks find A2
           zjzqdy("100001", "000001", "A1", std::nullopt, "G9", D),  // NULL market: no R06
           Deleted(zjzqdy("100009", "000009", "A9", "99", "G0", OTHER))});
    table("ZJBDXX.DBF", kZjbdxx,
          {zjbdxx("A1", "CN", D, {{"ZRYE", "100.10"}, {"XJCQJE", "0.20"}, {"JRYE", "100.30"}}),
           zjbdxx("A1", "US", D,
                  {{"ZRYE", "0.1"}, {"XJCQJE", "0.2"}, {"ZQJYMRJE", "-1.00"}, {"JRYE", "-0.70"}}),
           zjbdxx("A1", "XX", D,  // R12 twice, R16
                  {{"ZRYE", "100.10"}, {"XJCQJE", "0.20"}, {"ZQJYMRJE", "5.00"}, {"JRYE", "105.29"}}),
           zjbdxx("A1", "CN", D, {}),  // blanks are 0 and balance; same key as the first: R17
           zjbdxx("A9", "HK", D, {{"ZRYE", "50.01"}, {"JRYE", "50.00"}}, "100003",
                  "000005"),               // R16, R23, R13, R14
           zjbdxx("A1", "CN", OTHER, {}),  // R22
           Deleted(zjbdxx("A8", "ZZ", OTHER, {{"ZQJYMRJE", "9"}}))});
    table("ZHBYZ.DBF", kZhbyz,
          {zhbyz("100001", "000001", "A1", "01", "G1", "0", "01", "", D),
           zhbyz("100001", "000001", std::nullopt, "05", "G2", "2", "08", "08", D),  // R26, R28 twice
           zhbyz("100001", "000001", "", "01", "G3", "5", "", "", D),                // R27
           zhbyz("100001", "000007", "A7", "01", "G4", "1", "", "01", D),            // R33, R34
           zhbyz("100001", "000001", "A1", "01", "G1", "0", "01", "", D),            // R30
           zhbyz("100004", "000001", "A1", "01", "G6", "0", "01", "", OTHER),        // R31
           zhbyz("100002", "000001", "A1", "01", "G7", "0", "01", "", D),            // R32, R34
           Deleted(zhbyz("100009", "000009", "A9", "09", "G9", "9", "99", "99", OTHER))});
    table(
        "SFZFCJG.DBF", kSfzfcjg,
        {sfzfcjg("20080808100001000123", "100001", "1", "4", "1", "1", "01", "01", "", "02", ""),
         // R01, R02, R03, R05, R06, R09, R11, R14
         sfzfcjg("20080808100001000000", "100002", "3", "1", "4", "3", "01", "11", "", "09", ""),
         // R04, R08, R10, R13, R14 (19 characters)
         sfzfcjg("2008080810000100012", "100001", "2", "4", "2", "2", "07", "09", "", "05", "   "),
         // R04, R07, R11, R12, R14 (another company inside)
         sfzfcjg("20080808999999000123", "100001", "1", "3", "3", "1", "09", "01", "x", "08", ""),
         sfzfcjg("20080808100001000555", "100001", "1", "4", "1", "2", "02", "09", "中文说明", "06", "说明"),
         Deleted(sfzfcjg("1", "100009", "9", "9", "9", "9", "99", "99", "", "99", ""))});
    table("SFZHCQK.DBF", kSfzhcqk,
          {{{{"FCTZXH", "20080808100001000123"}}},
           {{{"FCTZXH", "2008080810000100012"}}},
           {{{"FCTZXH", "20080808999999000123"}}},
           {{{"FCTZXH", "20080808100001000555"}}},
           Deleted({{{"FCTZXH", "20080808100001000000"}}})});
  }

  static Rec khjbxx(const char* gs, const char* yyb, const char* zh, const char* zjlb, const char* zhlb,
                    const std::string& sjrq) {
    return {{{"ZQGSDM", gs},
             {"YYBDM", yyb},
             {"ZJZH", zh},
             {"XHRQ", "20080101"},
             {"KHQC", "客户"},
             {"ZJLB", zjlb},
             {"ZJZHLB", zhlb},
             {"SJRQ", sjrq}}};
  }
  static Rec yybxx(const char* gs, const char* yyb, const std::string& sjrq) {
    return {{{"ZQGSDM", gs}, {"YYBDM", yyb}, {"YYBMC", "营业部"}, {"SJRQ", sjrq}}};
  }
  static Rec zjzqdy(const char* gs, const char* yyb, const char* zh, dbf::Value sc, const char* gddm,
                    const std::string& sjrq) {
    return {{{"ZQGSDM", gs},
             {"YYBDM", yyb},
             {"ZJZH", zh},
             {"GDDMSC", sc},
             {"GDDM", gddm},
             {"QXBZ", "1"},
             {"SJRQ", sjrq}}};
  }
  static Rec zjbdxx(const char* zh, const char* bz, const std::string& sjrq,
                    std::map<std::string, dbf::Value> amounts, const char* gs = "100001",
                    const char* yyb = "000001") {
    amounts.insert({{"ZQGSDM", gs}, {"YYBDM", yyb}, {"ZJZH", zh}, {"BZDM", bz}, {"SJRQ", sjrq}});
    return {amounts};
  }
  static Rec zhbyz(const char* gs, const char* yyb, dbf::Value zh, const char* sc, const char* gddm,
                   const char* lx, const char* zjhm, const char* khqc, const std::string& sjrq) {
    return {{{"ZQGSDM", gs},
             {"YYBDM", yyb},
             {"ZJZH", zh},
             {"GDDMSC", sc},
             {"GDDM", gddm},
             {"BYZLX", lx},
             {"ZJHMYY", zjhm},
             {"KHQCYY", khqc},
             {"SJRQ", sjrq}}};
  }
  static Rec sfzfcjg(const char* xh, const char* gs, const char* lx, const char* dkq, const char* cg,
                     const char* bd, const char* qtzj, const char* yy, const char* yysm, const char* clcs,
                     const char* clcssm) {
    return {{{"FCTZXH", xh},
             {"ZQGSDM", gs},
             {"SFZLX", lx},
             {"DKQJY", dkq},
             {"SFCG", cg},
             {"ZHBD", bd},
             {"QTZJ", qtzj},
             {"FCYCYY", yy},
             {"YCYYSM", yysm},
             {"CLCS", clcs},
             {"CLCSSM", clcssm}}};
  }
};

struct Expected {
  const char* rule;  // as ShippedQuery::rule
  int count;         // what it counts on the tables above (rows for a key rule)
};

// In the order of the rule files.
const Expected kExpected[] = {
    {"total KHJBXX", 4}, {"R02", 1}, {"R03", 1}, {"R05", 3}, {"R18", 1}, {"R19", 1}, {"R04", 1},
    {"total ZJZQDY", 7}, {"R06", 1}, {"R11", 6}, {"R20", 1}, {"R21", 1}, {"R07", 1}, {"R08", 3},
    {"total ZJBDXX", 5}, {"R12", 1}, {"R12", 1}, {"R16", 2}, {"R17", 4}, {"R22", 1}, {"R23", 1}, {"R13", 1},
    {"R14", 1},
    {"total YYBXX", 4},  {"R01", 3}, {"R24", 1}, {"R25", 1},
    {"total ZHBYZ", 6},  {"R26", 1}, {"R27", 1}, {"R28", 1}, {"R28", 1}, {"R30", 5}, {"R31", 1}, {"R32", 1},
    {"R33", 1},          {"R34", 2},
    {"total SFZFCJG", 5}, {"R01", 1}, {"R02", 1}, {"R03", 1}, {"R04", 2}, {"R05", 1}, {"R06", 1}, {"R07", 1},
    {"R08", 1},          {"R09", 1}, {"R10", 1}, {"R11", 2}, {"R12", 1}, {"R13", 1}, {"R14", 3},
};

TEST(RuleQueries, EachIsACountOverItsOwnTable) {
  for (const ShippedQuery& q : ShippedQueries()) {
    SCOPED_TRACE(q.sql);
    auto s = Parse(q.sql);
    EXPECT_EQ(text::ToUpper(s->table), q.table);
    ASSERT_EQ(s->items.size(), 1u);
    EXPECT_EQ(s->items[0]->kind, ExprKind::CountStar);
  }
}

TEST_F(RuleQueryTexts, EveryRuleFindsWhatItsDataHolds) {
  const auto& queries = ShippedQueries();
  ASSERT_EQ(queries.size(), std::size(kExpected));
  for (size_t i = 0; i < queries.size(); ++i) {
    const ShippedQuery& q = queries[i];
    SCOPED_TRACE(q.table + " " + q.rule + ": " + q.sql);
    EXPECT_EQ(q.rule, kExpected[i].rule);
    EXPECT_EQ(q.countsRows ? rows(q.sql) : count(q.sql), kExpected[i].count);
  }
}

TEST_F(RuleQueryTexts, ExistenceRulesShareOneIndexWhicheverRunsFirst) {
  // R34 builds the khjbxx index here, R14 and R08 reuse it.
  for (const char* rule : {"R34", "R14", "R08", "R34"}) {
    const size_t i = FirstOf(rule);
    EXPECT_EQ(count(ShippedQueries().at(i).sql), kExpected[i].count) << rule;
  }
}

TEST_F(RuleQueryTexts, AKeyRuleCountsGroupsAndACountGivesTheFirstGroupsCount) {
  const ShippedQuery& r11 = ShippedQueries().at(FirstOf("R11"));
  ASSERT_TRUE(r11.countsRows);
  EXPECT_EQ(rows(r11.sql), 6);
  EXPECT_EQ(count(r11.sql), 2);
}

}  // namespace
}  // namespace fc::query::test
