// cli/Commands.h - the subcommands of filingcheck-cli, one unit each.
// Each takes the arguments after the subcommand name and returns the exit status.
#pragma once

#include <string>
#include <vector>

namespace fc::cli {

using Args = std::vector<std::string>;

int SqlCommand(const Args& args);       // sql --dir DIR "QUERY"
int AccountCommand(const Args& args);   // account --home DIR --source DIR --code CODE --date DATE --from N --to N ...
int IdentityCommand(const Args& args);  // identity --home DIR --source DIR --code CODE --date DATE ...
int ResultsCommand(const Args& args);   // results --home DIR [--format table|tsv|json]
int SampleCommand(const Args& args);    // sample --home DIR --dir DIR
int RecordsCommand(const Args& args);   // records --home DIR [--file NAME] [--rule CODE] [--format ...] [--output FILE.xlsx] [--no-mask]
int HistoryCommand(const Args& args);   // history --home DIR [--limit N] [--format table|tsv|json] [--keep N]
int CompareCommand(const Args& args);   // compare --home DIR [--format table|json] [A [B]]
int ReportCommand(const Args& args);    // report --home DIR [--run ID] [--no-mask] --output FILE.html|FILE.pdf|FILE.json
int AcceptCommand(const Args& args);   // accept add|list|withdraw --home DIR ...
int ForgetCommand(const Args& args);    // forget --home DIR
int RulesCommand(const Args& args);     // rules check FILE|SETDIR [--against DIR --code C --date D] | rules list | rules test [SET] | rules reference [SET]

}  // namespace fc::cli
