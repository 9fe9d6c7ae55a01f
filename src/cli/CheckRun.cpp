#include "cli/CheckRun.h"

#include <cstdio>
#include <filesystem>
#include <limits>
#include <utility>

#include "cli/PausePoint.h"
#include "cli/ResultsOutput.h"
#include "cli/TextOutput.h"
#include "naming/CompanyCode.h"
#include "pipeline/RunDriver.h"
#include "pipeline/RunObserver.h"
#include "platform/Files.h"
#include "platform/StopSignals.h"
#include "settings/NumberSettings.h"
#include "settings/PrivateFiles.h"
#include "store/Store.h"

namespace fc::cli {

namespace {

using pipeline::CheckType;

// Answers the run's questions from the command line; every text goes to
// stderr as it comes, one line each, so stdout holds the results alone. On a
// terminal a progress mark "[3/10]" stays on the line below the texts; in a
// pipe or a file there is none, so scripts read the same lines either way.
class ConsoleObserver : public pipeline::RunObserver {
 public:
  explicit ConsoleObserver(bool pack) : pack_(pack), terminal_(platform::IsTerminal(stderr)) {}
  ~ConsoleObserver() override { endProgress(); }
  ConsoleObserver(const ConsoleObserver&) = delete;
  ConsoleObserver& operator=(const ConsoleObserver&) = delete;

  void status(const std::string& text) override {
    if (!text.empty()) line(text);
    pause_.reached(text);
  }
  void progress(int current, int total) override {
    if (!terminal_) return;
    mark_ = "[" + std::to_string(current) + "/" + std::to_string(total) + "]";
    std::fprintf(stderr, "\r\x1b[K%s", mark_.c_str());
    std::fflush(stderr);
  }
  // The question's first line carries the answer --pack gave; the verdict
  // and the tables with findings follow as in the window.
  bool askPack(const pipeline::PackQuestion& question) override {
    std::string text = question.text();
    const size_t firstBreak = text.find('\n');
    text.insert(firstBreak, pack_ ? " 是 (--pack)" : " 否");
    line(text);
    return pack_;
  }
  void message(pipeline::MessageKind, const std::string& text) override { line(text); }

  // Takes the progress mark off the terminal once the run is over.
  void endProgress() {
    if (mark_.empty()) return;
    std::fputs("\r\x1b[K", stderr);
    mark_.clear();
  }

 private:
  void line(const std::string& text) {
    if (!mark_.empty()) std::fputs("\r\x1b[K", stderr);
    std::fprintf(stderr, "%s\n", text.c_str());
    if (!mark_.empty()) std::fputs(mark_.c_str(), stderr);
    std::fflush(stderr);
  }

  bool pack_;
  bool terminal_;     // stderr is a terminal: show the progress mark
  PausePoint pause_ = PausePoint::FromEnvironment();
  std::string mark_;  // the mark on the terminal's last line, empty when none
};

// Ctrl+C and SIGTERM ask the run to stop at its next safe point, so that it
// ends recorded as incomplete with nothing half-written; a second signal
// ends the process as it would have without the handler.
void RequestStop(void* stop) noexcept { static_cast<pipeline::StopRequest*>(stop)->request(); }

// ValidateRunInputs against the home's company list; an unknown code is
// let through with a warning, as an operator answering Yes would.
bool ValidateAgainstStore(const CheckRequest& request, std::string& error) {
  std::unique_ptr<store::Store> store;
  try {
    store = store::Store::open(request.home.home, request.home.data);
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  pipeline::CompanyQuestions questions{
      [&](const std::string& code) { return store->findCompany(code); },
      [] {
        std::fprintf(stderr, "警告: 输入的证券公司编码在证券公司清单中没有找到，继续检查。\n");
        return true;
      }};
  std::optional<pipeline::InputProblem> problem = pipeline::ValidateRunInputs(request.raw, questions);
  if (!problem) problem = pipeline::CheckScratchDirs(request.raw, request.home);
  if (!problem) problem = pipeline::CheckOutputDir(request.raw);
  if (problem) error = problem->message;
  return !problem;
}

}  // namespace

bool ReadRecordsLimit(const std::string& text, size_t& limit, std::string& error) {
  if (std::optional<int64_t> n = WholeNumber(text, 0, std::numeric_limits<int64_t>::max())) {
    limit = static_cast<size_t>(*n);
    return true;
  }
  error = "--records-limit 应为每个问题保留的记录条数（整数，0 表示全部保留）";
  return false;
}

bool ReadThreads(const std::string& text, int& threads, std::string& error) {
  if (std::optional<int64_t> n = WholeNumber(text, 0, settings::kMostThreads)) {
    threads = static_cast<int>(*n);
    return true;
  }
  error = "--threads 应为不超过" + std::to_string(settings::kMostThreads) + "的线程数（0 表示每个处理器核心一个）";
  return false;
}

bool ReadDate(const std::string& text, std::string& date, std::string& error) {
  std::optional<std::string> digits = pipeline::ParseDateText(text);
  if (!digits) {
    error = "数据日期输入错误，要求格式为YYYY-MM-DD";
    return false;
  }
  date = *digits;
  return true;
}

bool ReadCommonOptions(const Options& opts, pipeline::Submission submission, CheckRequest& request,
                       std::string& error) {
  if (!opts.require({"home", "source", "code", "date"}, error)) return false;
  std::string type = opts.value("type").value_or("zip");
  if (type != "zip" && type != "dbf") {
    error = "--type 只能取 zip 或 dbf";
    return false;
  }
  pipeline::RawRunInputs& raw = request.raw;
  raw.submission = submission;
  raw.companyCode = *opts.value("code");
  raw.sourceDir = *opts.value("source");
  raw.targetDir = opts.value("output").value_or("");
  raw.checkType = type == "zip" ? CheckType::Zip : CheckType::Dbf;
  raw.sourceCaption = type == "zip" ? "ZIP文件目录" : "DBF文件目录";
  raw.targetCaption = "ZIP生成目录";
  request.home = HomeAt(*opts.value("home"));
  request.pack = opts.flag("pack");
  raw.packs = request.pack;
  if (!ReadRecordsLimit(opts.value("records-limit").value_or("1000"), request.inputs.recordsLimit, error))
    return false;
  if (!ReadThreads(opts.value("threads").value_or("0"), request.inputs.threads, error)) return false;
  request.inputs.ruleSet = opts.value("rule-set").value_or("");
  return ReadDate(*opts.value("date"), request.inputs.dataDate, error);
}

int RunCheck(CheckRequest& request) {
  if (pipeline::SourceDirHasBlank(request.raw.sourceDir)) return Fail(pipeline::kBlankInPathMessage);
  std::error_code ec;
  NarrowHomeOnce(request.home.home);
  if (!settings::MakePrivateDir(request.home.home, ec))
    return Fail("应用目录无法使用：" + settings::PrivateDirFailureText(request.home.home, ec));
  std::string error;
  if (!ValidateAgainstStore(request, error)) return Fail(error);
  request.inputs = pipeline::MakeRunInputs(request.raw, std::move(request.inputs));
  ConsoleObserver observer(request.pack);
  pipeline::StopRequest stop;
  pipeline::RunOutcome outcome;
  {
    platform::StopSignals signals(RequestStop, &stop);
    outcome = pipeline::RunDriver(request.home, request.inputs).run(observer, stop);
  }
  observer.endProgress();
  if (!outcome.completed) {
    if (outcome.verdict != store::Verdict::Unknown)
      std::fprintf(stderr, "%s\n", VisibleText(ConclusionLine(outcome.verdict, outcome.verdictText)).c_str());
    return 2;
  }
  try {
    std::vector<store::ResultRow> rows = store::Store::open(request.home.home, request.home.data)->readResults();
    std::optional<store::RunFacts> facts = store::ReadLatestRunFacts(request.home.storeFile());
    if (!facts) {  // facts not kept (only to weigh their cost): the verdict is the run's own
      facts.emplace();
      facts->verdict = outcome.verdict;
      facts->verdictText = outcome.verdictText;
    }
    PrintResults(rows, OutputFormat::Table, stdout, facts);
    return ExitStatus(outcome.verdict);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}

}  // namespace fc::cli
