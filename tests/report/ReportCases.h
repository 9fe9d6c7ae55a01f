// report/ReportCases.h - the runs whose reports are kept as expected files in
// tests/report/pinned/ (one per kind of check a report must show: an account
// check of ZIP archives and one of DBF tables, an identity check, a clean
// run, a run that listed no files and one compared with the run before it),
// shared by the report's tests and the workbook's.
//
//   for (const std::string& name : fc::test::ReportCaseNames()) {
//     fc::report::ReportData data = fc::test::ReportCase(name);
//     EXPECT_EQ(HtmlReport(data), fc::test::Pinned(name + ".html"));
//   }
//
// With FC_UPDATE_PINNED=1 in the environment, Repin writes what a test made
// over the expected file instead of comparing: for a change of the reports
// made on purpose, whose difference is then read in the commit.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "naming/Submission.h"
#include "report/ReportData.h"

namespace fc::test {

inline std::vector<std::string> ReportCaseNames() {
  return {"account-zip", "account-dbf", "identity", "clean", "no-files", "comparison"};
}

inline std::filesystem::path PinnedFile(const std::string& name) {
  return std::filesystem::path(FC_SOURCE_DATA_DIR).parent_path() / "tests" / "report" / "pinned" / name;
}

// Compares `made` with the expected file `name` (or rewrites it, see above).
inline void ExpectPinned(const std::string& name, const std::string& made) {
  const std::filesystem::path file = PinnedFile(name);
  if (std::getenv("FC_UPDATE_PINNED")) {
    std::ofstream(file, std::ios::binary) << made;
    return;
  }
  std::ifstream in(file, std::ios::binary);
  ASSERT_TRUE(in) << "no expected file " << file;
  std::stringstream expected;
  expected << in.rdbuf();
  EXPECT_EQ(made, expected.str()) << "differs from " << file;
}

namespace cases {

using store::Verdict;

inline store::FileFacts File(int id, int group, const char* cat, const std::string& name, bool present, Verdict verdict,
                             const std::string& why = "") {
  store::FileFacts f{id, group, cat, name, present, present && verdict != Verdict::Fail, {}, {}, {}, {}, {}, {}, verdict, why};
  if (!present) return f;
  f.size = 1000 + id;
  f.mtime = "2008-08-08 17:0" + std::to_string(id % 10) + ":00";
  f.sha256 = std::string(64, static_cast<char>('a' + id % 6));
  f.records = 10 * id;
  f.dbfVersion = 3;
  f.codePage = 0x7A;
  return f;
}

inline store::RunFacts Facts(const char* submission, const char* fileType, Verdict verdict, const char* verdictText) {
  store::RunFacts f;
  f.runKey = std::string("run-") + submission;
  f.submission = naming::SubmissionFromCode(submission);
  f.companyCode = "100001";
  f.companyName = "东岳证券股份有限公司";
  f.dataDate = "20080808";
  f.fileType = fileType;
  f.sourceDir = "/data/in/20080808/";
  f.targetDir = "/data/out/";
  f.started = "2026-12-08 19:07:13";
  f.ended = "2026-12-08 19:07:15";
  f.seconds = 2.345;
  f.version = "3.1.0";
  f.ruleSet = {"interface", "1", std::string(64, 'c')};
  f.completed = true;
  f.verdict = verdict;
  f.verdictText = verdictText;
  return f;
}

inline store::FindingRecords Records(int fileid, int finding, const char* errid, const char* table,
                                     std::vector<std::string> fields, std::vector<store::FindingRecords::Record> rows) {
  store::FindingRecords r;
  r.fileid = fileid;
  r.finding = finding;
  r.errid = errid;
  r.table = table;
  r.fields = std::move(fields);
  r.records = std::move(rows);
  r.total = static_cast<int64_t>(r.records.size());
  return r;
}

inline std::string Meaning(const std::string& table, const std::string& field) {
  if (table == "KHJBXX" && field == "KHXM") return "客户姓名";
  if (table == "KHJBXX" && field == "YYBDM") return "营业部代码";
  if (table == "SFZFCJG" && field == "ZJHM") return "证件号码";
  return "";
}

// A rule set's advice on R05 alone: the other findings show none.
inline rules::RuleAdvice Advice(const std::string& errid, const std::string&) {
  if (errid == "R05") return {"同一键字只能有一条记录。", "删去多余的记录后重新生成文件。"};
  return {};
}

// Full transfer of ZIP archives: one missing, one with rule findings whose
// records the store keeps, one passed that holds records marked deleted;
// branch checks that could not run.
inline report::ReportData AccountZip() {
  report::ReportData d;
  store::RunFacts& f = d.run.facts =
      Facts("account", "ZIP", Verdict::Fail, "不通过：应报文件3个，缺少1个；2条规则发现问题，涉及3条记录");
  f.fullTransfer = true;
  f.beginNo = 1;
  f.endNo = 1;
  f.kinds = {"KHJBXX", "ZJZQDY", "YYBXX"};
  f.files = {File(1, 1, "客户基本信息表", "100001_KHJBXX_20080808_1.ZIP", true, Verdict::Fail, "2条规则发现问题，涉及3条记录"),
             File(2, 1, "资金账户证券账户对应表", "100001_ZJZQDY_20080808_1.ZIP", true, Verdict::Pass),
             File(3, 1, "证券营业部信息表", "100001_YYBXX_20080808_1.ZIP", false, Verdict::Fail, "文件不存在")};
  f.files[1].deletedRecords = 3;
  f.skipped = {{1, "R04", store::RuleState::NotChecked, "同组证券营业部信息表YYBXX不存在或未通过检查"},
               {2, "R21", store::RuleState::NotApplicable, "增量传输不做此项核对"}};
  d.run.id = 7;
  d.run.findings = {{1, 1, f.files[0].filename, "R05", "营业部代码不存在", 2, {{"YYBDM", "999999", 2}}},
                    {1, 2, f.files[0].filename, "R09", "客户姓名为空", 1, {{"KHXM", "", 1}}}};
  d.recordsKept = true;
  d.records[{1, 1}] = Records(1, 1, "R05", "KHJBXX", {"ZJZH", "YYBDM"}, {{3, {"000000000001", "999999"}}, {8, {"000000000002", "999999"}}});
  d.records[{1, 2}] = Records(1, 2, "R09", "KHJBXX", {"ZJZH", "KHXM"}, {{5, {"000000000003", ""}}});
  d.meaningOf = Meaning;
  d.adviceOf = Advice;
  return d;
}

// Incremental transfer of DBF tables packed into archives, stopped before
// it ended; the records are no longer in the store.
inline report::ReportData AccountDbf() {
  report::ReportData d;
  store::RunFacts& f = d.run.facts = Facts("account", "DBF", Verdict::Incomplete, "未完成：检查被操作员停止");
  f.beginNo = 2;
  f.endNo = 3;
  f.kinds = {"ZJBDXX"};
  f.completed = false;
  f.message = "检查被操作员停止";
  f.files = {File(1, 2, "资金变动信息表", "100001_ZJBDXX_20080808_2.DBF", true, Verdict::Fail, "1条规则发现问题，涉及300条记录"),
             File(2, 3, "资金变动信息表", "100001_ZJBDXX_20080808_3.DBF", true, Verdict::Incomplete, "检查未完成"),
             File(3, 3, "资金变动信息表", "100001_ZJBDXX_20080808_4.DBF", true, Verdict::Unknown)};
  f.files[2].isok = 0;
  f.packs = {{"100001_ZJBDXX_20080808_2.ZIP", 812, std::string(64, 'f')}};
  d.run.id = 8;
  d.run.findings = {{1, 1, f.files[0].filename, "R16", "今日余额与昨日余额及本日发生额不符", 300,
                     {{"BZDM", "RMB", 280}, {"BZDM", "USD", 20}}}};
  return d;
}

// The identity re-check against its comparison table.
inline report::ReportData Identity() {
  report::ReportData d;
  store::RunFacts& f = d.run.facts = Facts("identity", "DBF", Verdict::Fail, "不通过：1条规则发现问题，涉及1条记录");
  f.comparisonDate = "20080801";
  f.kinds = {"SFZFCJG"};
  f.files = {File(1, 1, "投资者身份信息复查结果表", "100001_SFZFCJG_20080808.DBF", true, Verdict::Fail, "1条规则发现问题，涉及1条记录")};
  d.run.id = 9;
  d.run.findings = {{1, 1, f.files[0].filename, "S03", "证件号码与比对文件不一致", 1, {{"ZJHM", "110101********1234", 1}}}};
  d.recordsKept = true;
  d.records[{1, 1}] = Records(1, 1, "S03", "SFZFCJG", {"KHH", "ZJHM"}, {{1, {"0001", "110101********1234"}}});
  d.meaningOf = Meaning;
  return d;
}

inline report::ReportData Clean() {
  report::ReportData d;
  store::RunFacts& f = d.run.facts = Facts("account", "DBF", Verdict::Pass, "通过：应报文件1个，全部通过");
  f.fullTransfer = true;
  f.beginNo = 1;
  f.endNo = 1;
  f.kinds = {"KHJBXX"};
  f.files = {File(1, 1, "客户基本信息表", "100001_KHJBXX_20080808_1.DBF", true, Verdict::Pass)};
  f.packs = {{"100001_KHJBXX_20080808_1.ZIP", 640, std::string(64, 'e')}};
  d.run.id = 10;
  d.recordsKept = true;
  return d;
}

// A run an earlier version kept (no verdict) that found no file to list.
inline report::ReportData NoFiles() {
  report::ReportData d;
  d.run.facts = Facts("account", "ZIP", Verdict::Unknown, "");
  d.run.facts.ruleSet = {};
  d.run.facts.completed = false;
  d.run.facts.message = "源文件目录不存在";
  d.run.id = 11;
  return d;
}

// Against the run before, judged by the set's version before: a finding
// new, one gone, one with another count, one whose rule did not run, a file
// gone and a file changed.
inline report::ReportData Compared() {
  report::ReportData d = AccountZip();
  d.run.id = 12;
  d.run.facts.ruleSet = {"interface", "2", std::string(64, 'd')};
  d.previous = AccountZip().run;
  d.previous->id = 6;
  d.previous->facts.started = "2026-12-07 09:00:00";
  d.previous->facts.verdict = Verdict::Pass;
  history::Comparison& c = d.comparison.emplace();
  c.before = 6;
  c.after = 12;
  c.added = {{"100001_KHJBXX_20080808_1.ZIP", "R09", "", "客户姓名为空", 0, 1}};
  c.changed = {{"100001_KHJBXX_20080808_1.ZIP", "R05", "营业部代码不存在", "营业部代码不存在", 5, 2}};
  c.gone = {{"100001_ZJZQDY_20080808_1.ZIP", "R11", "资金账户重复", "", 4, 0}};
  c.unchecked = {{"100001_KHJBXX_20080808_1.ZIP", "R04", "营业部不存在", "", 1, 0}};
  c.missing = {"100001_YYBXX_20080808_1.ZIP"};
  c.files = {{"100001_KHJBXX_20080808_1.ZIP", std::string(64, '1'), std::string(64, '2')},
             {"100001_YYBXX_20080808_1.ZIP", std::string(64, '3'), ""}};
  c.ruleSetWarning = history::RuleSetWarning(d.previous->facts.ruleSet, d.run.facts.ruleSet);
  return d;
}

}  // namespace cases

inline report::ReportData ReportCase(const std::string& name) {
  if (name == "account-zip") return cases::AccountZip();
  if (name == "account-dbf") return cases::AccountDbf();
  if (name == "identity") return cases::Identity();
  if (name == "clean") return cases::Clean();
  if (name == "no-files") return cases::NoFiles();
  return cases::Compared();
}

}  // namespace fc::test
