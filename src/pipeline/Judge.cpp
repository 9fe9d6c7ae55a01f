#include "pipeline/Judge.h"

#include <algorithm>
#include <map>
#include <string>

namespace fc::pipeline {

namespace {

using store::FileFacts;
using store::RunFacts;
using store::RuleSkip;
using store::RuleState;
using store::Verdict;

// What the run found and left unchecked on one file.
struct FileTally {
  int problems = 0;      // fileerr rows
  int64_t records = 0;   // records behind them
  int notChecked = 0;    // rules 未检查
  int accepted = 0;      // of the rows, those an acceptance covers
  int64_t acceptedRecords = 0;  // records behind them
};

std::string N(int64_t n) { return std::to_string(n); }

std::string Findings(int findings, int64_t records) {
  std::string text = N(findings) + "条规则发现问题";
  if (records > 0) text += "，涉及" + N(records) + "条记录";
  return text;
}

std::string AllAccepted(int findings, int64_t records) {
  std::string text = N(findings) + "条规则发现的问题均已接受";
  if (records > 0) text += "，涉及" + N(records) + "条记录";
  return text;
}

std::string PartAccepted(int accepted) { return accepted ? "，其中" + N(accepted) + "条已接受" : ""; }

// The rule findings no acceptance covers, each with its file and why an
// acceptance of its rule did not cover it; empty when no acceptance had a
// part in the run, so that a run without any reads as it always has.
std::string Uncovered(const RunFacts& facts, const RunTally& tally) {
  const bool weighed = std::any_of(tally.findings.begin(), tally.findings.end(), [](const RunTally::Finding& f) {
    return f.accepted || !f.uncovered.empty();
  });
  if (!weighed) return "";
  std::string text;
  for (const RunTally::Finding& f : tally.findings) {
    if (f.accepted || !f.rule) continue;
    const auto file = std::find_if(facts.files.begin(), facts.files.end(),
                                   [&](const FileFacts& x) { return x.fileid == f.fileid; });
    text += (text.empty() ? "" : "、") + f.errid + "（" + (file == facts.files.end() ? "" : file->filename) +
            (f.uncovered.empty() ? "" : "：" + f.uncovered) + "）";
  }
  return text.empty() ? "" : "；未接受：" + text;
}

void JudgeFile(FileFacts& file, const FileTally& t, bool rulesRan) {
  auto set = [&](Verdict v, std::string reason) {
    file.verdict = v;
    file.verdictText = std::move(reason);
  };
  const std::string unchecked = t.notChecked ? "；" + N(t.notChecked) + "条规则未检查" : "";
  if (!file.isexist) return set(Verdict::Fail, "文件不存在");
  if (!file.isok) return set(Verdict::Fail, "结构检查发现" + N(t.problems) + "个问题");
  if (t.problems > t.accepted)
    return set(Verdict::Fail, Findings(t.problems, t.records) + PartAccepted(t.accepted) + unchecked);
  if (!rulesRan) return set(Verdict::Incomplete, "数据规则未检查");
  if (t.notChecked) return set(Verdict::Incomplete, N(t.notChecked) + "条规则未检查");
  if (t.accepted) return set(Verdict::Accepted, AllAccepted(t.accepted, t.acceptedRecords));
  set(Verdict::Pass, "文件存在，结构正常，没有发现问题");
}

// Why a run that did not complete stopped; the run's own message says it
// with the prefix every failed run carries.
std::string StopCause(const std::string& message) {
  constexpr std::string_view kPrefix = "检查未能完成：";
  if (message.empty()) return "检查没有结束";
  if (message.rfind(kPrefix, 0) == 0) return message.substr(kPrefix.size());
  return message;
}

}  // namespace

void Judge(RunFacts& facts, const RunTally& tally) {
  std::map<int, FileTally> files;
  for (const RunTally::Finding& f : tally.findings) {
    FileTally& t = files[f.fileid];
    ++t.problems;
    t.records += f.records;
    t.accepted += f.accepted;
    t.acceptedRecords += f.accepted ? f.records : 0;
  }
  for (const RuleSkip& r : facts.skipped)
    if (r.state == RuleState::NotChecked) ++files[r.fileid].notChecked;

  int missing = 0, unsound = 0, ruleFindings = 0, notChecked = 0, unfinished = 0, failed = 0, accepted = 0;
  int64_t records = 0, acceptedRecords = 0;
  for (FileFacts& file : facts.files) {
    const FileTally& t = files[file.fileid];
    JudgeFile(file, t, tally.rulesRan.count(file.fileid) > 0);
    missing += !file.isexist;
    unsound += file.isexist && !file.isok;
    if (file.isok) {
      ruleFindings += t.problems;
      records += t.records;
      accepted += t.accepted;
      acceptedRecords += t.acceptedRecords;
    }
    // The rules of a missing or unsound file are told by the file counts.
    notChecked += file.isok ? t.notChecked : 0;
    unfinished += file.verdict == Verdict::Incomplete && t.notChecked == 0;
    failed += file.verdict == Verdict::Fail;
  }

  if (!facts.completed) {
    facts.verdict = Verdict::Incomplete;
    facts.verdictText = "未完成：" + StopCause(facts.message);
    return;
  }
  if (facts.files.empty()) {
    facts.verdict = Verdict::Incomplete;
    facts.verdictText = "未完成：没有应报文件";
    return;
  }
  std::string counts = "应报文件" + N(static_cast<int64_t>(facts.files.size())) + "个";
  if (missing) counts += "，缺少" + N(missing) + "个";
  if (unsound) counts += "，" + N(unsound) + "个未通过结构检查";
  if (ruleFindings && accepted == ruleFindings && !failed) counts += "；" + AllAccepted(accepted, acceptedRecords);
  else if (ruleFindings) counts += "；" + Findings(ruleFindings, records) + PartAccepted(accepted);
  if (notChecked) counts += "；" + N(notChecked) + "条规则未检查";
  if (unfinished) counts += "；" + N(unfinished) + "个文件的数据规则未检查";
  if (failed) {
    facts.verdict = Verdict::Fail;
    facts.verdictText = "不通过：" + counts + Uncovered(facts, tally);
  } else if (notChecked || unfinished) {
    facts.verdict = Verdict::Incomplete;
    facts.verdictText = "未完成：" + counts;
  } else if (accepted) {
    facts.verdict = Verdict::Accepted;
    facts.verdictText = "已接受：" + counts + "，其余全部存在并通过检查";
  } else {
    facts.verdict = Verdict::Pass;
    facts.verdictText = "通过：" + counts + "，全部存在并通过检查，没有发现问题";
  }
}

}  // namespace fc::pipeline
