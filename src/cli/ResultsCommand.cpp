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
  const std::optional<OutputFormat> format =
      opts.format({OutputFormat::Table, OutputFormat::Tsv, OutputFormat::Json}, error);
  if (!format) return Fail(error);
  settings::AppHome home = HomeAt(*opts.value("home"));
  // Reading results never makes a home or a store: without one there are none.
  if (!RequireHomeFile(home, home.storeFile(), "检查结果")) return 2;
  try {
    auto store = store::Store::open(home.home, home.data);
    const std::vector<store::ResultRow> rows = store->readResults();
    const std::optional<store::RunFacts> facts = store::ReadLatestRunFacts(home.storeFile());
    PrintResults(rows, *format, stdout, facts, *format == OutputFormat::Json ? SummariesOf(*store, rows) : Summaries{});
    return 0;
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
}

}  // namespace fc::cli
