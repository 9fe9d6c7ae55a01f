// Rule sets from the command line: a check judged by the set of its data
// date or the one named, a set that does not load refused before the run,
// and the sets listed and checked as an analyst makes them.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "ruleset/RuleSet.h"
#include "support/NamedPipe.h"
#include "support/Program.h"
#include "support/RuleSetCopy.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Result = fc::test::ProgramRun;

constexpr const char* kOldText = "条记录资金账户类别不为0-3,9";
constexpr const char* kNewText = "条记录资金账户类别不在0-3、9之内";

class RuleSetsCommand : public testing::Test {
 protected:
  fc::test::TempDir dir;
  std::string home = (dir / "home").string();
  std::string sample = (dir / "sample").string();

  Result cli(std::vector<std::string> args) {
    args.insert(args.begin(), FC_CLI_PATH);
    return fc::test::RunProgram(args);
  }
  // The sample's account check, dated 2008-08-08.
  Result check(std::vector<std::string> more = {}) {
    std::vector<std::string> args = {"account", "--home", home, "--source", sample + "/account-zip", "--code", "100001",
                                     "--date", "2008-08-08", "--from", "1", "--to", "2"};
    args.insert(args.end(), more.begin(), more.end());
    return cli(args);
  }
  // The home's own second version from `from`, R02's text changed.
  fs::path secondVersion(const std::string& from) {
    const fs::path set = fc::test::CopyShippedSet(dir / "home" / "rulesets" / "interface-2", "2", from);
    fc::test::ReplaceIn(set / "account.rules", std::string("\ntail ") + kOldText, std::string("\ntail ") + kNewText);
    return set;
  }
  void SetUp() override { ASSERT_EQ(cli({"sample", "--home", home, "--dir", sample}).status, 0); }
};

TEST_F(RuleSetsCommand, ACheckIsJudgedByTheSetOfItsDataDateOrTheOneNamed) {
  const fs::path set = secondVersion("2008-08-08");  // applies from the sample's own date on
  Result r = check();
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.out.find(kNewText), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find(kOldText), std::string::npos);

  r = check({"--rule-set", "interface@1"});
  EXPECT_NE(r.out.find(kOldText), std::string::npos) << r.out;

  fc::test::ReplaceIn(set / "manifest.txt", "from 2008-08-08", "from 2008-08-09");  // now after the data date
  r = check();
  EXPECT_NE(r.out.find(kOldText), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find(kNewText), std::string::npos);

  r = check({"--rule-set", "interface@7"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("没有名为 interface@7 的规则集；现有的规则集：interface@1、interface@2"), std::string::npos) << r.err;
}

TEST_F(RuleSetsCommand, EveryResultNamesItsSetAndTheComparisonWarnsWhenTheyDiffer) {
  const fs::path set = secondVersion("2008-08-08");
  ASSERT_EQ(check({"--rule-set", "interface@1"}).status, 1);
  ASSERT_EQ(check().status, 1);
  const auto results = nlohmann::json::parse(cli({"results", "--home", home, "--format", "json"}).out);
  EXPECT_EQ(results["ruleSet"]["name"], "interface");
  EXPECT_EQ(results["ruleSet"]["version"], "2");
  EXPECT_EQ(results["ruleSet"]["sha256"], fc::ruleset::RuleSetDigest(set));
  const std::string history = cli({"history", "--home", home}).out;
  EXPECT_LT(history.find("interface@2"), history.find("interface@1")) << history;  // newest first
  Result r = cli({"compare", "--home", home});
  EXPECT_NE(r.out.find("两次检查使用的规则集不同（上次 interface@1，本次 interface@2）"), std::string::npos) << r.out;

  // One version whose files changed between the runs is no longer the same rules.
  fc::test::ReplaceIn(set / "layouts.csv", "资金账号", "资金帐号");
  ASSERT_EQ(check().status, 1);
  r = cli({"compare", "--home", home, "--format", "json"});
  EXPECT_NE(nlohmann::json::parse(r.out)["ruleSetWarning"].get<std::string>().find(
                "都使用规则集 interface@2，但规则集的文件内容不同"),
            std::string::npos)
      << r.out;
  ASSERT_EQ(cli({"report", "--home", home, "--output", (dir / "r.json").string()}).status, 0);
  const auto report = nlohmann::json::parse(fc::test::ReadFileBytes(dir / "r.json"));
  EXPECT_EQ(report["run"]["ruleSet"]["sha256"], fc::ruleset::RuleSetDigest(set));

  // The check before was judged by the files as they were: its report explains nothing by the changed ones.
  ASSERT_EQ(cli({"report", "--home", home, "--run", "2", "--output", (dir / "r2.html").string()}).status, 0);
  const std::string earlier = fc::test::ReadFileBytes(dir / "r2.html");
  EXPECT_NE(earlier.find("这次检查所用的规则集 interface@2（本地规则集） 此后已改动"), std::string::npos);
  EXPECT_EQ(earlier.find("处理办法："), std::string::npos);
}

TEST_F(RuleSetsCommand, ASetThatDoesNotLoadRefusesTheCheckAndLeavesTheResultsAsTheyWere) {
  ASSERT_EQ(check().status, 1);
  const std::string before = cli({"results", "--home", home, "--format", "tsv"}).out;
  const fs::path set = secondVersion("2008-01-01");
  fc::test::ReplaceIn(set / "account.rules", "rule R03 always count", "rule R03 sometimes count");

  const Result r = check();
  EXPECT_EQ(r.status, 2);
  // A line of its own (under Wine, which keeps no access lists, one saying the home was narrowed comes first).
  EXPECT_NE(("\n" + r.err).find("\n检查没有开始：规则集 interface@2（"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("account.rules 第"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("行：运行条件“sometimes”应为 always、branch、customer"), std::string::npos) << r.err;
  EXPECT_EQ(r.err.find("开始文件结构检查"), std::string::npos);  // nothing of the run began
  EXPECT_EQ(cli({"results", "--home", home, "--format", "tsv"}).out, before);

  // As the analyst checks it: the fault with its line, and the shipped set sound.
  Result checked = cli({"rules", "check", set.string()});
  EXPECT_EQ(checked.status, 2);
  EXPECT_NE(checked.out.find("account.rules 第"), std::string::npos) << checked.out;
  checked = cli({"rules", "check", fc::test::ShippedSet().string()});
  EXPECT_EQ(checked.status, 0) << checked.out;
  EXPECT_NE(checked.out.find("规则集 interface@1（"), std::string::npos) << checked.out;
}

TEST_F(RuleSetsCommand, AQueryItsAgreementCannotAnswerRefusesTheCheckBeforeAnyFile) {
  // Each fault lies in a rule of YYBXX, a table the check does not choose.
  struct Fault {
    const char* from;
    const char* to;
    const char* said;  // after "account.rules 第"
  } faults[] = {
      {"yybxx where sjrq='{date}' group by zqgsdm,yybdm", "yybxx where sjrq='{date}' group by zqgsdm,yybdmx",
       "182行：查询无法运行："},
      {"yybxx where zqgsdm<> '{code}'", "yybxx where nosuch(zqgsdm)<> '{code}'", "193行：查询无法运行："},
      {"yybxx where sjrq<> '{date}'", "yybxx where sjrq<> '{dat}'", "188行：查询中的“{dat}”不是占位符"},
  };
  for (const Fault& f : faults) {
    const fs::path set = fc::test::CopyShippedSet(dir / "home" / "rulesets" / "interface-2", "2", "2008-01-01");
    fc::test::ReplaceIn(set / "account.rules", f.from, f.to);
    const Result r = check({"--kinds", "KHJBXX"});
    EXPECT_EQ(r.status, 2) << f.to;
    EXPECT_NE(("\n" + r.err).find("\n检查没有开始：规则集 interface@2（"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(std::string("account.rules 第") + f.said), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find("开始文件结构检查"), std::string::npos) << r.err;
    EXPECT_EQ(cli({"rules", "check", set.string()}).status, 2) << f.to;
    fs::remove_all(set);
  }
}

TEST_F(RuleSetsCommand, AnythingButAnOrdinaryFileInASetIsRefusedWithOneLine) {
  const fs::path odd = dir / "home" / "rulesets" / "odd";
  const fs::path manifest = odd / "manifest.txt";
  const fs::path shipped = fc::test::ShippedSet() / "manifest.txt";
  struct Entry {
    const char* what;
    std::function<bool()> make;
    const char* said;
  } entries[] = {
      {"a folder named manifest.txt", [&] { return fs::create_directories(manifest); }, "不是普通文件"},
      {"a named pipe", [&] { return fc::test::MakeNamedPipe(manifest); }, "不是普通文件"},
      {"a link to an endless device", [&] { std::error_code ec; fs::create_symlink("/dev/zero", manifest, ec); return !ec; },
       "是符号链接"},
      {"a link to a sound manifest", [&] { std::error_code ec; fs::create_symlink(shipped, manifest, ec); return !ec; },
       "是符号链接"},
      {"a named pipe among the cases of the set chosen",
       [&] {
         fc::test::CopyShippedSet(odd, "9", "earliest");
         return fc::test::MakeNamedPipe(odd / "cases" / "x.cases");
       },
       "不是普通文件"},
  };
  for (const Entry& e : entries) {
    fs::create_directories(odd);
    if (!e.make()) {  // Windows: no named pipes, and links need a privilege
      fs::remove_all(odd);
      continue;
    }
    const Result r = check();
    EXPECT_EQ(r.status, 2) << e.what;
    EXPECT_NE(("\n" + r.err).find("\n检查没有开始："), std::string::npos) << e.what << "\n" << r.err;
    EXPECT_NE(r.err.find("规则集文件 " + (fs::path(home) / "rulesets" / "odd").string()), std::string::npos)
        << e.what << "\n" << r.err;
    EXPECT_NE(r.err.find(e.said), std::string::npos) << e.what << "\n" << r.err;
    EXPECT_EQ(r.err.find("开始文件结构检查"), std::string::npos) << e.what;
    fs::remove_all(odd);
  }
}

TEST_F(RuleSetsCommand, TheCompanysOwnSetIsMarkedWhereverItsResultsShow) {
  // A set whose name differs from a shipped one only in case would pass for it.
  const fs::path twin = fc::test::CopyShippedSet(dir / "home" / "rulesets" / "twin", "1", "earliest");
  fc::test::ReplaceIn(twin / "manifest.txt", "name interface", "name Interface");
  Result r = check();
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("规则集 interface@1 和 Interface@1 的名字只差大小写"), std::string::npos) << r.err;
  fs::remove_all(twin);

  secondVersion("2008-08-08");
  r = check();
  EXPECT_EQ(r.status, 1) << r.err;
  EXPECT_NE(r.out.find("\n规则集：interface@2（本地规则集）\n"), std::string::npos) << r.out;
  const auto results = nlohmann::json::parse(cli({"results", "--home", home, "--format", "json"}).out);
  EXPECT_EQ(results["ruleSet"]["own"], true);
  EXPECT_NE(cli({"history", "--home", home}).out.find("interface@2（本地规则集）"), std::string::npos);
  ASSERT_EQ(cli({"report", "--home", home, "--output", (dir / "r.json").string()}).status, 0);
  EXPECT_EQ(nlohmann::json::parse(fc::test::ReadFileBytes(dir / "r.json"))["run"]["ruleSet"]["own"], true);

  ASSERT_EQ(check({"--rule-set", "interface@1"}).status, 1);  // a shipped set goes without the mark
  const auto history = nlohmann::json::parse(cli({"history", "--home", home, "--format", "json"}).out);
  EXPECT_FALSE(history[0].contains("ruleSetOwn"));
  EXPECT_EQ(history[1]["ruleSetOwn"], true);
}

TEST_F(RuleSetsCommand, TheCasesOfASetTestItsRules) {
  Result r = cli({"rules", "test", fc::test::ShippedSet().string()});
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("，不符0个\n"), std::string::npos) << r.out;
  EXPECT_EQ(r.out.find("缺少用例"), std::string::npos) << r.out;

  const fs::path set = secondVersion("2009-01-01");
  fc::test::ReplaceIn(set / "cases" / "account.cases", "expect R05 2", "expect R05 3");
  r = cli({"rules", "test", "interface@2", "--home", home});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("不符　R05 同一账户同一序号日期出现三次，多出两条（account.cases 第"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("行）：期望 R05 3，实际 R05 2\n"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("，不符1个\n"), std::string::npos) << r.out;

  // A rule left without a case that stays silent is named.
  fc::test::ReplaceIn(set / "cases" / "identity.cases", "case R09 身份证复查异常原因为10", "case R10 身份证复查异常原因为10");
  r = cli({"rules", "test", set.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("缺少用例　identity.rules 的 R09 没有不触发它的用例"), std::string::npos) << r.out;

  fc::test::ReplaceIn(set / "cases" / "identity.cases", "expect R05 1", "expect R99 1");
  r = cli({"rules", "test", set.string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("identity.cases 第"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("行：规则 R99 不在 identity.rules 中"), std::string::npos) << r.err;

  fc::test::ReplaceIn(set / "cases" / "account.cases", "1,5\nexpect R02 1", "1,\"5\nexpect R02 1");  // a quote left open
  r = cli({"rules", "test", set.string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("account.cases 第31行：引号没有结束"), std::string::npos) << r.err;
}

TEST_F(RuleSetsCommand, ACaseFillsTheFieldsItLeavesOutWithItsSetsSoundValues) {
  const fs::path set = secondVersion("2009-01-01");
  const fs::path sound = set / "cases" / "sound.csv";
  fc::test::ReplaceIn(sound, "\nKHJBXX,ZJLB,10\n", "\nKHJBXX,ZJLB,20\n");  // breaks R03
  Result r = cli({"rules", "test", set.string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("期望 无，实际 R03 1\n"), std::string::npos) << r.out;

  fc::test::ReplaceIn(sound, "\nKHJBXX,ZJLB,20\n", "\nKHJBXX,ZJLB,10\nKHJBXX,ZJLB,11\n");
  r = cli({"rules", "test", set.string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("sound.csv 第10行：表 KHJBXX 的字段 ZJLB 重复"), std::string::npos) << r.err;
  r = cli({"rules", "check", set.string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("sound.csv 第10行：表 KHJBXX 的字段 ZJLB 重复"), std::string::npos) << r.out;

  fc::test::ReplaceIn(sound, "\nKHJBXX,ZJLB,11\n", "\nKHJBXX,SJRQ,20080808\n");
  r = cli({"rules", "test", set.string()});
  EXPECT_NE(r.err.find("第10行：字段 SJRQ 取用例的数据日期，不在此给出"), std::string::npos) << r.err;
  fs::remove(sound);
  r = cli({"rules", "test", set.string()});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("sound.csv"), std::string::npos) << r.err;
}

TEST_F(RuleSetsCommand, WhatToDoAboutAFindingStandsBesideItAndInTheSetsReference) {
  ASSERT_EQ(check().status, 1);
  Result r = cli({"records", "--home", home, "--rule", "R02"});
  EXPECT_NE(r.out.find("\n说明：资金账户类别只能是接口规范列出的0-3或9"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n处理办法：在柜台系统中核对这些客户的资金账户类别"), std::string::npos) << r.out;
  ASSERT_EQ(cli({"report", "--home", home, "--output", (dir / "r.html").string()}).status, 0);
  EXPECT_NE(fc::test::ReadFileBytes(dir / "r.html").find("处理办法：在柜台系统中核对这些客户的资金账户类别"), std::string::npos);

  // The reference generated from the shipped set is the one kept with the documents.
  r = cli({"rules", "reference", "interface@1"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, fc::test::ReadFileBytes(fs::path(FC_SOURCE_DATA_DIR) / ".." / "docs" / "rule-sets" / "interface-1.md"))
      << "docs/rule-sets/interface-1.md is not current: filingcheck-cli rules reference interface@1 > docs/rule-sets/interface-1.md";
}

TEST_F(RuleSetsCommand, ListShowsEverySetInTheOrderAChoiceReadsThem) {
  secondVersion("2009-01-01");
  Result r = cli({"rules", "list", "--home", home});
  EXPECT_EQ(r.status, 0) << r.err;
  const size_t first = r.out.find("interface@1"), second = r.out.find("interface@2");
  ASSERT_NE(second, std::string::npos) << r.out;
  EXPECT_LT(first, second);
  EXPECT_NE(r.out.find("2009-01-01"), std::string::npos);
  EXPECT_NE(r.out.find("本公司"), std::string::npos);
  r = cli({"rules", "list"});
  EXPECT_EQ(r.out.find("interface@2"), std::string::npos) << r.out;  // the shipped sets alone
}

}  // namespace
