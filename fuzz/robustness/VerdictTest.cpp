// What a check concludes, over the runs an operator meets: one verdict per
// run, the same in the exit status, the results JSON, the report's JSON and
// HTML and the history, and never a pass unless every expected file was
// present and every check ran and found nothing.
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include <nlohmann/json.hpp>

#include "CheckFixture.h"
#include "support/SubmissionRows.h"
#include "support/Zip.h"

namespace fc::robustness {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr const char* kRulePhase = "检查序号为 1的文件数据逻辑";
const std::vector<std::string> kKinds = {"KHJBXX", "ZJZQDY", "ZJBDXX", "YYBXX", "ZHBYZ"};

struct Case {
  std::string what;
  std::function<void(const fs::path& src)> change;  // to the clean submission, before the run
  std::string date = "2008-08-08";                   // the run's data date
  std::function<void(const fs::path& src)> during;   // at the rule phase, while the run waits there
  std::string verdict;                               // pass, fail, incomplete
  int exitCode;
  std::string reason;                                // a piece of the verdict's reason
};

// The children of this process (the check waiting at its pause point).
std::vector<pid_t> Children() {
  std::ifstream list("/proc/self/task/" + std::to_string(getpid()) + "/children");
  std::vector<pid_t> pids;
  for (pid_t pid; list >> pid;) pids.push_back(pid);
  return pids;
}

class Verdicts : public CheckFixture {
 protected:
  // A sound group 1 of every account kind, DBF type: nothing for any rule to find.
  void writeCleanSubmission() {
    const test::Rows customers = test::Make("KHJBXX", 3);
    test::WriteRows(src / AccountName("KHJBXX", 1, "dbf"), "KHJBXX", customers);
    test::WriteRows(src / AccountName("ZJZQDY", 1, "dbf"), "ZJZQDY", test::AccountsOf(customers));
    test::WriteRows(src / AccountName("ZJBDXX", 1, "dbf"), "ZJBDXX", test::AccountsOf(customers));
    test::WriteRows(src / AccountName("YYBXX", 1, "dbf"), "YYBXX", test::Make("YYBXX", 1, {{"YYBDM", "000001"}}));
    test::WriteRows(src / AccountName("ZHBYZ", 1, "dbf"), "ZHBYZ", test::AccountsOf(customers));
  }

  std::vector<std::string> args(const std::string& date) {
    std::vector<std::string> a = accountArgs("dbf", 1, "KHJBXX,ZJZQDY,ZJBDXX,YYBXX,ZHBYZ");
    a[8] = date;
    return a;
  }

  CliRun cli(const std::vector<std::string>& arguments) { return RunCli(arguments, tmp); }

  json jsonOf(const std::vector<std::string>& arguments) {
    CliRun r = cli(arguments);
    EXPECT_EQ(r.exitCode, 0) << r.err;
    return json::parse(r.out, nullptr, false);
  }
};

TEST_F(Verdicts, EveryViewShowsTheOneVerdictOfTheRun) {
  const std::string khjbxx = AccountName("KHJBXX", 1, "dbf");
  const std::vector<Case> cases = {
      {"clean", nullptr, "2008-08-08", nullptr, "pass", 0, "应报文件5个，全部存在并通过检查"},
      {"no file for the date", nullptr, "2008-08-09", nullptr, "fail", 1, "应报文件5个，缺少5个"},
      {"one table missing", [](const fs::path& s) { fs::remove(s / AccountName("ZHBYZ", 1, "dbf")); }, "2008-08-08",
       nullptr, "fail", 1, "缺少1个"},
      {"the branch table missing", [](const fs::path& s) { fs::remove(s / AccountName("YYBXX", 1, "dbf")); },
       "2008-08-08", nullptr, "fail", 1, "条规则未检查"},
      {"a rule finding",
       [&](const fs::path& s) { test::WriteRows(s / khjbxx, "KHJBXX", test::Make("KHJBXX", 2, {{"ZJLB", "20"}})); },
       "2008-08-08", nullptr, "fail", 1, "1条规则发现问题，涉及2条记录"},
      {"a date problem",
       [&](const fs::path& s) {
         test::WriteRows(s / khjbxx, "KHJBXX", test::Make("KHJBXX", 2, {{"SJRQ", test::kOtherDate}}));
       },
       "2008-08-08", nullptr, "fail", 1, "1个未通过结构检查"},
      {"a table changed during the check", nullptr, "2008-08-08",
       [&](const fs::path& s) { std::ofstream(s / khjbxx, std::ios::app | std::ios::binary) << "changed"; },
       "incomplete", 2, "在检查过程中被改动"},
      {"an interrupted run", nullptr, "2008-08-08",
       [](const fs::path&) {
         for (pid_t child : Children()) kill(child, SIGTERM);
       },
       "incomplete", 2, "检查被中止"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    for (const fs::directory_entry& e : fs::directory_iterator(src)) fs::remove(e.path());
    writeCleanSubmission();
    if (c.change) c.change(src);
    CliRun run = c.during ? runPausedAt(args(c.date), kRulePhase, [&] { c.during(src); }, "src")
                          : runCheck(args(c.date));
    EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
    expectConsistentStore();

    const json results = jsonOf({"results", "--home", home.string(), "--format", "json"});
    EXPECT_EQ(results["verdict"], c.verdict);
    const std::string reason = results["verdictText"].get<std::string>();
    EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;

    const fs::path reportJson = out / "report.json", reportHtml = out / "report.html";
    ASSERT_EQ(cli({"report", "--home", home.string(), "--output", reportJson.string()}).exitCode, 0);
    ASSERT_EQ(cli({"report", "--home", home.string(), "--output", reportHtml.string()}).exitCode, 0);
    const json report = json::parse(test::ReadFileBytes(reportJson));
    EXPECT_EQ(report["run"]["verdict"], c.verdict);
    EXPECT_EQ(report["run"]["verdictText"], reason);
    const std::string page = test::ReadFileBytes(reportHtml);
    const std::string word = c.verdict == "pass" ? "通过" : c.verdict == "fail" ? "不通过" : "未完成";
    const size_t headline = page.find("检查结论：" + word + "</b>");
    EXPECT_NE(headline, std::string::npos);
    EXPECT_LT(headline, page.find("<h1>"));  // the first thing on the page
    EXPECT_EQ(page.find("没有发现问题。") != std::string::npos, c.verdict == "pass");

    const json history = jsonOf({"history", "--home", home.string(), "--limit", "1", "--format", "json"});
    ASSERT_EQ(history.size(), 1u);
    EXPECT_EQ(history[0]["verdict"], c.verdict);
    EXPECT_EQ(history[0]["verdictText"], reason);
  }
}

// A rule whose cross-checked table is missing is recorded as not checked,
// per file and rule, and a customer rule of incremental transfer as not
// applicable; neither is ever a finding of the grid.
TEST_F(Verdicts, RulesThatCouldNotRunAreRecordedWithTheirReason) {
  writeCleanSubmission();
  fs::remove(src / AccountName("YYBXX", 1, "dbf"));
  CliRun run = runCheck(args("2008-08-08"));
  EXPECT_EQ(run.exitCode, 1) << run.err;
  const json results = jsonOf({"results", "--home", home.string(), "--format", "json"});
  std::map<std::pair<std::string, std::string>, std::string> states;
  for (const json& s : results["skipped"])
    states[{s["filename"].get<std::string>(), s["errid"].get<std::string>()}] = s["state"].get<std::string>();
  EXPECT_EQ((states[{AccountName("KHJBXX", 1, "dbf"), "R04"}]), "unchecked");
  EXPECT_EQ((states[{AccountName("ZJZQDY", 1, "dbf"), "R08"}]), "notapplicable");
  EXPECT_EQ((states[{AccountName("YYBXX", 1, "dbf"), "R24"}]), "unchecked");  // its own rules: the file is missing
  for (const json& row : results["results"]) EXPECT_NE(row["errid"], "R04");

  // A cross-check of a table the operator did not choose does not apply:
  // checking KHJBXX alone can pass.
  run = runCheck(accountArgs("dbf", 1, "KHJBXX"));
  EXPECT_EQ(run.exitCode, 0) << run.err;
  const json alone = jsonOf({"results", "--home", home.string(), "--format", "json"});
  EXPECT_EQ(alone["verdict"], "pass");
  ASSERT_EQ(alone["skipped"].size(), 1u);
  EXPECT_EQ(alone["skipped"][0]["errid"], "R04");
  EXPECT_EQ(alone["skipped"][0]["state"], "notapplicable");
}

}  // namespace
}  // namespace fc::robustness
