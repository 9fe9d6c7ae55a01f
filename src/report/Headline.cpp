#include "report/Headline.h"

namespace fc::report {

namespace {

std::string Count(int n) { return std::to_string(n); }

}  // namespace

// Decided from what the history keeps of the run: it passes only when it
// finished, listed files, found every one of them sound and no finding.
Headline RunHeadline(const history::Run& run) {
  if (!run.facts.completed)
    return {"未完成", run.facts.message.empty() ? "检查未能完成" : "检查未能完成：" + run.facts.message, false};
  const history::RunSummary s = history::Summarize(run);
  if (s.expected == 0) return {"不通过", "没有应报文件", false};
  std::string reason = "应报文件" + Count(s.expected) + "个";
  if (s.present < s.expected) reason += "，缺少" + Count(s.expected - s.present) + "个";
  if (s.passed < s.present) reason += "，" + Count(s.present - s.passed) + "个未通过";
  if (!run.findings.empty()) {
    int64_t records = 0;
    for (const history::Finding& f : run.findings) records += f.total;
    reason += "；发现问题" + Count(static_cast<int>(run.findings.size())) + "个";
    if (records > 0) reason += "，涉及" + std::to_string(records) + "条记录";
  }
  const bool pass = s.present == s.expected && s.passed == s.present && run.findings.empty();
  return {pass ? "通过" : "不通过", pass ? reason + "，全部通过检查" : reason, pass};
}

}  // namespace fc::report
