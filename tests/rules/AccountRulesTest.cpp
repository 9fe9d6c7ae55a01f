// CheckAccountDataLogic over real tables: each table kind with a sample in
// which every rule finds its own count, then the run conditions and edges.
#include <gtest/gtest.h>

#include "query/Session.h"
#include "support/Zip.h"
#include "rules/RuleFixture.h"
#include "rules/Rules.h"

namespace fc::rules::test {
namespace {

using Findings_ = std::vector<Finding>;

class AccountRules : public RuleFixture {
 protected:
  // Branch 000001 of the data date; branch 000009 only under another date,
  // so records naming it break the branch rules.
  void WriteBranches() {
    Write("YYBXX", Join({Make("YYBXX", 1, {{"YYBDM", "000001"}}),
                         Make("YYBXX", 1, {{"YYBDM", "000009"}, {"SJRQ", kOtherDate}})}));
  }
};

// `n` records of another date (two per key) that would break every rule of
// their table: only the date rule may see them.
Rows OtherDate(const std::string& kind, int n, Row fields) {
  fields["SJRQ"] = kOtherDate;
  fields["ZQGSDM"] = kOtherCode;
  if (kind != "YYBXX") fields["YYBDM"] = "000009";
  Rows rows = Make(kind, n / 2, fields);
  return Join({rows, rows});
}

using KhjbxxRules = AccountRules;

// The worked example in the head of account.rules is what a check reports.
TEST_F(KhjbxxRules, TheRuleFilesWorkedExampleHolds) {
  Write("KHJBXX", Join({Make("KHJBXX", 1, {{"ZJZHLB", "0"}}), Make("KHJBXX", 1, {{"ZJZHLB", "3"}}),
                        Make("KHJBXX", 1, {{"ZJZHLB", "5"}})}));
  WriteBranches();
  Run([](RuleContext& ctx) { CheckAccountDataLogic(ctx, AccountKind::Khjbxx, 1, 0, 3); });
  const std::string head = fc::test::ReadFileBytes(std::filesystem::path(FC_SOURCE_DATA_DIR) / "rulesets/interface-1/account.rules");
  const Findings_ findings = Findings();
  ASSERT_FALSE(findings.empty());
  EXPECT_EQ(findings[0].errid, "R02");
  EXPECT_NE(head.find("# \"" + findings[0].errdesc + "\"."), std::string::npos) << findings[0].errdesc;
}

TEST_F(KhjbxxRules, EachRuleReportsItsOwnCount) {
  Rows good = Make("KHJBXX", 10);
  Write("KHJBXX", Join({good, Make("KHJBXX", 1, {{"ZJZHLB", "5"}}),
                        Make("KHJBXX", 2, {{"ZJLB", "20"}}), Rows{good[0], good[1], good[2]},
                        Make("KHJBXX", 4, {{"ZQGSDM", kOtherCode}}),
                        Make("KHJBXX", 5, {{"YYBDM", "000009"}}),
                        OtherDate("KHJBXX", 6, {{"ZJZHLB", "5"}, {"ZJLB", "20"}})}));
  WriteBranches();
  Run([](RuleContext& ctx) { CheckAccountDataLogic(ctx, AccountKind::Khjbxx, 1, 0, 3); });
  const std::string head = "客户基本信息表数据日期为20080808的记录有 25条,";
  EXPECT_EQ(Findings(),
            (Findings_{{3, "R02", head + "其中 1条记录资金账户类别不为0-3,9"},
                       {3, "R03", head + "其中 2条记录客户证件类别不为10-16,99"},
                       {3, "R05", head + "其中 3记录键字重复"},
                       {3, "R18", head + "此外 6条记录数据日期不是20080808"},
                       {3, "R19", head + "其中 4条记录证券公司代码不是100001"},
                       {3, "R04", head + "其中 5条记录营业部代码在营业部信息表中不存在"}}));
}

TEST_F(KhjbxxRules, TenRecordsInEightKeysGiveTwoRepeats) {
  Rows keys = Make("KHJBXX", 8);
  Write("KHJBXX", Join({keys, Rows{keys[3], keys[5]}}));
  Run([](RuleContext& ctx) { CheckAccountDataLogic(ctx, AccountKind::Khjbxx, 0, 0, 1); });
  EXPECT_EQ(Findings(),
            (Findings_{{1, "R05", "客户基本信息表数据日期为20080808的记录有 10条,其中 2记录键字重复"}}));
}

TEST_F(KhjbxxRules, RecordsAllOfAnotherDateMeetOnlyTheDateRule) {
  Write("KHJBXX", Make("KHJBXX", 3, {{"SJRQ", kOtherDate}, {"ZJZHLB", "7"}}));
  Run([](RuleContext& ctx) { CheckAccountDataLogic(ctx, AccountKind::Khjbxx, 0, 0, 2); });
  EXPECT_EQ(Findings(),
            (Findings_{{2, "R18",
                        "客户基本信息表数据日期为20080808的记录有 0条,此外 3条记录数据日期不是20080808"}}));
}

TEST_F(KhjbxxRules, FailingQueryPassesOnAndKeepsEarlierFindings) {
  Write("KHJBXX", Make("KHJBXX", 2, {{"ZJZHLB", "5"}}), {.omit = "ZJLB"});
  EXPECT_THROW(Run([](RuleContext& ctx) { CheckAccountDataLogic(ctx, AccountKind::Khjbxx, 0, 0, 4); }),
               query::QueryError);
  EXPECT_EQ(Findings(),
            (Findings_{{4, "R02",
                        "客户基本信息表数据日期为20080808的记录有 2条,其中 2条记录资金账户类别不为0-3,9"}}));
}

using ZjzqdyRules = AccountRules;

TEST_F(ZjzqdyRules, EachRuleReportsItsOwnCount) {
  Rows good = Join({Make("ZJZQDY", 9), Make("ZJZQDY", 1, {{"GDDMSC", ""}})});
  Rows market = Make("ZJZQDY", 1, {{"GDDMSC", "04"}});
  Rows company = Make("ZJZQDY", 3, {{"ZQGSDM", kOtherCode}});
  Rows branch = Make("ZJZQDY", 4, {{"YYBDM", "000009"}});
  Rows noCustomer = Make("ZJZQDY", 5);
  Write("ZJZQDY", Join({good, market, Rows{good[0], good[1]}, company, branch, noCustomer,
                        OtherDate("ZJZQDY", 6, {{"GDDMSC", "09"}})}));
  // The accounts of noCustomer exist only under another date.
  Write("KHJBXX", Join({AccountsOf(Join({good, market, company, branch})),
                        AccountsOf(noCustomer, {{"SJRQ", kOtherDate}})}));
  WriteBranches();
  Run([](RuleContext& ctx) { CheckAccountDataLogic(ctx, AccountKind::Zjzqdy, 1, 1, 5); });
  const std::string head = "资金证券账户对应关系表数据日期为20080808的记录有 25条,";
  EXPECT_EQ(Findings(),
            (Findings_{{5, "R06", head + "其中 1条记录股东代码市场不为01-03"},
                       {5, "R11", head + "其中 2条记录键字重复"},
                       {5, "R20", head + "此外 6条记录数据日期不是20080808"},
                       {5, "R21", head + "其中 3条记录证券公司代码不是100001"},
                       {5, "R07", head + "其中 4条记录营业部代码在营业部信息表中不存在"},
                       {5, "R08", head + "其中 5条记录证券公司代码+营业部代码+资金账号在客户基本信息中不存在"}}));
}

using ZjbdxxRules = AccountRules;

TEST_F(ZjbdxxRules, EachRuleReportsItsOwnCountAndR12Twice) {
  Rows good = Make("ZJBDXX", 10);  // 100.10 + 0.20 = 100.30 exactly
  Rows currency = Make("ZJBDXX", 1, {{"BZDM", "JP"}});
  Rows bought = Make("ZJBDXX", 2, {{"ZQJYMRJE", "5.00"}, {"JRYE", "105.30"}});
  Rows unbalanced = Make("ZJBDXX", 3, {{"JRYE", "100.31"}});
  Rows company = Make("ZJBDXX", 5, {{"ZQGSDM", kOtherCode}});
  Rows branch = Make("ZJBDXX", 6, {{"YYBDM", "000009"}});
  Rows noCustomer = Make("ZJBDXX", 7);
  Write("ZJBDXX", Join({good, currency, bought, unbalanced, Rows{good[0], good[1], good[2], good[3]},
                        company, branch, noCustomer,
                        OtherDate("ZJBDXX", 8, {{"BZDM", "JP"}, {"JRYE", "1.00"}})}));
  Write("KHJBXX", AccountsOf(Join({good, currency, bought, unbalanced, company, branch})));
  WriteBranches();
  Run([](RuleContext& ctx) { CheckAccountDataLogic(ctx, AccountKind::Zjbdxx, 1, 1, 6); });
  const std::string head = "资金变动信息表数据日期为20080808的记录有 38条,";
  EXPECT_EQ(Findings(),
            (Findings_{{6, "R12", head + "其中 1条记录币种代码不为CN/US/HK"},
                       {6, "R12", head + "其中 2条记录交易所买入金额>0"},
                       {6, "R16", head + "其中 3条记录余额不平"},
                       {6, "R17", head + "其中 4条记录键字重复"},
                       {6, "R22", head + "此外 8条记录数据日期不是20080808"},
                       {6, "R23", head + "其中 5条记录证券公司代码不是100001"},
                       {6, "R13", head + "其中 6条记录营业部代码在营业部信息表中不存在"},
                       {6, "R14", head + "其中 7条记录证券公司代码+营业部代码+资金账号在客户基本信息中不存在"}}));
}

using YybxxRules = AccountRules;

TEST_F(YybxxRules, EachRuleReportsItsOwnCount) {
  Rows good = Make("YYBXX", 3);
  Write("YYBXX", Join({good, Rows{good[0], good[1]}, Make("YYBXX", 3, {{"ZQGSDM", kOtherCode}}),
                       OtherDate("YYBXX", 4, {})}));
  Run([](RuleContext& ctx) { CheckAccountDataLogic(ctx, AccountKind::Yybxx, 0, 0, 7); });
  const std::string head = "营业部信息表数据日期为20080808的记录有 8条,";
  EXPECT_EQ(Findings(), (Findings_{{7, "R01", head + "其中 2条记录键字不唯一"},
                                   {7, "R24", head + "此外 4条记录数据日期不是20080808"},
                                   {7, "R25", head + "其中 3条记录证券公司代码不是100001"}}));
}

using ZhbyzRules = AccountRules;

TEST_F(ZhbyzRules, EachRuleReportsItsOwnCountAndR28Twice) {
  Rows good = Make("ZHBYZ", 6);
  Rows odd = Join({Make("ZHBYZ", 1, {{"GDDMSC", ""}}), Make("ZHBYZ", 1, {{"GDDMSC", std::nullopt}})});
  Rows noAccount = Join({Make("ZHBYZ", 1, {{"ZJZH", ""}}), Make("ZHBYZ", 1, {{"ZJZH", std::nullopt}})});
  Rows market = Make("ZHBYZ", 1, {{"GDDMSC", "05"}});
  Rows type = Make("ZHBYZ", 2, {{"BYZLX", "7"}});
  Rows idReason = Make("ZHBYZ", 3, {{"BYZLX", "0"}, {"ZJHMYY", "08"}});
  Rows nameReason = Make("ZHBYZ", 4, {{"BYZLX", "1"}, {"KHQCYY", "00"}});
  Rows company = Make("ZHBYZ", 6, {{"ZQGSDM", kOtherCode}});
  Rows branch = Make("ZHBYZ", 7, {{"YYBDM", "000009"}});
  Rows noCustomer = Make("ZHBYZ", 8);
  Write("ZHBYZ",
        Join({good, odd, noAccount, market, type, idReason, nameReason,
              Rows{good[0], good[1], good[2], good[3], good[4]}, company, branch, noCustomer,
              OtherDate("ZHBYZ", 10, {{"BYZLX", "7"}, {"GDDMSC", "05"}})}),
        {.nullable = {"ZJZH", "GDDMSC"}});
  Write("KHJBXX", Join({AccountsOf(Join({good, odd, market, type, idReason, nameReason, company,
                                          branch})),
                        AccountsOf(noCustomer, {{"SJRQ", kOtherDate}})}));
  WriteBranches();
  Run([](RuleContext& ctx) { CheckAccountDataLogic(ctx, AccountKind::Zhbyz, 1, 1, 8); });
  const std::string head = "账户比对不一致表数据日期为20080808的记录有 46条,";
  EXPECT_EQ(Findings(),
            (Findings_{{8, "R26", head + "其中 1条记录股东代码市场不为01-03"},
                       {8, "R27", head + "其中 2条记录不一致类型不为0-4"},
                       {8, "R28", head + "其中 3条记录不一致类型填写了0或2，但证件号码不一致原因不为01-07,99"},
                       {8, "R28", head + "其中 4条记录不一致类型填写了1或2，但客户全称不一致原因不为01-07,99"},
                       {8, "R30", head + "其中 5条记录键字重复"},
                       {8, "R31", head + "此外 10条记录数据日期不是20080808"},
                       {8, "R32", "账户比对不一致关系表数据日期为20080808的记录有 46条,其中 6条记录证券公司代码不是100001"},
                       {8, "R33", head + "其中 7条记录营业部代码在营业部信息表中不存在"},
                       {8, "R34", head + "其中 8条记录证券公司代码+营业部代码+资金账号在客户基本信息中不存在"}}));
}

TEST_F(ZhbyzRules, BlankOrNullFundAccountsAreNeverLookedUp) {
  Write("ZHBYZ",
        Join({Make("ZHBYZ", 1, {{"ZJZH", ""}, {"GDDM", "A1"}}),
              Make("ZHBYZ", 1, {{"ZJZH", std::nullopt}, {"GDDM", "A2"}})}),
        {.nullable = {"ZJZH"}});
  Write("KHJBXX", {});
  Run([](RuleContext& ctx) { CheckAccountDataLogic(ctx, AccountKind::Zhbyz, 0, 1, 1); });
  EXPECT_EQ(Findings(), Findings_{});
}

// The tables another table's rules look into are left out of the directory:
// a rule that ran anyway would fail on the missing table.
using AccountRunConditions = AccountRules;

TEST_F(AccountRunConditions, IncrementalModeNeverRunsTheCustomerRules) {
  Write("ZJZQDY", Make("ZJZQDY", 2));
  Write("ZJBDXX", Make("ZJBDXX", 2));
  Write("ZHBYZ", Make("ZHBYZ", 2));
  WriteBranches();
  Run([](RuleContext& ctx) {
    for (int kind : {2, 3, 5}) CheckAccountDataLogic(ctx, AccountKindNumbered(kind), 1, 0, kind);
  });
  EXPECT_EQ(Findings(), Findings_{});
}

TEST_F(AccountRunConditions, WithoutTheBranchTableTheBranchRulesDoNotRun) {
  Rows accounts = Make("KHJBXX", 2, {{"YYBDM", "000009"}});
  Write("KHJBXX", accounts);
  Write("ZJZQDY", AccountsOf(accounts));
  Write("ZJBDXX", AccountsOf(accounts));
  Write("ZHBYZ", AccountsOf(accounts));
  Run([](RuleContext& ctx) {
    CheckAccountDataLogic(ctx, AccountKind::Khjbxx, 0, 0, 1);
    for (int kind : {2, 3, 5}) CheckAccountDataLogic(ctx, AccountKindNumbered(kind), 0, 1, kind);
  });
  EXPECT_EQ(Findings(), Findings_{});
}

TEST_F(AccountRunConditions, KindsOutsideOneToFiveRunNothing) {
  Run([](RuleContext& ctx) {
    for (int kind : {-1, 0, 6, 7}) CheckAccountDataLogic(ctx, AccountKindNumbered(kind), 1, 1, 1);
  });
  EXPECT_EQ(Findings(), Findings_{});
}

}  // namespace
}  // namespace fc::rules::test
