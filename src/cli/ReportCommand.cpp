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
#include "platform/FileReplace.h"
#include "report/HtmlReport.h"
#include "report/JsonReport.h"
#include "report/PdfReport.h"
#include "report/ReportData.h"

namespace fc::cli {

namespace {

std::string LowerExtension(const std::filesystem::path& file) {
  std::string ext = file.extension().string();
  for (char& c : ext) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace

int ReportCommand(const Args& args) {
  Options opts;
  std::string error;
  if (!opts.parse(args, {"home", "run", "output"}, {"no-mask"}, error) || !opts.require({"home", "output"}, error))
    return Fail(error);
  const std::filesystem::path output = *opts.value("output");
  const std::string ext = LowerExtension(output);
  if (ext != ".html" && ext != ".htm" && ext != ".pdf" && ext != ".json")
    return Fail("--output must end in .html, .pdf or .json");
  std::optional<int64_t> run;
  if (std::optional<std::string> id = opts.value("run")) {
    run = WholeNumber(*id, 1, std::numeric_limits<int64_t>::max());
    if (!run) return Fail("--run takes a run number from the history");
  }
  const settings::AppHome home = HomeAt(*opts.value("home"));
  if (!RequireHomeFile(home, history::HistoryFile(home.home), "检查历史")) return 2;
  std::optional<report::ReportData> data = report::LoadReport(
      home.home, home.data, run, error, opts.flag("no-mask") ? privacy::Masking::Off : privacy::Masking::NumbersAndNames);
  if (!data) return Fail(error);
  if (ext == ".pdf") {
    if (!report::WritePdfReport(*data, output, error)) return Fail(error);
  } else if (const platform::WriteResult written = platform::WriteFile(
                 output, ext == ".json" ? report::JsonReport(*data) : report::HtmlReport(*data), {});
             !written) {
    return Fail(platform::WriteFailureText(output, written));
  }
  std::fprintf(stderr, "检查报告已写入%s\n", output.string().c_str());
  return 0;
}

}  // namespace fc::cli
