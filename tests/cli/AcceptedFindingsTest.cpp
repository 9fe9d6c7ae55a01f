// Accepted findings as an operator's script makes and checks them: the
// sample's group 1, whose five rule findings are all that is wrong with it,
// accepted, partly accepted, accepted until a day gone by, withdrawn, and
// judged by a later set that changed a rule.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "accept/Acceptances.h"
#include "support/Program.h"
#include "support/RuleSetCopy.h"
#include "support/TempDir.h"

namespace {

using Result = fc::test::ProgramRun;

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

class AcceptedFindings : public testing::Test {
 protected:
  fc::test::TempDir dir;
  std::string home = (dir / "home").string();
  std::string sample = (dir / "sample").string();
  // Group 1's rule findings, one record each.
  const std::vector<std::string> rules = {"R02", "R04", "R06", "R16", "R27"};

  Result cli(std::vector<std::string> args) {
    args.insert(args.begin(), FC_CLI_PATH);
    return fc::test::RunProgram(args);
  }
  Result check(const std::string& lastGroup = "1") {
    return cli({"account", "--home", home, "--source", sample + "/account-zip", "--code", "100001", "--date",
                "2008-08-08", "--from", "1", "--to", lastGroup});
  }
  Result accept(const std::string& rule, std::vector<std::string> records, const std::string& until = "2099-12-31") {
    std::vector<std::string> args = {"accept", "add", "--home", home, "--submission", "account", "--code", "100001",
                                     "--rule", rule, "--reason", "已向监管说明的历史账户", "--by", "王敏", "--until", until};
    args.insert(args.end(), records.begin(), records.end());
    return cli(args);
  }
  void acceptAll(const std::vector<std::string>& which) {
    for (const std::string& rule : which) ASSERT_EQ(accept(rule, {"--all", "--at-most", "1"}).status, 0) << rule;
  }
  void SetUp() override { ASSERT_EQ(cli({"sample", "--home", home, "--dir", sample}).status, 0); }
};

TEST_F(AcceptedFindings, EveryFindingAcceptedIsItsOwnVerdictYetAStructureProblemStillFails) {
  acceptAll({"R02", "R04", "R16", "R27"});
  ASSERT_EQ(accept("R06", {"--keys", "100000000002"}).status, 0);
  Result r = check();
  EXPECT_EQ(r.status, 3) << r.out << r.err;
  EXPECT_TRUE(Has(r.out, "结论：已接受：应报文件5个；5条规则发现的问题均已接受，涉及5条记录")) << r.out;
  EXPECT_TRUE(Has(r.out, "已接受的问题：")) << r.out;

  r = cli({"results", "--home", home, "--format", "json"});
  EXPECT_TRUE(Has(r.out, "\"verdict\": \"accepted\"")) << r.out;
  EXPECT_TRUE(Has(r.out, "\"accepted\": [{\"id\":5,\"reason\":\"已向监管说明的历史账户\",\"by\":\"王敏\",\"until\":\"2099-12-31\"}]"))
      << r.out;
  r = cli({"records", "--home", home, "--rule", "R06", "--format", "json"});
  EXPECT_TRUE(Has(r.out, "\"key\": \"100000000002\"")) << r.out;
  const std::filesystem::path report = dir / "report.json";
  ASSERT_EQ(cli({"report", "--home", home, "--output", report.string()}).status, 0);
  std::ifstream in(report);
  const std::string json((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(Has(json, "\"verdict\": \"accepted\"")) << json;
  EXPECT_TRUE(Has(json, "\"reason\": \"已向监管说明的历史账户\"")) << json;

  // Group 2's missing, unsound and wrongly dated tables are no rule findings: nothing accepts them.
  r = check("2");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(Has(r.out, "结论：不通过：应报文件10个，缺少1个")) << r.out;
}

TEST_F(AcceptedFindings, ARecordNotNamedOrAnAcceptanceExpiredFailsTheCheckSayingWhich) {
  acceptAll({"R02", "R04", "R16"});
  ASSERT_EQ(accept("R06", {"--keys", "100000000009"}).status, 0);
  Result r = check();
  ASSERT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(Has(r.out, "其中3条已接受；未接受：R06（100001_ZJZQDY_20080808_1.ZIP：记录100000000002未被接受）、R27（"))
      << r.out;

  // A day gone by cannot be given on the command line; the file takes what it is given.
  const fc::accept::Acceptance expired{0, fc::naming::Submission::Account, "100001", "R27", {}, 1, "旧的说明", "王敏",
                                       "2008-01-01 09:00:00", "20080131", ""};
  const int64_t id = fc::accept::Acceptances::open(home)->add(expired);
  r = check();
  ASSERT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(Has(r.out, "R27（100001_ZHBYZ_20080808_1.ZIP：接受" + std::to_string(id) + "已于2008-01-31到期）")) << r.out;
  r = cli({"accept", "list", "--home", home});
  EXPECT_TRUE(Has(r.out, "失效  程序  接受" + std::to_string(id) + "已于2008-01-31到期")) << r.out;
}

TEST_F(AcceptedFindings, WhatCannotBeAcceptedIsRefused) {
  const std::vector<std::vector<std::string>> refused = {
      {"--rule", "3", "--all", "--at-most", "1"},  // a structure problem's code
      {"--rule", "R99", "--all", "--at-most", "1"},
      {"--rule", "R02", "--all"},  // no "at most"
      {"--rule", "R02", "--keys", " , "}};
  for (const std::vector<std::string>& args : refused) {
    std::vector<std::string> line = {"accept", "add", "--home", home, "--submission", "account", "--code", "100001",
                                     "--reason", "说明", "--by", "王敏", "--until", "2099-12-31"};
    line.insert(line.end(), args.begin(), args.end());
    const Result r = cli(line);
    EXPECT_EQ(r.status, 2) << args[1];
    EXPECT_FALSE(r.err.empty());
  }
  EXPECT_TRUE(Has(cli({"accept", "add", "--home", home, "--submission", "identity", "--code", "100001", "--rule", "R30",
                       "--all", "--at-most", "1", "--reason", "说明", "--by", "王敏", "--until", "2099-12-31"}).err,
                  "不是规则集interface@1中"));
  EXPECT_TRUE(Has(cli({"accept", "add", "--home", home, "--submission", "account", "--code", "100001", "--rule", "R02",
                       "--all", "--at-most", "1", "--by", "王敏", "--until", "2099-12-31"}).err, "原因"));
  const Result past = accept("R02", {"--all", "--at-most", "1"}, "2008-01-01");
  EXPECT_EQ(past.status, 2);
  EXPECT_TRUE(Has(past.err, "已经过去")) << past.err;
  EXPECT_TRUE(cli({"accept", "list", "--home", home, "--format", "json"}).out.find("\"acceptances\": []") != std::string::npos);
}

TEST_F(AcceptedFindings, AWithdrawnAcceptanceFailsTheCheckAndTheLogSaysWhoAndWhy) {
  acceptAll(rules);
  ASSERT_EQ(check().status, 3);
  Result r = cli({"accept", "withdraw", "--home", home, "3", "--by", "李强", "--reason", "账户已销户"});
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(cli({"accept", "withdraw", "--home", home, "3", "--by", "李强", "--reason", "再撤一次"}).status, 2);
  r = check();
  EXPECT_EQ(r.status, 1);
  EXPECT_TRUE(Has(r.out, "不通过：应报文件5个；5条规则发现问题，涉及5条记录，其中4条已接受；未接受：R06")) << r.out;
  r = cli({"accept", "list", "--home", home});
  EXPECT_TRUE(Has(r.out, "3     撤销  李强  账户已销户")) << r.out;
  // forget leaves the company's decisions.
  ASSERT_EQ(cli({"forget", "--home", home}).status, 0);
  EXPECT_TRUE(Has(cli({"accept", "list", "--home", home}).out, "账户已销户"));
}

TEST_F(AcceptedFindings, ARuleChangedInALaterSetLapsesItsAcceptance) {
  acceptAll(rules);
  const auto later = fc::test::CopyShippedSet(std::filesystem::path(home) / "rulesets" / "interface-2", "2", "2008-01-01");
  fc::test::ReplaceIn(later / "account.rules", "\ntail 条记录资金账户类别不为0-3,9", "\ntail 条记录资金账户类别不在0-3、9之内");
  const Result r = check();
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(Has(r.out, "R02（100001_KHJBXX_20080808_1.ZIP：接受1接受后规则R02已改变）")) << r.out;
  EXPECT_TRUE(Has(cli({"accept", "list", "--home", home}).out, "已失效：接受1接受后规则R02已改变"));
}

}  // namespace
