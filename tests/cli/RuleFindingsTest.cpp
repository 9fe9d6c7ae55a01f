// The data rules end to end: a submission built so that every rule that can
// see it finds something, checked with filingcheck-cli, then the whole
// fileerr table compared. Date rules cannot fire here: a table with records
// of another date already fails its date check and never reaches the rules.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "store/Store.h"
#include "support/Program.h"
#include "support/StoreRows.h"
#include "support/SubmissionRows.h"
#include "support/TempDir.h"
#include "support/Zip.h"

namespace fc::test {
namespace {

struct ErrRow {
  std::string fileid;   // as stored
  std::string errid;    // rule code
  std::string errdesc;  // message
  bool operator==(const ErrRow&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ErrRow& r) {
  return out << "{" << r.fileid << ", " << r.errid << ", " << r.errdesc << "}";
}

class RuleFindings : public testing::Test {
 protected:
  TempDir dir;
  std::filesystem::path home = dir / "home";
  std::filesystem::path source = dir / "source";
  std::filesystem::path tables = dir / "tables";

  void SetUp() override {
    std::filesystem::create_directories(source);
    std::filesystem::create_directories(tables);
  }

  // `stem`.ZIP in the source directory, holding the table as `stem`.DBF.
  void Archive(const std::string& stem, const std::string& kind, const Rows& rows) {
    std::filesystem::path table = tables / (stem + ".DBF");
    WriteRows(table, kind, rows);
    ZipWriter(source / (stem + ".ZIP")).addFile(stem + ".DBF", table).write();
  }

  // Runs filingcheck-cli with `args`; returns its exit status, stdout in `out`.
  int Cli(std::vector<std::string> args, std::string& out) {
    args.insert(args.begin(), FC_CLI_PATH);
    ProgramRun run = RunProgram(args);
    out = std::move(run.out);
    return run.status;
  }

  std::vector<ErrRow> FileErr() {
    std::vector<ErrRow> rows;
    auto store = store::Store::open(home, FC_SOURCE_DATA_DIR);
    for (const auto& r : test::StoreRows(*store, "select fileid, errid, errdesc from fileerr order by rowid"))
      rows.push_back({r.at(0).value(), r.at(1).value(), r.at(2).value()});
    return rows;
  }
};

TEST_F(RuleFindings, AccountSubmissionInFullTransfer) {
  Rows dyGood = Make("ZJZQDY", 2);
  Rows dyMarket = Make("ZJZQDY", 1, {{"GDDMSC", "04"}});
  Rows bdGood = Make("ZJBDXX", 2);
  Rows bdValues = Join({Make("ZJBDXX", 1, {{"BZDM", "JP"}}),
                        Make("ZJBDXX", 1, {{"ZQJYMRJE", "5.00"}, {"JRYE", "105.30"}}),
                        Make("ZJBDXX", 1, {{"JRYE", "100.31"}})});
  Rows yzGood = Make("ZHBYZ", 2);
  Rows yzValues = Join({Make("ZHBYZ", 1, {{"GDDMSC", "05"}}), Make("ZHBYZ", 1, {{"BYZLX", "7"}}),
                        Make("ZHBYZ", 1, {{"BYZLX", "0"}, {"ZJHMYY", "08"}}),
                        Make("ZHBYZ", 1, {{"BYZLX", "1"}, {"KHQCYY", "00"}})});
  Rows customers = AccountsOf(Join({dyGood, dyMarket, bdGood, bdValues, yzGood, yzValues}));
  Rows branches = Make("YYBXX", 1, {{"YYBDM", "000001"}});

  // Each table's company and branch faults have no customer either, so the
  // customer rules count them with the one record made for them alone.
  Archive("QL_100001_KHJBXX_20080808_1", "KHJBXX",
          Join({customers, Rows{customers[0]}, Make("KHJBXX", 1, {{"ZJZHLB", "5"}}),
                Make("KHJBXX", 1, {{"ZJLB", "20"}}), Make("KHJBXX", 1, {{"ZQGSDM", kOtherCode}}),
                Make("KHJBXX", 1, {{"YYBDM", "000009"}})}));
  Archive("QL_100001_ZJZQDY_20080808_1", "ZJZQDY",
          Join({dyGood, dyMarket, Rows{dyGood[0]}, Make("ZJZQDY", 1, {{"ZQGSDM", kOtherCode}}),
                Make("ZJZQDY", 1, {{"YYBDM", "000009"}}), Make("ZJZQDY", 1)}));
  Archive("QL_100001_ZJBDXX_20080808_1", "ZJBDXX",
          Join({bdGood, bdValues, Rows{bdGood[0]}, Make("ZJBDXX", 1, {{"ZQGSDM", kOtherCode}}),
                Make("ZJBDXX", 1, {{"YYBDM", "000009"}}), Make("ZJBDXX", 1)}));
  Archive("100001_YYBXX_20080808_1", "YYBXX",
          Join({branches, branches, Make("YYBXX", 1, {{"ZQGSDM", kOtherCode}})}));
  Archive("100001_ZHBYZ_20080808_1", "ZHBYZ",
          Join({yzGood, yzValues, Make("ZHBYZ", 1, {{"ZJZH", ""}}), Rows{yzGood[0]},
                Make("ZHBYZ", 1, {{"ZQGSDM", kOtherCode}}), Make("ZHBYZ", 1, {{"YYBDM", "000009"}}),
                Make("ZHBYZ", 1)}));

  std::string out;
  EXPECT_EQ(Cli({"account", "--home", home.string(), "--source", source.string(), "--code", kCode,
                 "--date", "2008-08-08", "--from", "1", "--to", "1", "--full"},
                out),
            1);
  const std::string kh = "客户基本信息表数据日期为20080808的记录有 19条,其中 1";
  const std::string dy = "资金证券账户对应关系表数据日期为20080808的记录有 7条,其中";
  const std::string bd = "资金变动信息表数据日期为20080808的记录有 9条,其中";
  const std::string yyb = "营业部信息表数据日期为20080808的记录有 3条,其中 1";
  const std::string yz = "账户比对不一致表数据日期为20080808的记录有 11条,其中";
  const std::string noBranch = "条记录营业部代码在营业部信息表中不存在";
  const std::string noCustomer = "条记录证券公司代码+营业部代码+资金账号在客户基本信息中不存在";
  EXPECT_EQ(FileErr(),
            (std::vector<ErrRow>{
                {"1", "R02", kh + "条记录资金账户类别不为0-3,9"},
                {"1", "R03", kh + "条记录客户证件类别不为10-16,99"},
                {"1", "R05", kh + "记录键字重复"},
                {"1", "R19", kh + "条记录证券公司代码不是100001"},
                {"1", "R04", kh + noBranch},
                {"2", "R06", dy + " 1条记录股东代码市场不为01-03"},
                {"2", "R11", dy + " 1条记录键字重复"},
                {"2", "R21", dy + " 1条记录证券公司代码不是100001"},
                {"2", "R07", dy + " 1" + noBranch},
                {"2", "R08", dy + " 3" + noCustomer},
                {"3", "R12", bd + " 1条记录币种代码不为CN/US/HK"},
                {"3", "R12", bd + " 1条记录交易所买入金额>0"},
                {"3", "R16", bd + " 1条记录余额不平"},
                {"3", "R17", bd + " 1条记录键字重复"},
                {"3", "R23", bd + " 1条记录证券公司代码不是100001"},
                {"3", "R13", bd + " 1" + noBranch},
                {"3", "R14", bd + " 3" + noCustomer},
                {"4", "R01", yyb + "条记录键字不唯一"},
                {"4", "R25", yyb + "条记录证券公司代码不是100001"},
                {"5", "R26", yz + " 1条记录股东代码市场不为01-03"},
                {"5", "R27", yz + " 1条记录不一致类型不为0-4"},
                {"5", "R28", yz + " 1条记录不一致类型填写了0或2，但证件号码不一致原因不为01-07,99"},
                {"5", "R28", yz + " 1条记录不一致类型填写了1或2，但客户全称不一致原因不为01-07,99"},
                {"5", "R30", yz + " 1条记录键字重复"},
                {"5", "R32", "账户比对不一致关系表数据日期为20080808的记录有 11条,其中 1条记录证券公司代码不是100001"},
                {"5", "R33", yz + " 1" + noBranch},
                {"5", "R34", yz + " 3" + noCustomer},
            }));
  for (const char* code : {"R01", "R08", "R14", "R28", "R34"})
    EXPECT_NE(out.find(code), std::string::npos) << code;
}

TEST_F(RuleFindings, IdentitySubmissionAgainstItsComparison) {
  Rows listed = Join({
      Make("SFZFCJG", 2),
      Make("SFZFCJG", 1, {{"ZQGSDM", kOtherCode}}),
      Make("SFZFCJG", 1, {{"SFZLX", "3"}}),
      Make("SFZFCJG", 1, {{"DKQJY", "3"}}),
      Make("SFZFCJG", 1, {{"SFCG", "4"}}),
      Make("SFZFCJG", 1, {{"ZHBD", "3"}}),
      Make("SFZFCJG", 1, {{"QTZJ", "08"}}),
      Make("SFZFCJG", 1, {{"SFZLX", "2"}, {"DKQJY", "1"}, {"QTZJ", "01"}}),
      Make("SFZFCJG", 1, {{"FCYCYY", "11"}}),
      Make("SFZFCJG", 1, {{"FCYCYY", "09"}}),
      Make("SFZFCJG", 1, {{"CLCS", "09"}}),
      Make("SFZFCJG", 1, {{"FCYCYY", "01"}, {"CLCS", "01"}}),
      Make("SFZFCJG", 1, {{"CLCS", "05"}}),
      Rows{{{"FCTZXH", "2008080810000100123"}}},
  });
  Rows notices;
  for (const Row& row : listed) notices.push_back({{"FCTZXH", row.at("FCTZXH")}});
  Archive("100001_SFZFCJG_20080808", "SFZFCJG", Join({listed, Make("SFZFCJG", 1)}));
  Archive("100001_SFZHCQK_20080804", "SFZHCQK", notices);

  std::string out;
  EXPECT_EQ(Cli({"identity", "--home", home.string(), "--source", source.string(), "--code", kCode,
                 "--date", "2008-08-08", "--comparison-date", "2008-08-04"},
                out),
            1);
  const std::string has = "投资者身份信息复查处理结果表中有 1";
  EXPECT_EQ(FileErr(),
            (std::vector<ErrRow>{
                {"1", "R01", "投资者身份信息复查处理结果表的记录有 16条,其中 1条记录证券公司代码不是100001。"},
                {"1", "R02", has + "条记录的复查通知序号在投资者身份信息核查异常明细表中不存在（对原报送的复查结果补充更新的,复查通知序号也应在之前的下发文件中找到）。"},
                {"1", "R03", has + "条记录客户证件类别不为1或2。"},
                {"1", "R04", has + "条记录身份证类型填写了1，而读卡器校验情况未填写4 或者 身份证类型填写了2，而读卡器校验情况未填写1-3。这些记录可能有误，请核实。"},
                {"1", "R05", has + "条记录三方存管办理情况不为1-3。"},
                {"1", "R06", has + "条记录证券、资金账户比对结果不为1-2（开立了证券账户但没有开立资金账户的需填2）。"},
                {"1", "R07", has + "条记录身份证类型填写了1,其他身份证明文件情况未填写01-07。这些记录可能有误，请核实。"},
                {"1", "R08", has + "条记录身份证类型填写了2,其他身份证明文件情况未填写08。这些记录可能有误，请核实。"},
                {"1", "R09", has + "条记录身份证复查异常原因不为01-10。"},
                {"1", "R10", has + "条记录身份证复查异常原因填写了09的，异常原因补充说明中没有文字说明。这些记录可能有误，请核实。"},
                {"1", "R11", has + "条记录处理措施不为01-08 或 处理措施填写了08且身份证类型填写了1时其他身份证明文件情况不为01-06。这些记录可能有误，请核实。"},
                {"1", "R12", has + "条记录不符合以下规则：身份证复查异常原因填写01的，处理措施仅能填报02或03。这些记录可能有误，请核实。"},
                {"1", "R13", has + "条记录处理措施填写了05、06、07其中之一,但处理措施补充说明中没有文字说明。这些记录可能有误，请核实。"},
                {"1", "R14", has + "条记录的复查通知序号编码错误。复查通知序号必须与登记结算机构下发文件匹配，且不允许自行编号。"},
            }));
  for (const char* code : {"R01", "R02", "R11", "R12", "R14"})
    EXPECT_NE(out.find(code), std::string::npos) << code;
}

}  // namespace
}  // namespace fc::test
