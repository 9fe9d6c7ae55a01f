// history --home DIR [--limit N] [--format table|tsv|json] [--keep N]: the
// past runs kept in the home's history, newest first; --keep sets how many
// runs the history keeps from now on.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/TextOutput.h"
#include "history/History.h"
#include "naming/Submission.h"
#include "report/JsonReport.h"
#include "store/RunFacts.h"
#include "text/Text.h"

namespace fc::cli {

namespace {

// Beyond any history kept; a number this large lists or keeps every run.
constexpr int64_t kMostRuns = 1000000;

const std::vector<std::string> kHeaders = {"编号", "检查时间", "报送数据", "证券公司编码", "数据日期", "文件类型",
                                           "通过/应有", "问题数", "结论", "检查状态", "规则集", "源文件目录"};
// New columns go at the end, so that scripts reading the first ones still do.
const std::vector<std::string> kNames = {"id", "started", "submission", "companyCode", "dataDate",
                                         "passed", "expected", "findings", "completed", "verdict", "fileType",
                                         "sourceDir", "ruleSet"};

// NAME@VERSION, marked when the company's own, or "—" for a run kept before rule sets.
std::string RuleSetOf(const history::RunSummary& r) {
  return r.ruleSet.empty() ? "—" : r.ruleSet + store::OwnSetMark(r.ruleSetOwn);
}

std::vector<std::string> TableRow(const history::RunSummary& r) {
  return {std::to_string(r.id), r.started, naming::SubmissionShortName(r.submission),
          r.companyCode, text::DashedDate(r.dataDate), r.fileType,
          std::to_string(r.passed) + "/" + std::to_string(r.expected), std::to_string(r.findings),
          store::VerdictWord(r.verdict), r.completed ? "完成" : "未完成：" + r.message, RuleSetOf(r), r.sourceDir};
}

void PrintTsv(const std::vector<history::RunSummary>& runs) {
  for (size_t i = 0; i < kNames.size(); ++i) std::printf("%s%c", kNames[i].c_str(), i + 1 < kNames.size() ? '\t' : '\n');
  for (const history::RunSummary& r : runs)
    std::printf("%lld\t%s\t%s\t%s\t%s\t%d\t%d\t%d\t%d\t%s\t%s\t%s\t%s\n", static_cast<long long>(r.id),
                TsvCell(r.started).c_str(), TsvCell(std::string(naming::SubmissionCode(r.submission))).c_str(), TsvCell(r.companyCode).c_str(),
                TsvCell(r.dataDate).c_str(), r.passed, r.expected, r.findings, r.completed ? 1 : 0,
                store::VerdictCode(r.verdict), TsvCell(r.fileType).c_str(), TsvCell(r.sourceDir).c_str(),
                TsvCell(r.ruleSet).c_str());
}

}  // namespace

int HistoryCommand(const Args& args) {
  Options opts;
  std::string error;
  if (!opts.parse(args, {"home", "limit", "format", "keep"}, {}, error) || !opts.require({"home"}, error))
    return Fail(error);
  const std::optional<OutputFormat> format =
      opts.format({OutputFormat::Table, OutputFormat::Tsv, OutputFormat::Json}, error);
  if (!format) return Fail(error);
  const std::optional<int64_t> limit = WholeNumber(opts.value("limit").value_or("20"), 1, kMostRuns);
  if (!limit) return Fail("--limit 应为1到" + std::to_string(kMostRuns) + "之间的检查次数");
  const std::optional<std::string> keepText = opts.value("keep");
  const std::optional<int64_t> keep = keepText ? WholeNumber(*keepText, 1, kMostRuns) : std::nullopt;
  if (keepText && !keep) return Fail("--keep 应为1到" + std::to_string(kMostRuns) + "之间的检查次数");
  const settings::AppHome home = HomeAt(*opts.value("home"));
  if (!RequireHomeFile(home, history::HistoryFile(home.home), "检查历史")) return 2;
  try {
    auto history = history::History::open(home.home);
    if (keep) history->setKeep(static_cast<int>(*keep));
    const std::vector<history::RunSummary> runs = history->list(static_cast<int>(*limit));
    if (format == OutputFormat::Json) {
      std::fputs(report::JsonRunList(runs).c_str(), stdout);
    } else if (format == OutputFormat::Tsv) {
      PrintTsv(runs);
    } else {
      std::vector<std::vector<std::string>> lines = {kHeaders};
      for (const history::RunSummary& r : runs) lines.push_back(TableRow(r));
      PrintAligned(lines, stdout);
    }
    return 0;
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}

}  // namespace fc::cli
