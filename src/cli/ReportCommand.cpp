// report --home DIR [--run ID] [--no-mask] --output FILE.html|FILE.pdf|FILE.json:
// the check report of a run of the history (default: the newest), as a
// self-contained HTML page, an A4 PDF (the same file the results window
// writes) or JSON for scripts, chosen by the output file's ending; identity
// numbers and names masked unless --no-mask.
#include <cstdio>
#include <filesystem>
#include <limits>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "history/History.h"
#include "platform/Utf8Paths.h"
#include "report/ReportData.h"
#include "report/ReportFormats.h"

namespace fc::cli {

int ReportCommand(const Args& args) {
  Options opts;
  std::string error;
  if (!opts.parse(args, {"home", "run", "output"}, {"no-mask"}, error) || !opts.require({"home", "output"}, error))
    return Fail(error);
  const std::filesystem::path output = platform::PathFromUtf8(*opts.value("output"));
  const report::ReportFormat* format = report::FormatOf(output);
  if (!format) return Fail("--output 的文件名应以 .html、.pdf 或 .json 结尾");
  std::optional<int64_t> run;
  if (std::optional<std::string> id = opts.value("run")) {
    run = WholeNumber(*id, 1, std::numeric_limits<int64_t>::max());
    if (!run) return Fail("--run 应为检查历史中的检查编号");
  }
  const settings::AppHome home = HomeAt(*opts.value("home"));
  if (!RequireHomeFile(home, history::HistoryFile(home.home), "检查历史")) return 2;
  std::optional<report::ReportData> data = report::LoadReport(
      home.home, home.data, run, error, opts.flag("no-mask") ? privacy::Masking::Off : privacy::Masking::NumbersAndNames);
  if (!data) return Fail(error);
  if (!format->write(*data, output, error)) return Fail(error);
  std::fprintf(stderr, "检查报告已写入%s\n", platform::Utf8Of(output).c_str());
  return 0;
}

}  // namespace fc::cli
