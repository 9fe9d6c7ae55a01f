// compare --home DIR [--format table|json] [A [B]]: what changed from run A
// to run B of the history (default: B the newest run, A the latest run before
// B of the same submission: company, data date, file type, sequence range and
// transfer mode). Exit status 1 when a finding is new or grew or a file went
// missing, 0 otherwise (also when there is no earlier run to compare), 2 when
// the runs cannot be read.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/TextOutput.h"
#include "history/Comparison.h"
#include "report/JsonReport.h"
#include "report/ReportData.h"
#include "settings/Settings.h"

namespace fc::cli {

namespace {

// Splits the run numbers off the options.
bool SplitRunIds(const Args& args, Args& options, std::vector<int64_t>& ids, std::string& error) {
  for (size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.rfind("--", 0) == 0) {
      options.push_back(a);
      if (a.find('=') == std::string::npos && i + 1 < args.size()) options.push_back(args[++i]);
    } else if (a.find_first_not_of("0123456789") == std::string::npos && a.size() < 18) {
      ids.push_back(std::stoll(a));
    } else {
      error = "compare 的参数应为检查编号，而不是 '" + a + "'";
      return false;
    }
  }
  if (ids.size() <= 2) return true;
  error = "compare 最多比较两个检查编号";
  return false;
}

// One line naming a run: number, time, file type, folder, verdict and rule set.
std::string RunHead(const char* which, const history::Run& run) {
  return std::string(which) + " 检查 " + std::to_string(run.id) + "  " + run.facts.started + "  " +
         run.facts.fileType + "  " + run.facts.sourceDir + "  结论：" + store::VerdictWord(run.facts.verdict) +
         "  规则集：" + store::RuleSetText(run.facts.ruleSet);
}

void PrintChanges(const history::Run& before, const history::Run& after, const history::Comparison& c) {
  std::vector<std::vector<std::string>> rows = {{"变化", "文件名", "问题编号", "上次", "本次", "问题描述"}};
  auto add = [&](const char* what, const std::vector<history::FindingChange>& changes) {
    for (const history::FindingChange& f : changes)
      rows.push_back({what, f.filename, f.errid, std::to_string(f.countBefore), std::to_string(f.countAfter),
                      f.errdescAfter.empty() ? f.errdescBefore : f.errdescAfter});
  };
  add("新增", c.added);
  add("变化", c.changed);
  add("消除", c.gone);
  add("未检查", c.unchecked);
  for (const std::string& name : c.missing) rows.push_back({"文件缺失", name, "", "存在", "不存在", ""});
  for (const history::FileChange& f : c.files)
    rows.push_back({"文件变化", f.filename, "", f.sha256Before.empty() ? "-" : f.sha256Before.substr(0, 12),
                    f.sha256After.empty() ? "-" : f.sha256After.substr(0, 12), ""});
  std::printf("%s\n%s\n", VisibleText(RunHead("上次", before)).c_str(), VisibleText(RunHead("本次", after)).c_str());
  if (!c.ruleSetWarning.empty()) std::printf("%s\n", c.ruleSetWarning.c_str());
  PrintAligned(rows, stdout);
}

}  // namespace

int CompareCommand(const Args& args) {
  Args optionArgs;
  std::vector<int64_t> ids;
  std::string error;
  Options opts;
  if (!SplitRunIds(args, optionArgs, ids, error) || !opts.parse(optionArgs, {"home", "format"}, {}, error) ||
      !opts.require({"home"}, error))
    return Fail(error);
  const std::optional<OutputFormat> format = opts.format({OutputFormat::Table, OutputFormat::Json}, error);
  if (!format) return Fail(error);
  const settings::AppHome home = HomeAt(*opts.value("home"));
  if (!RequireHomeFile(home, history::HistoryFile(home.home), "检查历史")) return 2;
  try {
    auto history = history::History::open(home.home);
    std::optional<int64_t> after = ids.size() == 2 ? ids[1] : ids.size() == 1 ? ids[0] : history->latest().value_or(0);
    std::optional<int64_t> before = ids.size() == 2 ? std::optional<int64_t>(ids[0]) : history->previous(*after);
    std::optional<history::Run> a = before ? history->read(*before) : std::nullopt;
    std::optional<history::Run> b = history->read(*after);
    if (!b) return Fail("检查历史中没有编号为" + std::to_string(*after) + "的检查");
    if (!before) {
      std::fprintf(stderr, "检查 %lld：%s\n", static_cast<long long>(*after), report::kNoPreviousRun);
      return 0;
    }
    if (!a) return Fail("检查历史中没有编号为" + std::to_string(*before) + "的检查");
    const history::Comparison c = history::Compare(*a, *b);
    if (format == OutputFormat::Json)
      std::fputs(report::JsonComparison(c).c_str(), stdout);
    else
      PrintChanges(*a, *b, c);
    return c.worse() ? 1 : 0;
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}

}  // namespace fc::cli
