// results --home DIR [--format table|tsv|json]: the latest run's results.
#include <cstdio>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/ResultsOutput.h"
#include "store/Store.h"

namespace fc::cli {

int ResultsCommand(const Args& args) {
  Options opts;
  std::string error;
  if (!opts.parse(args, {"home", "format"}, {}, error) || !opts.require({"home"}, error))
    return Fail(error);
  std::optional<ResultsFormat> format = ParseResultsFormat(opts.value("format").value_or("table"));
  if (!format) return Fail("--format 只能取 table、tsv 或 json");
  settings::AppHome home = HomeAt(*opts.value("home"));
  // Reading results never makes a home or a store: without one there are none.
  if (!RequireHomeFile(home, home.storeFile(), "检查结果")) return 2;
  try {
    auto store = store::Store::open(home.home, home.data);
    const std::vector<store::ResultRow> rows = store->readResults();
    const std::optional<store::RunFacts> facts = store::ReadLatestRunFacts(home.storeFile());
    PrintResults(rows, *format, stdout, facts, *format == ResultsFormat::Json ? SummariesOf(*store, rows) : Summaries{});
    return 0;
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}

}  // namespace fc::cli
