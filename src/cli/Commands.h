// cli/Commands.h - the subcommands of filingcheck-cli, one unit each.
// Each takes the arguments after the subcommand name and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace fc::cli {

using Args = std::vector<std::string>;

int SqlCommand(const Args& args);       // sql --dir DIR "QUERY"

}  // namespace fc::cli
