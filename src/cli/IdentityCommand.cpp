// identity: checks an identity re-check submission from the command line.
#include "cli/CheckRun.h"
#include "cli/Commands.h"

namespace fc::cli {

int IdentityCommand(const Args& args) {
  Options opts;
  std::string error;
  if (!opts.parse(args, {"home", "source", "code", "date", "comparison-date", "type", "output", "records-limit", "threads", "rule-set"}, {"pack"},
                  error))
    return Fail(error);
  CheckRequest request;
  if (!ReadCommonOptions(opts, pipeline::Submission::Identity, request, error)) return Fail(error);
  std::optional<std::string> comparison = opts.value("comparison-date");
  if (comparison && !ReadDate(*comparison, request.inputs.comparisonDate, error)) return Fail(error);
  // The submission always takes part; the comparison file when its date is given.
  request.inputs.selectedKinds = {true, comparison.has_value()};
  request.raw.selectedKindCount = comparison ? 2 : 1;
  return RunCheck(request);
}

}  // namespace fc::cli
