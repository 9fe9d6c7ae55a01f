// CheckIdentityDataLogic over real tables: a submission in which every rule
// finds its own count, then the run conditions, counts and edges.
#include <gtest/gtest.h>

#include <cstdio>

#include "query/Session.h"
#include "support/Zip.h"
#include "rules/RuleFixture.h"
#include "rules/Rules.h"

namespace fc::rules::test {
namespace {

using Findings_ = std::vector<Finding>;

class IdentityRules : public RuleFixture {
 protected:
  // The comparison table, listing the notice numbers of `rows`.
  void WriteComparison(const Rows& rows) {
    Rows notices;
    for (const Row& row : rows) notices.push_back({{"FCTZXH", row.at("FCTZXH")}});
    Write("SFZHCQK", notices);
  }
};

// Notice numbers that break R14 and nothing else: 19 characters, serial
// 000000, another company's code at 9..14, in turn.
Rows BadNotices(int n) {
  Rows rows;
  for (int i = 0; i < n; ++i) {
    char number[32];
    const char* forms[] = {"2008080810000%06d", "%08d100001000000", "20080808100002%06d"};
    std::snprintf(number, sizeof number, forms[i % 3], i + 1);
    rows.push_back({{"FCTZXH", std::string(number)}});
  }
  return rows;
}

// The worked example in the head of identity.rules is what a check reports.
TEST_F(IdentityRules, TheRuleFilesWorkedExampleHolds) {
  Write("SFZFCJG", Join({Make("SFZFCJG", 1, {{"SFZLX", "1"}}), Make("SFZFCJG", 2, {{"SFZLX", "2"}}),
                         Make("SFZFCJG", 1, {{"SFZLX", "3"}})}));
  Run([](RuleContext& ctx) { CheckIdentityDataLogic(ctx, IdentityKind::Sfzfcjg, 0, 1); });
  const std::string head = fc::test::ReadFileBytes(std::filesystem::path(FC_SOURCE_DATA_DIR) / "rulesets/interface-1/identity.rules");
  bool seen = false;
  for (const Finding& f : Findings()) {
    if (f.errid != "R03") continue;
    seen = true;
    EXPECT_NE(head.find("\"" + f.errdesc + "\"."), std::string::npos) << f.errdesc;
  }
  EXPECT_TRUE(seen);
}

TEST_F(IdentityRules, EachRuleReportsItsOwnCount) {
  Rows listed = Join({
      Make("SFZFCJG", 5),
      Make("SFZFCJG", 1, {{"ZQGSDM", kOtherCode}}),
      Make("SFZFCJG", 3, {{"SFZLX", "3"}}),
      Make("SFZFCJG", 4, {{"DKQJY", "3"}}),
      Make("SFZFCJG", 5, {{"SFCG", "4"}}),
      Make("SFZFCJG", 6, {{"ZHBD", "3"}}),
      Make("SFZFCJG", 7, {{"QTZJ", "08"}}),
      Make("SFZFCJG", 8, {{"SFZLX", "2"}, {"DKQJY", "1"}, {"QTZJ", "01"}}),
      Make("SFZFCJG", 9, {{"FCYCYY", "11"}}),
      Make("SFZFCJG", 10, {{"FCYCYY", "09"}}),
      Make("SFZFCJG", 11, {{"CLCS", "09"}}),
      Make("SFZFCJG", 12, {{"FCYCYY", "01"}, {"CLCS", "01"}}),
      Make("SFZFCJG", 13, {{"CLCS", "05"}}),
      BadNotices(14),
  });
  Write("SFZFCJG", Join({listed, Make("SFZFCJG", 2)}));
  WriteComparison(listed);
  Run([](RuleContext& ctx) { CheckIdentityDataLogic(ctx, IdentityKind::Sfzfcjg, 1, 1); });
  const std::string has = "投资者身份信息复查处理结果表中有";
  EXPECT_EQ(Findings(),
            (Findings_{
                {1, "R01", "投资者身份信息复查处理结果表的记录有 110条,其中 1条记录证券公司代码不是100001。"},
                {1, "R02", has + " 2条记录的复查通知序号在投资者身份信息核查异常明细表中不存在（对原报送的复查结果补充更新的,复查通知序号也应在之前的下发文件中找到）。"},
                {1, "R03", has + " 3条记录客户证件类别不为1或2。"},
                {1, "R04", has + " 4条记录身份证类型填写了1，而读卡器校验情况未填写4 或者 身份证类型填写了2，而读卡器校验情况未填写1-3。这些记录可能有误，请核实。"},
                {1, "R05", has + " 5条记录三方存管办理情况不为1-3。"},
                {1, "R06", has + " 6条记录证券、资金账户比对结果不为1-2（开立了证券账户但没有开立资金账户的需填2）。"},
                {1, "R07", has + " 7条记录身份证类型填写了1,其他身份证明文件情况未填写01-07。这些记录可能有误，请核实。"},
                {1, "R08", has + " 8条记录身份证类型填写了2,其他身份证明文件情况未填写08。这些记录可能有误，请核实。"},
                {1, "R09", has + " 9条记录身份证复查异常原因不为01-10。"},
                {1, "R10", has + " 10条记录身份证复查异常原因填写了09的，异常原因补充说明中没有文字说明。这些记录可能有误，请核实。"},
                {1, "R11", has + " 11条记录处理措施不为01-08 或 处理措施填写了08且身份证类型填写了1时其他身份证明文件情况不为01-06。这些记录可能有误，请核实。"},
                {1, "R12", has + " 12条记录不符合以下规则：身份证复查异常原因填写01的，处理措施仅能填报02或03。这些记录可能有误，请核实。"},
                {1, "R13", has + " 13条记录处理措施填写了05、06、07其中之一,但处理措施补充说明中没有文字说明。这些记录可能有误，请核实。"},
                {1, "R14", has + " 14条记录的复查通知序号编码错误。复查通知序号必须与登记结算机构下发文件匹配，且不允许自行编号。"},
            }));
}

TEST_F(IdentityRules, WithoutTheComparisonR02IsSkipped) {
  Write("SFZFCJG", Join({Make("SFZFCJG", 3), Make("SFZFCJG", 1, {{"SFCG", "4"}})}));
  Run([](RuleContext& ctx) { CheckIdentityDataLogic(ctx, IdentityKind::Sfzfcjg, 0, 2); });
  EXPECT_EQ(Findings(),
            (Findings_{{2, "R05", "投资者身份信息复查处理结果表中有 1条记录三方存管办理情况不为1-3。"}}));
}

TEST_F(IdentityRules, TheComparisonFileRunsNothing) {
  Run([](RuleContext& ctx) {
    for (int kind : {2, 0, 3}) CheckIdentityDataLogic(ctx, IdentityKindNumbered(kind), 1, 2);
  });
  EXPECT_EQ(Findings(), Findings_{});
}

TEST_F(IdentityRules, AnEmptySubmissionWritesNothing) {
  Write("SFZFCJG", {});
  Write("SFZHCQK", {});
  Run([](RuleContext& ctx) { CheckIdentityDataLogic(ctx, IdentityKind::Sfzfcjg, 1, 1); });
  EXPECT_EQ(Findings(), Findings_{});
}

TEST_F(IdentityRules, TwelveRecordsBreakingTwoRulesGiveTwoRows) {
  Rows rows = Make("SFZFCJG", 12, {{"SFCG", "4"}, {"ZHBD", "3"}});
  Write("SFZFCJG", rows);
  WriteComparison(rows);
  Run([](RuleContext& ctx) { CheckIdentityDataLogic(ctx, IdentityKind::Sfzfcjg, 1, 3); });
  EXPECT_EQ(Findings(),
            (Findings_{{3, "R05", "投资者身份信息复查处理结果表中有 12条记录三方存管办理情况不为1-3。"},
                       {3, "R06", "投资者身份信息复查处理结果表中有 12条记录证券、资金账户比对结果不为1-2（开立了证券账户但没有开立资金账户的需填2）。"}}));
}

TEST_F(IdentityRules, CompanyRuleQuotesTotalCountAndCode) {
  Rows rows = Join({Make("SFZFCJG", 115), Make("SFZFCJG", 5, {{"ZQGSDM", kOtherCode}})});
  Write("SFZFCJG", rows);
  Run([](RuleContext& ctx) { CheckIdentityDataLogic(ctx, IdentityKind::Sfzfcjg, 0, 4); });
  EXPECT_EQ(Findings(),
            (Findings_{{4, "R01", "投资者身份信息复查处理结果表的记录有 120条,其中 5条记录证券公司代码不是100001。"}}));
}

TEST_F(IdentityRules, NoticeNumbersOfNineteenCharactersAreMiscoded) {
  // The company code at 9..14 and a serial after it, one character short.
  Write("SFZFCJG", Rows{{{"FCTZXH", "2008080810000100123"}}, {{"FCTZXH", "2008080810000100456"}}});
  Run([](RuleContext& ctx) { CheckIdentityDataLogic(ctx, IdentityKind::Sfzfcjg, 0, 5); });
  EXPECT_EQ(Findings(),
            (Findings_{{5, "R14", "投资者身份信息复查处理结果表中有 2条记录的复查通知序号编码错误。复查通知序号必须与登记结算机构下发文件匹配，且不允许自行编号。"}}));
}

TEST_F(IdentityRules, FailingQueryPassesOnAndKeepsEarlierFindings) {
  Rows rows = Make("SFZFCJG", 2, {{"ZQGSDM", kOtherCode}});
  Write("SFZFCJG", rows, {.omit = "CLCS"});
  WriteComparison(rows);
  EXPECT_THROW(Run([](RuleContext& ctx) { CheckIdentityDataLogic(ctx, IdentityKind::Sfzfcjg, 1, 6); }),
               query::QueryError);
  EXPECT_EQ(Findings(),
            (Findings_{{6, "R01", "投资者身份信息复查处理结果表的记录有 2条,其中 2条记录证券公司代码不是100001。"}}));
}

}  // namespace
}  // namespace fc::rules::test
