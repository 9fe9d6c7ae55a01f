// rules check PATH [--against DIR --code C --date D]: checks a rule file
// (account.rules, identity.rules), the interface layouts (layouts.csv) or a
// whole rule set's folder (with its cases' sound values) as an analyst edits them, printing every fault
// with its line; with --against also runs each query on the tables of DIR
// (named by their kind, as a check places them) and prints each rule's
// count; without it each query runs on empty tables laid out as the
// interface agreement of the file's own set says (the latest shipped set's
// for a file on its own), so that a table or field the agreement does not
// have is a fault too.
// rules list [--home DIR]: the rule sets a check can use, shipped and the home's own.
// rules test [SET] [--home DIR]: runs the cases of a set (NAME@VERSION or a
// set's folder; every set when none is named), a line per case and a
// summary; exit 1 when a case differs or a rule has no case that fires it
// and one that does not, 2 when a set or a case file cannot be read.
// rules reference [SET] [--home DIR]: prints the rule language's reference
// (docs/rule-language.md), or that of a set's rules with what to do about
// their findings (docs/rule-sets/).
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/CheckRun.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "cli/TextOutput.h"
#include "naming/InterfaceLayouts.h"
#include "platform/Utf8Paths.h"
#include "query/Dialect.h"
#include "rules/RuleBook.h"
#include "ruleset/QueryTrial.h"
#include "ruleset/RuleCases.h"
#include "ruleset/RuleReference.h"
#include "ruleset/RuleSets.h"
#include "ruleset/RecordKeys.h"
#include "ruleset/SoundValues.h"

namespace fc::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "用法: filingcheck-cli rules check FILE|SETDIR [--against DIR --code CODE --date YYYY-MM-DD]\n"
    "      filingcheck-cli rules list [--home DIR]\n"
    "      filingcheck-cli rules test [NAME@VERSION|SETDIR] [--home DIR]\n"
    "      filingcheck-cli rules reference [NAME@VERSION|SETDIR] [--home DIR]";

int CheckLayouts(const fs::path& file) {
  try {
    const naming::InterfaceLayouts layouts = naming::InterfaceLayouts::load(file);
    std::printf("接口规范文件 %s：%zu个表结构，无误\n", platform::Utf8Of(file).c_str(), layouts.all().size());
    return 0;
  } catch (const std::exception& e) {
    std::printf("%s\n", e.what());
    return 2;
  }
}

// The layouts a rule file's queries meet: those of its own set (layouts.csv
// beside it), else those of the latest set shipped with the program.
fs::path LayoutsFor(const fs::path& ruleFile) {
  const fs::path beside = ruleFile.parent_path() / ruleset::kLayoutsFile;
  std::error_code ec;
  if (fs::exists(beside, ec)) return beside;
  const ruleset::RuleSets shipped = ruleset::RuleSets::find(ProgramDataDir(), {});
  if (shipped.all().empty()) throw std::runtime_error("程序的数据目录中没有规则集：" + platform::Utf8Of(ProgramDataDir()));
  return shipped.all().back().folder / ruleset::kLayoutsFile;
}

// Every fault of the rule file, each query run on `trial`'s tables; with
// `printCounts` each rule's count too.
int CheckRules(const fs::path& file, ruleset::QueryTrial& trial, bool printCounts) {
  rules::RuleFileCheck check = rules::CheckRuleFile(file);
  if (check.faults.empty()) {
    std::string fault;
    for (const rules::RuleFileQuery& q : check.queries) {
      const std::optional<int> n = trial.run(file, q, fault);
      if (!n) check.faults.push_back(fault);
      else if (printCounts) std::printf("%s\t%d\n", q.rule.c_str(), *n);
    }
  }
  for (const std::string& fault : check.faults) std::printf("%s\n", fault.c_str());
  if (!check.faults.empty()) return 2;
  std::printf("规则文件 %s：%zu个查询，无误\n", platform::Utf8Of(file).c_str(), check.queries.size());
  return 0;
}

// The rule file `file`, each query run on empty tables laid out by `layouts`.
int CheckRulesOnEmptyTables(const fs::path& file, const fs::path& layouts) {
  ruleset::QueryTrial trial;
  std::string error;
  try {
    if (!trial.openEmpty(naming::InterfaceLayouts::load(layouts), error)) return Fail(error);
  } catch (const std::exception& e) {
    return Fail(e.what());
  }
  return CheckRules(file, trial, false);
}

// A whole set as an analyst makes it: its manifest, its agreement, both rule
// files on empty tables laid out by that agreement, the sound values of its
// cases and its record keys when it has them, and no link among its files.
int CheckSet(const fs::path& folder) {
  int status = 0;
  auto fault = [&](const std::string& text) {
    std::printf("%s\n", text.c_str());
    status = 2;
  };
  std::optional<ruleset::Manifest> manifest;
  try {
    manifest = ruleset::ReadManifest(folder, false);
  } catch (const ruleset::RuleSetError& e) {
    fault(e.what());
  }
  try {
    ruleset::RuleSetDigest(folder);
  } catch (const ruleset::RuleSetError& e) {  // a link or a special file: nothing more is read
    fault(e.what());
    return status;
  }
  const fs::path layouts = folder / ruleset::kLayoutsFile;
  if (CheckLayouts(layouts) != 0) return 2;  // the rules cannot be tried without their tables
  for (const char* rules : {rules::kAccountRulesFile, rules::kIdentityRulesFile})
    if (CheckRulesOnEmptyTables(folder / rules, layouts) != 0) status = 2;
  std::error_code ec;
  if (fs::exists(folder / ruleset::kSoundValuesFile, ec)) {
    try {
      ruleset::SoundValues::load(folder, naming::InterfaceLayouts::load(layouts));
    } catch (const ruleset::RuleSetError& e) {
      fault(e.what());
    }
  }
  try {
    ruleset::RecordKeys::load(folder, naming::InterfaceLayouts::load(layouts));
  } catch (const ruleset::RuleSetError& e) {
    fault(e.what());
  }
  if (status == 0)
    std::printf("规则集 %s（%s）自%s起用，无误\n", manifest->id().c_str(), platform::Utf8Of(folder).c_str(),
                ruleset::FromText(*manifest).c_str());
  return status;
}

int Check(const Args& args) {
  if (args.empty() || args[0].rfind("--", 0) == 0) return Fail(kUsage);
  const fs::path file = platform::PathFromUtf8(args[0]);
  Options opts;
  std::string error;
  if (!opts.parse(Args(args.begin() + 1, args.end()), {"against", "code", "date"}, {}, error)) return Fail(error);
  std::error_code ec;
  if (fs::is_directory(file, ec)) {
    if (args.size() > 1) return Fail("检查整个规则集时不带选项；--against 只用于规则文件");
    return CheckSet(file);
  }
  if (file.extension() == ".csv") {
    if (opts.value("against")) return Fail("--against 只用于规则文件");
    return CheckLayouts(file);
  }
  if (!opts.value("against")) {
    if (opts.value("code") || opts.value("date")) return Fail("--code 和 --date 只与 --against 同用");
    try {
      return CheckRulesOnEmptyTables(file, LayoutsFor(file));
    } catch (const std::exception& e) {
      return Fail(e.what());
    }
  }
  if (!opts.require({"code", "date"}, error)) return Fail(error);
  std::string date;
  if (!ReadDate(*opts.value("date"), date, error)) return Fail(error);
  ruleset::QueryTrial trial;
  if (!trial.open(platform::PathFromUtf8(*opts.value("against")), date, *opts.value("code"), error)) return Fail(error);
  return CheckRules(file, trial, true);
}

// The rule sets a check can use, in the order a check chooses among them.
int List(const Args& args) {
  Options opts;
  std::string error;
  if (!opts.parse(args, {"home"}, {}, error)) return Fail(error);
  const std::optional<std::string> home = opts.value("home");
  try {
    const ruleset::RuleSets sets =
        ruleset::RuleSets::find(ProgramDataDir(), home ? platform::PathFromUtf8(*home) : fs::path());
    std::vector<std::vector<std::string>> lines = {{"规则集", "起用日期", "来源", "目录", "改动"}};
    for (const ruleset::Manifest& m : sets.all())
      lines.push_back({m.id(), ruleset::FromText(m), m.own ? "本公司" : "随程序提供", platform::Utf8Of(m.folder),
                       m.changes});
    PrintAligned(lines, stdout);
    return 0;
  } catch (const ruleset::RuleSetError& e) {
    return Fail(e.what());
  }
}

// The sets a command names: the one `which` names (NAME@VERSION or a
// folder), else every set of the program and of `home`.
std::vector<ruleset::Manifest> NamedSets(const std::optional<std::string>& which, const std::optional<std::string>& home) {
  if (which && which->find('@') == std::string::npos) return {ruleset::ReadManifest(platform::PathFromUtf8(*which), false)};
  const ruleset::RuleSets sets = ruleset::RuleSets::find(ProgramDataDir(), home ? platform::PathFromUtf8(*home) : fs::path());
  if (!which) return sets.all();
  return {sets.choose("", *which)};
}

// The set named first in `args`, if any, and the --home after it.
bool ReadSetArgs(const Args& args, std::optional<std::string>& which, Options& opts, std::string& error) {
  const bool named = !args.empty() && args[0].rfind("--", 0) != 0;
  if (named) which = args[0];
  return opts.parse(named ? Args(args.begin() + 1, args.end()) : args, {"home"}, {}, error);
}

// Runs one set's cases: 0 when every case gives what it expects and every
// rule has its cases, 1 otherwise.
int TestSet(const ruleset::Manifest& manifest) {
  const ruleset::RuleSet set = ruleset::LoadRuleSet(manifest);
  const ruleset::CasesOutcome outcome = ruleset::RunRuleCases(set);
  std::printf("规则集 %s（%s）\n", manifest.id().c_str(), platform::Utf8Of(manifest.folder).c_str());
  size_t passed = 0;
  for (const ruleset::CaseResult& c : outcome.cases) {
    std::printf("%s\n", VisibleText(ruleset::CaseLine(c)).c_str());
    passed += c.passed();
  }
  for (const std::string& missing : outcome.uncovered) std::printf("缺少用例　%s\n", missing.c_str());
  std::printf("规则集 %s：用例%zu个，通过%zu个，不符%zu个%s\n\n", manifest.id().c_str(), outcome.cases.size(), passed,
              outcome.cases.size() - passed,
              outcome.uncovered.empty() ? "" : ("，" + std::to_string(outcome.uncovered.size()) + "处缺少用例").c_str());
  return outcome.passed() ? 0 : 1;
}

int Test(const Args& args) {
  std::optional<std::string> which;
  Options opts;
  std::string error;
  if (!ReadSetArgs(args, which, opts, error)) return Fail(error);
  try {
    int status = 0;
    for (const ruleset::Manifest& m : NamedSets(which, opts.value("home"))) status = std::max(status, TestSet(m));
    return status;
  } catch (const ruleset::RuleSetError& e) {
    return Fail(e.what());
  }
}

// The language's reference, or a set's.
int Reference(const Args& args) {
  std::optional<std::string> which;
  Options opts;
  std::string error;
  if (!ReadSetArgs(args, which, opts, error)) return Fail(error);
  if (!which) {
    if (opts.value("home")) return Fail("--home 只与规则集同用");
    std::fputs(query::RuleLanguageReference().c_str(), stdout);
    return 0;
  }
  try {
    std::fputs(ruleset::RuleSetReference(ruleset::LoadRuleSet(NamedSets(which, opts.value("home")).front())).c_str(),
               stdout);
    return 0;
  } catch (const ruleset::RuleSetError& e) {
    return Fail(e.what());
  }
}

}  // namespace

int RulesCommand(const Args& args) {
  const Args rest = args.empty() ? Args() : Args(args.begin() + 1, args.end());
  if (!args.empty() && args[0] == "check") return Check(rest);
  if (!args.empty() && args[0] == "list") return List(rest);
  if (!args.empty() && args[0] == "test") return Test(rest);
  if (!args.empty() && args[0] == "reference") return Reference(rest);
  return Fail(kUsage);
}

}  // namespace fc::cli
