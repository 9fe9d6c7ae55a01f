// Text-level tests of the data rules: every query text an operation can run,
// for the date 20080808 and the company code 100001, in the order it runs,
// against literal copies of the agreed texts; and the message forms.
#include <gtest/gtest.h>

#include <span>
#include <string>

#include "query/Session.h"
#include "rules/RuleFixture.h"
#include "rules/RuleTables.h"
#include "rules/RuleText.h"

namespace fc::rules {
namespace {

using test::ShippedRules;

struct Expected {
  const char* code;   // "total" for the table's record total
  const char* query;  // the query text with date and code spliced in
  const char* tail;   // message tail ("" for the date, company and R01 forms)
};

const Expected kKhjbxx[] = {
    {"total", "select count(*) from KHJBXX where sjrq='20080808'", ""},
    {"R02", "SELECT count(*) from khjbxx where zjzhlb not in('0','1','2','3','9') and sjrq='20080808'", "条记录资金账户类别不为0-3,9"},
    {"R03", "SELECT count(*) from khjbxx where zjlb not in('10','11','12','13','14','15','16','99') and sjrq='20080808'", "条记录客户证件类别不为10-16,99"},
    {"R05", "select count(*) from khjbxx where sjrq='20080808' group by zqgsdm,yybdm,zjzh,xhrq", "记录键字重复"},
    {"R18", "select count(*) from khjbxx where sjrq<> '20080808'", ""},
    {"R19", "select count(*) from khjbxx where zqgsdm<> '100001' and sjrq='20080808'", ""},
    {"R04", "select count(*) from khjbxx where  yybdm  not in (select yybdm from yybxx where sjrq='20080808') and sjrq='20080808'", "条记录营业部代码在营业部信息表中不存在"},
};

const Expected kZjzqdy[] = {
    {"total", "select count(*) from zjzqdy where sjrq='20080808'", ""},
    {"R06", "SELECT count(*) from zjzqdy where gddmsc is not null and trim(gddmsc) not in('01','02','03','') and sjrq='20080808'", "条记录股东代码市场不为01-03"},
    {"R11", "select count(*) from zjzqdy where sjrq='20080808' group by zqgsdm,yybdm,zjzh,gddmsc,gddm,qxbz", "条记录键字重复"},
    {"R20", "select count(*) from zjzqdy where sjrq<> '20080808'", ""},
    {"R21", "select count(*) from zjzqdy where zqgsdm<> '100001' and sjrq='20080808'", ""},
    {"R07", "select count(*) from zjzqdy where  yybdm  not in (select yybdm from yybxx where sjrq='20080808') and sjrq='20080808'", "条记录营业部代码在营业部信息表中不存在"},
    {"R08", "SELECT count(*) from zjzqdy a where not exists(select * from khjbxx b where a.zqgsdm=b.zqgsdm and a.yybdm=b.yybdm and a.zjzh=b.zjzh and b.sjrq='20080808')  and a.sjrq='20080808'", "条记录证券公司代码+营业部代码+资金账号在客户基本信息中不存在"},
};

const Expected kZjbdxx[] = {
    {"total", "select count(*) from zjbdxx where sjrq='20080808'", ""},
    {"R12", "SELECT count(*) from zjbdxx where bzdm not in('CN','US','HK') and sjrq='20080808'", "条记录币种代码不为CN/US/HK"},
    {"R12", "SELECT count(*) from zjbdxx where ZQJYMRJE>0 and sjrq='20080808'", "条记录交易所买入金额>0"},
    {"R16", "SELECT count(*) from zjbdxx where  jrye<>zrye+xjcqje+zqjymcje+zqjymrje+fjzjyje and sjrq='20080808'", "条记录余额不平"},
    {"R17", "select count(*) from zjbdxx where sjrq='20080808' group by zqgsdm,yybdm,zjzh,bzdm", "条记录键字重复"},
    {"R22", "select count(*) from zjbdxx where sjrq<> '20080808'", ""},
    {"R23", "select count(*) from zjbdxx where zqgsdm<> '100001' and sjrq='20080808'", ""},
    {"R13", "select count(*) from zjbdxx where  yybdm  not in (select yybdm from yybxx where sjrq='20080808') and sjrq='20080808'", "条记录营业部代码在营业部信息表中不存在"},
    {"R14", "SELECT count(*) from zjbdxx a where not exists(select * from khjbxx b where a.zqgsdm=b.zqgsdm and a.yybdm=b.yybdm and a.zjzh=b.zjzh and b.sjrq='20080808')  and a.sjrq='20080808'", "条记录证券公司代码+营业部代码+资金账号在客户基本信息中不存在"},
};

const Expected kYybxx[] = {
    {"total", "select count(*) from yybxx where sjrq='20080808'", ""},
    {"R01", "select count(*) from yybxx where sjrq='20080808' group by zqgsdm,yybdm", "条记录键字不唯一"},
    {"R24", "select count(*) from yybxx where sjrq<> '20080808'", ""},
    {"R25", "select count(*) from yybxx where zqgsdm<> '100001' and sjrq='20080808'", ""},
};

const Expected kZhbyz[] = {
    {"total", "select count(*) from zhbyz where sjrq='20080808'", ""},
    {"R26", "SELECT count(*) from zhbyz where gddmsc is not null and trim(gddmsc) not in('01','02','03','') and sjrq='20080808'", "条记录股东代码市场不为01-03"},
    {"R27", "SELECT count(*) from zhbyz where byzlx not in('0','1','2','3','4') and sjrq='20080808'", "条记录不一致类型不为0-4"},
    {"R28", "SELECT count(*) from zhbyz where zjhmyy not in('01','02','03','04','05','06','07','99') and (byzlx='0' or byzlx='2') and sjrq='20080808'", "条记录不一致类型填写了0或2，但证件号码不一致原因不为01-07,99"},
    {"R28", "SELECT count(*) from zhbyz where khqcyy not in('01','02','03','04','05','06','07','99') and (byzlx='1' or byzlx='2') and sjrq='20080808'", "条记录不一致类型填写了1或2，但客户全称不一致原因不为01-07,99"},
    {"R30", "select count(*) from zhbyz where sjrq='20080808' group by zqgsdm,yybdm,zjzh,gddmsc,gddm", "条记录键字重复"},
    {"R31", "select count(*) from zhbyz where sjrq<> '20080808'", ""},
    {"R32", "select count(*) from zhbyz where zqgsdm<> '100001' and sjrq='20080808'", ""},
    {"R33", "select count(*) from zhbyz where  yybdm  not in (select yybdm from yybxx where sjrq='20080808') and sjrq='20080808'", "条记录营业部代码在营业部信息表中不存在"},
    {"R34", "SELECT count(*) from zhbyz a where a.sjrq='20080808' and  not(a.zjzh is null or trim(a.zjzh)='') and not exists(select * from khjbxx b where a.zqgsdm=b.zqgsdm and a.yybdm=b.yybdm and a.zjzh=b.zjzh and b.sjrq='20080808')", "条记录证券公司代码+营业部代码+资金账号在客户基本信息中不存在"},
};

const Expected kSfzfcjg[] = {
    {"R01", "select count(*) from sfzfcjg where zqgsdm<> '100001'", ""},
    {"R02", "select count(*) from sfzfcjg where  fctzxh  not in (select fctzxh from sfzhcqk )", "条记录的复查通知序号在投资者身份信息核查异常明细表中不存在（对原报送的复查结果补充更新的,复查通知序号也应在之前的下发文件中找到）。"},
    {"R03", "SELECT count(*) from sfzfcjg where sfzlx not in('1','2') ", "条记录客户证件类别不为1或2。"},
    {"R04", "select count(*) from sfzfcjg where (sfzlx='1' and dkqjy<>'4') or (sfzlx='2' and dkqjy not in ('1','2','3'))", "条记录身份证类型填写了1，而读卡器校验情况未填写4 或者 身份证类型填写了2，而读卡器校验情况未填写1-3。这些记录可能有误，请核实。"},
    {"R05", "select count(*) from sfzfcjg where sfcg not in ('1','2','3')", "条记录三方存管办理情况不为1-3。"},
    {"R06", "SELECT count(*) from sfzfcjg where zhbd not in('1','2')", "条记录证券、资金账户比对结果不为1-2（开立了证券账户但没有开立资金账户的需填2）。"},
    {"R07", "SELECT count(*) from sfzfcjg where sfzlx ='1' and qtzj not in ('01','02','03','04','05','06','07')", "条记录身份证类型填写了1,其他身份证明文件情况未填写01-07。这些记录可能有误，请核实。"},
    {"R08", "SELECT count(*) from sfzfcjg where sfzlx ='2' and qtzj <>'08'", "条记录身份证类型填写了2,其他身份证明文件情况未填写08。这些记录可能有误，请核实。"},
    {"R09", "SELECT count(*) from sfzfcjg where fcycyy  not in ('01','02','03','04','05','06','07','08','09','10')", "条记录身份证复查异常原因不为01-10。"},
    {"R10", "SELECT count(*) from sfzfcjg where fcycyy ='09' and len(trim(ycyysm)) = 0", "条记录身份证复查异常原因填写了09的，异常原因补充说明中没有文字说明。这些记录可能有误，请核实。"},
    {"R11", "SELECT count(*) from sfzfcjg where clcs not in ('01','02','03','04','05','06','07','08') or (clcs = '08' and sfzlx = '1' and qtzj not in ('01','02','03','04','05','06'))", "条记录处理措施不为01-08 或 处理措施填写了08且身份证类型填写了1时其他身份证明文件情况不为01-06。这些记录可能有误，请核实。"},
    {"R12", "SELECT count(*) from sfzfcjg where clcs not in ('02','03') and fcycyy ='01'", "条记录不符合以下规则：身份证复查异常原因填写01的，处理措施仅能填报02或03。这些记录可能有误，请核实。"},
    {"R13", "SELECT count(*) from sfzfcjg where clcs in ('05','06','07') and len(trim(clcssm)) = 0", "条记录处理措施填写了05、06、07其中之一,但处理措施补充说明中没有文字说明。这些记录可能有误，请核实。"},
    {"R14", "select count(*) from sfzfcjg where  len(trim(fctzxh))<>20 or substr(trim(fctzxh),15,6) = '000000' or substr(trim(fctzxh),9,6)<> '100001'", "条记录的复查通知序号编码错误。复查通知序号必须与登记结算机构下发文件匹配，且不允许自行编号。"},
};
void ExpectAccountKind(int kind, std::span<const Expected> expected) {
  SCOPED_TRACE("tableKind " + std::to_string(kind));
  const AccountTable* table = ShippedRules().accountRulesOf(kind);
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(SpliceQuery(table->totalQuery, "20080808", "100001"), expected[0].query);
  ASSERT_EQ(table->rules.size(), expected.size() - 1);
  for (size_t i = 0; i < table->rules.size(); ++i) {
    const AccountRule& rule = table->rules[i];
    const Expected& want = expected[i + 1];
    SCOPED_TRACE(want.code);
    EXPECT_STREQ(rule.code, want.code);
    EXPECT_EQ(SpliceQuery(rule.query, "20080808", "100001"), want.query);
    EXPECT_STREQ(rule.tail, want.tail);
  }
}

TEST(AccountQueryTexts, KhjbxxRunsItsTotalAndRulesInOrder) { ExpectAccountKind(1, kKhjbxx); }
TEST(AccountQueryTexts, ZjzqdyRunsItsTotalAndRulesInOrder) { ExpectAccountKind(2, kZjzqdy); }
TEST(AccountQueryTexts, ZjbdxxRunsItsTotalAndRulesInOrder) { ExpectAccountKind(3, kZjbdxx); }
TEST(AccountQueryTexts, YybxxRunsItsTotalAndRulesInOrder) { ExpectAccountKind(4, kYybxx); }
TEST(AccountQueryTexts, ZhbyzRunsItsTotalAndRulesInOrder) { ExpectAccountKind(5, kZhbyz); }

TEST(AccountQueryTexts, KindsOutsideOneToFiveHaveNoRules) {
  EXPECT_EQ(ShippedRules().accountRulesOf(0), nullptr);
  EXPECT_EQ(ShippedRules().accountRulesOf(6), nullptr);
  EXPECT_EQ(ShippedRules().accountRulesOf(-1), nullptr);
}

TEST(AccountQueryTexts, OnlyTheBranchAndCustomerRulesDependOnOtherTables) {
  std::string branch, customer;
  for (int kind = 1; kind <= 5; ++kind)
    for (const AccountRule& rule : ShippedRules().accountRulesOf(kind)->rules) {
      if (rule.runs == RunsWhen::BranchTable) branch += rule.code;
      if (rule.runs == RunsWhen::CustomerTable) customer += rule.code;
    }
  EXPECT_EQ(branch, "R04R07R13R33");
  EXPECT_EQ(customer, "R08R14R34");
}

TEST(IdentityQueryTexts, SubmissionRunsItsTotalAndRulesInOrder) {
  EXPECT_STREQ(ShippedRules().identity().totalQuery, "select count(*) from sfzfcjg ");
  std::span<const IdentityRule> rules = ShippedRules().identity().rules;
  ASSERT_EQ(rules.size(), std::size(kSfzfcjg));
  for (size_t i = 0; i < rules.size(); ++i) {
    SCOPED_TRACE(kSfzfcjg[i].code);
    EXPECT_STREQ(rules[i].code, kSfzfcjg[i].code);
    EXPECT_EQ(SpliceQuery(rules[i].query, "20080808", "100001"), kSfzfcjg[i].query);
    if (!rules[i].companyForm) {
      EXPECT_STREQ(rules[i].tail, kSfzfcjg[i].tail);
    }
    EXPECT_EQ(rules[i].needsComparison, i == 1);
    EXPECT_EQ(rules[i].companyForm, i == 0);
  }
}

TEST(SpliceQuery, FillsEverySlotAndKeepsTheRest) {
  EXPECT_EQ(SpliceQuery("a{date}b{code}c{date}", "20080808", "100001"),
            "a20080808b100001c20080808");
  EXPECT_EQ(SpliceQuery("{dat} {} {", "20080808", "100001"), "{dat} {} {");
  // A spliced value is never read as a slot itself.
  EXPECT_EQ(SpliceQuery("{code}", "x", "{date}"), "{date}");
}

TEST(SpliceQuery, RefusesQuotesThatWouldEndTheLiteral) {
  EXPECT_THROW(SpliceQuery("sjrq='{date}'", "2008'0808", "100001"), query::QueryError);
  EXPECT_THROW(SpliceQuery("zqgsdm<> '{code}'", "20080808", "1' or '1'='1"), query::QueryError);
}

TEST(MessageForms, CountsStandAfterOneBlank) {
  EXPECT_EQ(CountMessage("客户基本信息表数据日期为", "20080808", 10, 2, "记录键字重复"),
            "客户基本信息表数据日期为20080808的记录有 10条,其中 2记录键字重复");
}

TEST(MessageForms, DateFormQuotesTheDateTwice) {
  EXPECT_EQ(DateMessage("营业部信息表数据日期为", "20080808", 0, 4),
            "营业部信息表数据日期为20080808的记录有 0条,此外 4条记录数据日期不是20080808");
}

TEST(MessageForms, CompanyFormEndsWithTheCode) {
  EXPECT_EQ(CompanyMessage("资金变动信息表数据日期为", "20080808", 7, 3, "100001"),
            "资金变动信息表数据日期为20080808的记录有 7条,其中 3条记录证券公司代码不是100001");
}

}  // namespace
}  // namespace fc::rules
