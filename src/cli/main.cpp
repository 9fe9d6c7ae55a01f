// filingcheck-cli - the headless face of filingcheck: look into DBF tables
// with the rules' meaning, run checks from scripts, print the latest results.
#include <cstdio>
#include <string>

#include "Version.h"
#include "cli/Commands.h"
#include "platform/ProgramArguments.h"

namespace {

struct Command {
  const char* name;
  int (*run)(const fc::cli::Args&);
  const char* usage;
};

const Command kCommands[] = {
    {"sql", fc::cli::SqlCommand, "sql --dir DIR \"QUERY\"   run one query on the DBF tables of DIR"},
    {"account", fc::cli::AccountCommand,
     "account  --home DIR --source DIR --code CODE --date YYYY-MM-DD --from N --to N\n"
     "           [--full] [--kinds K1,K2,...] [--type zip|dbf] [--output DIR] [--pack]\n"
     "           [--records-limit N] [--threads N] [--rule-set NAME@VERSION]\n"
     "           check a settlement-fund account submission (the rule set: the one\n"
     "           applying on the data date unless named)"},
    {"identity", fc::cli::IdentityCommand,
     "identity --home DIR --source DIR --code CODE --date YYYY-MM-DD\n"
     "           [--comparison-date YYYY-MM-DD] [--type zip|dbf] [--output DIR] [--pack]\n"
     "           [--records-limit N] [--threads N] [--rule-set NAME@VERSION]\n"
     "           check an identity re-check submission"},
    {"results", fc::cli::ResultsCommand,
     "results  --home DIR [--format table|tsv|json]   print the latest check's results"},
    {"records", fc::cli::RecordsCommand,
     "records  --home DIR [--file NAME] [--rule CODE] [--format table|tsv|csv|json|xlsx]\n"
     "           [--output FILE.xlsx] [--no-mask]\n"
     "           print the records behind the latest check's findings, or write them as an\n"
     "           Excel workbook (identity numbers masked unless --no-mask)"},
    {"history", fc::cli::HistoryCommand,
     "history  --home DIR [--limit N] [--format table|tsv|json] [--keep N]\n"
     "           list the past checks, newest first (--keep: how many the history keeps)"},
    {"compare", fc::cli::CompareCommand,
     "compare  --home DIR [--format table|json] [A [B]]\n"
     "           what changed from check A to check B (default: the latest against the latest\n"
     "           one before it of the same submission: company, data date, file type, sequence\n"
     "           range and transfer mode); exit 1 when a problem is new or grew"},
    {"report", fc::cli::ReportCommand,
     "report   --home DIR [--run ID] [--no-mask] --output FILE.html|FILE.pdf|FILE.json\n"
     "           write the report of a past check (default: the latest; identity numbers\n"
     "           and names masked unless --no-mask)"},
    {"accept", fc::cli::AcceptCommand,
     "accept   add --home DIR --submission account|identity --code CODE --rule RNN\n"
     "           (--keys K1,K2,... | --all --at-most N) --reason TEXT --by NAME --until YYYY-MM-DD\n"
     "           accept a rule's findings for the named records (or all of them, at most N)\n"
     "           until a day; prints the acceptance's number\n"
     "         list --home DIR [--format table|json]   the acceptances and their log\n"
     "         withdraw --home DIR ID --by NAME --reason TEXT   take one back"},
    {"forget", fc::cli::ForgetCommand,
     "forget   --home DIR   empty the history and the records behind the findings\n"
     "           (the acceptances stay: they are the company's decisions, not results)"},
    {"rules", fc::cli::RulesCommand,
     "rules    check FILE|SETDIR [--against DIR --code CODE --date YYYY-MM-DD]\n"
     "           check a rule file, layouts.csv or a whole rule set's folder, each fault with\n"
     "           its line; with --against, run a rule file's queries on the tables of DIR\n"
     "           (named by kind) and print each count\n"
     "         list [--home DIR]   list the rule sets, shipped and the home's own\n"
     "         test [NAME@VERSION|SETDIR] [--home DIR]\n"
     "           run a rule set's cases (every set when none is named); exit 1 when one differs\n"
     "         reference [NAME@VERSION|SETDIR] [--home DIR]\n"
     "           print the rule language's reference, or a rule set's rules with what to do\n"
     "           about their findings"},
    {"sample", fc::cli::SampleCommand,
     "sample   --home DIR --dir DIR   write a small submission with deliberate faults"},
};

int Usage(FILE* out) {
  std::fprintf(out, "usage: filingcheck-cli COMMAND [OPTIONS]\n       filingcheck-cli --version\n\ncommands:\n");
  for (const Command& c : kCommands) std::fprintf(out, "  %s\n", c.usage);
  return out == stdout ? 0 : 2;
}

}  // namespace

int main(int argc, char** argv) {
  fc::platform::ShowUtf8OnConsole();
  const std::vector<std::string> line = fc::platform::ProgramArguments(argc, argv);
  if (line.size() < 2) return Usage(stderr);
  const std::string& command = line[1];
  if (command == "--help" || command == "-h" || command == "help") return Usage(stdout);
  if (command == "--version") {
    std::printf("filingcheck-cli %s\n", fc::kVersion);
    return 0;
  }
  const fc::cli::Args args(line.begin() + 2, line.end());
  for (const Command& c : kCommands)
    if (c.name == command) return c.run(args);
  std::fprintf(stderr, "filingcheck-cli: 未知的命令 '%s'\n", command.c_str());
  return Usage(stderr);
}
