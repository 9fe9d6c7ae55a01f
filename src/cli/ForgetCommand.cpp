// forget --home DIR: empties the history, the records behind the latest
// run's findings and the working directories (a run that was killed leaves
// its tables there, a desktop program that was killed a past run's results):
// the customer data the home keeps beyond a run (the latest results
// themselves, the company list, the settings and the acceptances, which are
// the company's decisions rather than results, stay). Files that do not
// exist are not created, but for the lock file of an existing home: forget
// holds the home's lock, so it refuses (exit status 2) while a check runs,
// and no check starts while it works.
#include <cstdio>
#include <filesystem>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "history/History.h"
#include "pipeline/WorkDirs.h"
#include "platform/Utf8Paths.h"
#include "settings/HomeLock.h"
#include "settings/PrivateFiles.h"
#include "store/Store.h"

namespace fc::cli {

int ForgetCommand(const Args& args) {
  Options opts;
  std::string error;
  if (!opts.parse(args, {"home"}, {}, error) || !opts.require({"home"}, error)) return Fail(error);
  const settings::AppHome home = HomeAt(*opts.value("home"));
  const std::string done = "已清空" + platform::Utf8Of(home.home) + "中的检查历史、问题记录明细和工作目录\n"
                           "接受的问题保留：它们是公司的决定，不是检查结果";
  if (settings::EntryAt(home.home) == settings::HomeEntry::Missing) {
    std::fprintf(stderr, "%s\n", done.c_str());
    return 0;
  }
  settings::HomeLock lock(home.home);
  if (lock.busy()) return Fail("一个检查正在使用应用目录" + platform::Utf8Of(home.home) + "，请等它结束后再清空。");
  if (!lock.held()) return Fail(lock.error());
  try {
    if (settings::EntryAt(home.storeFile()) != settings::HomeEntry::Missing)
      store::Store::open(home.home, home.data)->forgetRecords();
    if (settings::EntryAt(history::HistoryFile(home.home)) != settings::HomeEntry::Missing)
      history::History::open(home.home)->forget();
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  for (const std::filesystem::path& dir : home.scratchDirs())
    if (!pipeline::ClearScratchDir(dir, error)) return Fail(error);
  std::fprintf(stderr, "%s\n", done.c_str());
  return 0;
}

}  // namespace fc::cli
