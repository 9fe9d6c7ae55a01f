// The identity re-check rules: fourteen count rules over the submission table
// SFZFCJG, one of which (R02) looks its notice numbers up in the comparison
// table SFZHCQK. The comparison table has no rules of its own.
#include <string>

#include "query/Session.h"
#include "rules/RuleRecords.h"
#include "rules/RuleTables.h"
#include "rules/RuleText.h"
#include "rules/Rules.h"
#include "store/Store.h"

namespace fc::rules {

const char* const kIdentityTotalQuery = "select count(*) from sfzfcjg ";

namespace {

constexpr const char* kSubmissionName = "投资者身份信息复查处理结果表";

constexpr IdentityRule kRules[] = {
    {"R01", false, true, "select count(*) from sfzfcjg where zqgsdm<> '{code}'", ""},
    {"R02", true, false,
     "select count(*) from sfzfcjg where  fctzxh  not in (select fctzxh from sfzhcqk )",
     "条记录的复查通知序号在投资者身份信息核查异常明细表中不存在（对原报送的复查结果补充更新的,"
     "复查通知序号也应在之前的下发文件中找到）。"},
    {"R03", false, false, "SELECT count(*) from sfzfcjg where sfzlx not in('1','2') ",
     "条记录客户证件类别不为1或2。"},
    {"R04", false, false,
     "select count(*) from sfzfcjg where (sfzlx='1' and dkqjy<>'4') or (sfzlx='2' and dkqjy not "
     "in ('1','2','3'))",
     "条记录身份证类型填写了1，而读卡器校验情况未填写4 或者 "
     "身份证类型填写了2，而读卡器校验情况未填写1-3。这些记录可能有误，请核实。"},
    {"R05", false, false, "select count(*) from sfzfcjg where sfcg not in ('1','2','3')",
     "条记录三方存管办理情况不为1-3。"},
    {"R06", false, false, "SELECT count(*) from sfzfcjg where zhbd not in('1','2')",
     "条记录证券、资金账户比对结果不为1-2（开立了证券账户但没有开立资金账户的需填2）。"},
    {"R07", false, false,
     "SELECT count(*) from sfzfcjg where sfzlx ='1' and qtzj not in "
     "('01','02','03','04','05','06','07')",
     "条记录身份证类型填写了1,其他身份证明文件情况未填写01-07。这些记录可能有误，请核实。"},
    {"R08", false, false, "SELECT count(*) from sfzfcjg where sfzlx ='2' and qtzj <>'08'",
     "条记录身份证类型填写了2,其他身份证明文件情况未填写08。这些记录可能有误，请核实。"},
    {"R09", false, false,
     "SELECT count(*) from sfzfcjg where fcycyy  not in "
     "('01','02','03','04','05','06','07','08','09','10')",
     "条记录身份证复查异常原因不为01-10。"},
    {"R10", false, false,
     "SELECT count(*) from sfzfcjg where fcycyy ='09' and len(trim(ycyysm)) = 0",
     "条记录身份证复查异常原因填写了09的，异常原因补充说明中没有文字说明。这些记录可能有误，"
     "请核实。"},
    {"R11", false, false,
     "SELECT count(*) from sfzfcjg where clcs not in ('01','02','03','04','05','06','07','08') "
     "or (clcs = '08' and sfzlx = '1' and qtzj not in ('01','02','03','04','05','06'))",
     "条记录处理措施不为01-08 或 "
     "处理措施填写了08且身份证类型填写了1时其他身份证明文件情况不为01-06。这些记录可能有误，"
     "请核实。"},
    {"R12", false, false,
     "SELECT count(*) from sfzfcjg where clcs not in ('02','03') and fcycyy ='01'",
     "条记录不符合以下规则：身份证复查异常原因填写01的，处理措施仅能填报02或03。这些记录可能有误，"
     "请核实。"},
    {"R13", false, false,
     "SELECT count(*) from sfzfcjg where clcs in ('05','06','07') and len(trim(clcssm)) = 0",
     "条记录处理措施填写了05、06、07其中之一,但处理措施补充说明中没有文字说明。这些记录可能有误，"
     "请核实。"},
    {"R14", false, false,
     "select count(*) from sfzfcjg where  len(trim(fctzxh))<>20 or substr(trim(fctzxh),15,6) = "
     "'000000' or substr(trim(fctzxh),9,6)<> '{code}'",
     "条记录的复查通知序号编码错误。复查通知序号必须与Quorvane下发文件匹配，且不允许自行编号。"},
};

std::string Message(const IdentityRule& rule, const std::string& code, int total, int n) {
  std::string text = kSubmissionName;
  if (rule.companyForm) {
    text += "的记录有" + CountText(total) + "条,其中" + CountText(n) + "条记录证券公司代码不是";
    return text + code + "。";
  }
  return text + "中有" + CountText(n) + rule.tail;
}

}  // namespace

std::span<const IdentityRule> IdentityRules() { return kRules; }

void CheckIdentityDataLogic(RuleContext& ctx, int fileKind, bool comparisonPresent, int fileId) {
  if (fileKind != 1) return;
  // The identity queries splice no date; the code is all they take.
  int total = ctx.session.queryDBF(kIdentityTotalQuery);
  for (const IdentityRule& rule : kRules) {
    if (rule.needsComparison && !comparisonPresent) continue;
    RuleCount count(ctx);
    int n = count.records(SpliceQuery(rule.query, "", ctx.companyCode));
    if (n != 0) WriteFinding(ctx, fileId, rule.code, Message(rule, ctx.companyCode, total, n), count);
  }
}

}  // namespace fc::rules
