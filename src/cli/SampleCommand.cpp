// sample --home DIR --dir DIR: writes the demonstration submission and shows
// the commands that check it.
#include <cstdio>
#include <filesystem>

#include "cli/Commands.h"
#include "cli/Options.h"
#include "pipeline/Sample.h"
#include "platform/Utf8Paths.h"
#include "ruleset/RuleSets.h"

namespace fc::cli {

int SampleCommand(const Args& args) {
  Options opts;
  std::string error;
  if (!opts.parse(args, {"home", "dir"}, {}, error) || !opts.require({"home", "dir"}, error))
    return Fail(error);
  settings::AppHome home = HomeAt(*opts.value("home"));
  std::filesystem::path dir = std::filesystem::absolute(platform::PathFromUtf8(*opts.value("dir")));
  try {
    pipeline::WriteSample(ruleset::LoadRuleSetFor(home, pipeline::kSampleDate, "").layouts, dir);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  std::string h = platform::Utf8Of(home.home), d = platform::Utf8Of(dir);
  std::printf(
      "示例报送数据已写入 %s (公司 100001, 数据日期 2008-08-08, 序号 1-2, 比对日期 2008-08-04)\n"
      "检查它们:\n"
      "  filingcheck-cli account  --home %s --source %s/account-zip --code 100001 --date 2008-08-08 "
      "--from 1 --to 2\n"
      "  filingcheck-cli identity --home %s --source %s/identity-zip --code 100001 --date 2008-08-08 "
      "--comparison-date 2008-08-04\n"
      "  filingcheck-cli account  --home %s --source %s/account-dbf --code 100001 --date 2008-08-08 "
      "--from 1 --to 2 --type dbf --output OUTDIR --pack\n",
      d.c_str(), h.c_str(), d.c_str(), h.c_str(), d.c_str(), h.c_str(), d.c_str());
  return 0;
}

}  // namespace fc::cli
