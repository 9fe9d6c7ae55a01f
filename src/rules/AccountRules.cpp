// The settlement-fund account rules: one table per table kind, walked by
// CheckAccountDataLogic. Every count looks at the records of the data date
// only, except the date rule, which counts the records of any other date.
#include <algorithm>
#include <string>

#include "query/Session.h"
#include "rules/RuleRecords.h"
#include "rules/RuleTables.h"
#include "rules/RuleText.h"
#include "rules/Rules.h"
#include "store/Store.h"

namespace fc::rules {

namespace {

constexpr const char* kNoBranch = "条记录营业部代码在营业部信息表中不存在";
constexpr const char* kNoCustomer = "条记录证券公司代码+营业部代码+资金账号在客户基本信息中不存在";
constexpr const char* kKeyRepeated = "条记录键字重复";
constexpr const char* kBadMarket = "条记录股东代码市场不为01-03";

using enum RunsWhen;
using enum Form;

constexpr AccountRule kKhjbxx[] = {
    {"R02", Always, Count,
     "SELECT count(*) from khjbxx where zjzhlb not in('0','1','2','3','9') and sjrq='{date}'",
     "条记录资金账户类别不为0-3,9"},
    {"R03", Always, Count,
     "SELECT count(*) from khjbxx where zjlb not in('10','11','12','13','14','15','16','99') "
     "and sjrq='{date}'",
     "条记录客户证件类别不为10-16,99"},
    // Operators compare these texts with earlier results, so this tail keeps
    // its missing "条" where the other key tails have one.
    {"R05", Always, Key,
     "select count(*) from khjbxx where sjrq='{date}' group by zqgsdm,yybdm,zjzh,xhrq",
     "记录键字重复"},
    {"R18", Always, Date, "select count(*) from khjbxx where sjrq<> '{date}'"},
    {"R19", Always, Company, "select count(*) from khjbxx where zqgsdm<> '{code}' and sjrq='{date}'"},
    {"R04", BranchTable, Count,
     "select count(*) from khjbxx where  yybdm  not in (select yybdm from yybxx where "
     "sjrq='{date}') and sjrq='{date}'",
     kNoBranch},
};

constexpr AccountRule kZjzqdy[] = {
    {"R06", Always, Count,
     "SELECT count(*) from zjzqdy where gddmsc is not null and trim(gddmsc) not "
     "in('01','02','03','') and sjrq='{date}'",
     kBadMarket},
    {"R11", Always, Key,
     "select count(*) from zjzqdy where sjrq='{date}' group by zqgsdm,yybdm,zjzh,gddmsc,gddm,qxbz",
     kKeyRepeated},
    {"R20", Always, Date, "select count(*) from zjzqdy where sjrq<> '{date}'"},
    {"R21", Always, Company, "select count(*) from zjzqdy where zqgsdm<> '{code}' and sjrq='{date}'"},
    {"R07", BranchTable, Count,
     "select count(*) from zjzqdy where  yybdm  not in (select yybdm from yybxx where "
     "sjrq='{date}') and sjrq='{date}'",
     kNoBranch},
    {"R08", CustomerTable, Count,
     "SELECT count(*) from zjzqdy a where not exists(select * from khjbxx b where "
     "a.zqgsdm=b.zqgsdm and a.yybdm=b.yybdm and a.zjzh=b.zjzh and b.sjrq='{date}')  and "
     "a.sjrq='{date}'",
     kNoCustomer},
};

constexpr AccountRule kZjbdxx[] = {
    {"R12", Always, Count,
     "SELECT count(*) from zjbdxx where bzdm not in('CN','US','HK') and sjrq='{date}'",
     "条记录币种代码不为CN/US/HK"},
    // A second rule under the same code: a table may get two R12 rows.
    {"R12", Always, Count, "SELECT count(*) from zjbdxx where ZQJYMRJE>0 and sjrq='{date}'",
     "条记录交易所买入金额>0"},
    {"R16", Always, Count,
     "SELECT count(*) from zjbdxx where  jrye<>zrye+xjcqje+zqjymcje+zqjymrje+fjzjyje and "
     "sjrq='{date}'",
     "条记录余额不平"},
    {"R17", Always, Key,
     "select count(*) from zjbdxx where sjrq='{date}' group by zqgsdm,yybdm,zjzh,bzdm",
     kKeyRepeated},
    {"R22", Always, Date, "select count(*) from zjbdxx where sjrq<> '{date}'"},
    {"R23", Always, Company, "select count(*) from zjbdxx where zqgsdm<> '{code}' and sjrq='{date}'"},
    {"R13", BranchTable, Count,
     "select count(*) from zjbdxx where  yybdm  not in (select yybdm from yybxx where "
     "sjrq='{date}') and sjrq='{date}'",
     kNoBranch},
    {"R14", CustomerTable, Count,
     "SELECT count(*) from zjbdxx a where not exists(select * from khjbxx b where "
     "a.zqgsdm=b.zqgsdm and a.yybdm=b.yybdm and a.zjzh=b.zjzh and b.sjrq='{date}')  and "
     "a.sjrq='{date}'",
     kNoCustomer},
};

constexpr AccountRule kYybxx[] = {
    {"R01", Always, Key, "select count(*) from yybxx where sjrq='{date}' group by zqgsdm,yybdm",
     "条记录键字不唯一"},
    {"R24", Always, Date, "select count(*) from yybxx where sjrq<> '{date}'"},
    {"R25", Always, Company, "select count(*) from yybxx where zqgsdm<> '{code}' and sjrq='{date}'"},
};

constexpr AccountRule kZhbyz[] = {
    {"R26", Always, Count,
     "SELECT count(*) from zhbyz where gddmsc is not null and trim(gddmsc) not "
     "in('01','02','03','') and sjrq='{date}'",
     kBadMarket},
    {"R27", Always, Count,
     "SELECT count(*) from zhbyz where byzlx not in('0','1','2','3','4') and sjrq='{date}'",
     "条记录不一致类型不为0-4"},
    // Two reason rules under one code: a table may get two R28 rows.
    {"R28", Always, Count,
     "SELECT count(*) from zhbyz where zjhmyy not in('01','02','03','04','05','06','07','99') "
     "and (byzlx='0' or byzlx='2') and sjrq='{date}'",
     "条记录不一致类型填写了0或2，但证件号码不一致原因不为01-07,99"},
    {"R28", Always, Count,
     "SELECT count(*) from zhbyz where khqcyy not in('01','02','03','04','05','06','07','99') "
     "and (byzlx='1' or byzlx='2') and sjrq='{date}'",
     "条记录不一致类型填写了1或2，但客户全称不一致原因不为01-07,99"},
    {"R30", Always, Key,
     "select count(*) from zhbyz where sjrq='{date}' group by zqgsdm,yybdm,zjzh,gddmsc,gddm",
     kKeyRepeated},
    {"R31", Always, Date, "select count(*) from zhbyz where sjrq<> '{date}'"},
    {"R32", Always, Company, "select count(*) from zhbyz where zqgsdm<> '{code}' and sjrq='{date}'",
     "", "账户比对不一致关系表数据日期为"},
    {"R33", BranchTable, Count,
     "select count(*) from zhbyz where  yybdm  not in (select yybdm from yybxx where "
     "sjrq='{date}') and sjrq='{date}'",
     kNoBranch},
    // A blank fund account is allowed in this table and never looked up.
    {"R34", CustomerTable, Count,
     "SELECT count(*) from zhbyz a where a.sjrq='{date}' and  not(a.zjzh is null or "
     "trim(a.zjzh)='') and not exists(select * from khjbxx b where a.zqgsdm=b.zqgsdm and "
     "a.yybdm=b.yybdm and a.zjzh=b.zjzh and b.sjrq='{date}')",
     kNoCustomer},
};

constexpr AccountTable kTables[] = {
    {"客户基本信息表数据日期为", "select count(*) from KHJBXX where sjrq='{date}'", kKhjbxx},
    {"资金证券账户对应关系表数据日期为", "select count(*) from zjzqdy where sjrq='{date}'", kZjzqdy},
    {"资金变动信息表数据日期为", "select count(*) from zjbdxx where sjrq='{date}'", kZjbdxx},
    {"营业部信息表数据日期为", "select count(*) from yybxx where sjrq='{date}'", kYybxx},
    {"账户比对不一致表数据日期为", "select count(*) from zhbyz where sjrq='{date}'", kZhbyz},
};

bool Runs(RunsWhen when, bool branchTablePresent, bool customerTablePresent) {
  switch (when) {
    case BranchTable: return branchTablePresent;
    case CustomerTable: return customerTablePresent;
    case Always: break;
  }
  return true;
}

std::string Message(const RuleContext& ctx, const AccountTable& table, const AccountRule& rule,
                    int total, int n) {
  const char* label = rule.label ? rule.label : table.label;
  switch (rule.form) {
    case Date: return DateMessage(label, ctx.dataDate, total, n);
    case Company: return CompanyMessage(label, ctx.dataDate, total, n, ctx.companyCode);
    case Count:
    case Key: break;
  }
  return CountMessage(label, ctx.dataDate, total, n, rule.tail);
}

void RunRule(RuleContext& ctx, const AccountTable& table, const AccountRule& rule, int total,
             int fileId) {
  std::string sql = SpliceQuery(rule.query, ctx.dataDate, ctx.companyCode);
  RuleCount count(ctx);
  int n = 0;
  if (rule.form == Key) {
    // One row per distinct key among the records of the data date.
    int groups = count.rows(sql);
    if (groups == total) return;
    n = std::max(total - groups, 0);
  } else {
    n = count.records(sql);
    if (n == 0) return;
  }
  WriteFinding(ctx, fileId, rule.code, Message(ctx, table, rule, total, n), count);
}

}  // namespace

const AccountTable* AccountRulesOf(int tableKind) {
  if (tableKind < 1 || tableKind > static_cast<int>(std::size(kTables))) return nullptr;
  return &kTables[tableKind - 1];
}

void CheckAccountDataLogic(RuleContext& ctx, int tableKind, bool branchTablePresent,
                           bool customerTablePresent, int fileId) {
  const AccountTable* table = AccountRulesOf(tableKind);
  if (!table) return;
  int total = ctx.session.queryDBF(SpliceQuery(table->totalQuery, ctx.dataDate, ctx.companyCode));
  for (const AccountRule& rule : table->rules)
    if (Runs(rule.runs, branchTablePresent, customerTablePresent))
      RunRule(ctx, *table, rule, total, fileId);
}

}  // namespace fc::rules
