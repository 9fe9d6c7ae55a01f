// account: checks a settlement-fund account submission from the command line.
#include <algorithm>

#include "cli/CheckRun.h"
#include "cli/Commands.h"
#include "naming/CompanyCode.h"
#include "naming/Kinds.h"
#include "pipeline/WorkDirs.h"
#include "text/Text.h"

namespace fc::cli {

namespace {

// "--kinds KHJBXX,yybxx": the check boxes of the named kinds.
bool ReadKinds(const std::string& list, std::vector<bool>& selected, std::string& error) {
  selected.assign(naming::kAccountKinds.size(), false);
  size_t start = 0;
  for (;;) {
    size_t comma = list.find(',', start);
    std::string name(text::Trim(list.substr(start, comma - start)));
    bool known = false;
    for (size_t k = 0; k < naming::kAccountKinds.size(); ++k)
      if (text::EqualsNoCase(name, naming::kAccountKinds[k].name)) selected[k] = known = true;
    if (!known) {
      error = "未知的表类型 '" + name + "'：可选 KHJBXX,ZJZQDY,ZJBDXX,YYBXX,ZHBYZ";
      return false;
    }
    if (comma == std::string::npos) return true;
    start = comma + 1;
  }
}

}  // namespace

int AccountCommand(const Args& args) {
  Options opts;
  std::string error;
  if (!opts.parse(args, {"home", "source", "code", "date", "from", "to", "kinds", "type", "output", "records-limit", "threads", "rule-set"},
                  {"full", "pack"}, error) ||
      !opts.require({"from", "to"}, error))
    return Fail(error);
  CheckRequest request;
  if (!ReadCommonOptions(opts, pipeline::Submission::Account, request, error)) return Fail(error);
  std::vector<bool>& kinds = request.inputs.selectedKinds;
  if (!ReadKinds(opts.value("kinds").value_or("KHJBXX,ZJZQDY,ZJBDXX,YYBXX,ZHBYZ"), kinds, error))
    return Fail(error);
  request.raw.selectedKindCount = static_cast<int>(std::count(kinds.begin(), kinds.end(), true));
  request.raw.beginNo = *opts.value("from");
  request.raw.endNo = *opts.value("to");
  request.inputs.fullTransfer = opts.flag("full");
  return RunCheck(request);
}

}  // namespace fc::cli
