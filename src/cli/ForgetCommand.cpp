// forget --home DIR: empties the history and the records behind the latest
// run's findings, the customer data the home keeps beyond a run (the latest
// results themselves, the company list and the settings stay). Files that do
// not exist are not created.
#include <cstdio>
#include <filesystem>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "history/History.h"
#include "store/Store.h"

namespace fc::cli {

int ForgetCommand(const Args& args) {
  Options opts;
  std::string error;
  if (!opts.parse(args, {"home"}, {}, error) || !opts.require({"home"}, error)) return Fail(error);
  const settings::AppHome home = HomeAt(*opts.value("home"));
  std::error_code ec;
  try {
    if (std::filesystem::exists(home.storeFile(), ec)) store::Store::open(home.home, home.data)->forgetRecords();
    if (std::filesystem::exists(history::HistoryFile(home.home), ec)) history::History::open(home.home)->forget();
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  std::fprintf(stderr, "已清空%s中的检查历史和问题记录明细\n", home.home.string().c_str());
  return 0;
}

}  // namespace fc::cli
