// rules check FILE [--against DIR --code C --date D]: checks a rule file
// (account.rules, identity.rules) or the interface layouts (layouts.csv) as
// an analyst edits them, printing every fault with its line; with --against
// also runs each query on the tables of DIR (named by their kind, as a check
// places them) and prints each rule's count.
// rules reference: prints the rule language's reference (docs/rule-language.md).
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "cli/CheckRun.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "naming/InterfaceLayouts.h"
#include "query/Dialect.h"
#include "query/Session.h"
#include "rules/RuleBook.h"
#include "rules/RuleText.h"
#include "text/DataFile.h"

namespace fc::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "用法: filingcheck-cli rules check FILE [--against DIR --code CODE --date YYYY-MM-DD]\n"
    "      filingcheck-cli rules reference";

int CheckLayouts(const fs::path& file) {
  try {
    const naming::InterfaceLayouts layouts = naming::InterfaceLayouts::load(file);
    std::printf("接口规范文件 %s：%zu个表结构，无误\n", file.string().c_str(), layouts.all().size());
    return 0;
  } catch (const std::exception& e) {
    std::printf("%s\n", e.what());
    return 2;
  }
}

// The tables to run the queries on, with the date and code they take.
struct Against {
  query::Session session;
  std::string date;  // YYYYMMDD
  std::string code;
  int total = 0;     // the latest table's total, which its key rules count against
};

// Runs one query and prints the count its rule reports (for a key rule the
// records beyond one per key: the total less the groups); false with a fault
// on its line when it cannot run.
bool RunQuery(Against& against, const fs::path& file, const rules::RuleFileQuery& q, std::string& fault) {
  try {
    const std::string sql = rules::SpliceQuery(q.pattern, against.date, against.code);
    const int n = q.countsRows ? against.total - against.session.rows(sql) : against.session.count(sql);
    if (q.isTotal) against.total = n;
    std::printf("%s\t%d\n", q.rule.c_str(), n);
    return true;
  } catch (const std::exception& e) {
    fault = text::DataFile::Fault("规则文件", file, q.line, std::string("查询无法运行：") + e.what());
    return false;
  }
}

int CheckRules(const fs::path& file, Against* against) {
  rules::RuleFileCheck check = rules::CheckRuleFile(file);
  if (against && check.faults.empty()) {
    std::string fault;
    for (const rules::RuleFileQuery& q : check.queries)
      if (!RunQuery(*against, file, q, fault)) check.faults.push_back(fault);
  }
  for (const std::string& fault : check.faults) std::printf("%s\n", fault.c_str());
  if (!check.faults.empty()) return 2;
  std::printf("规则文件 %s：%zu个查询，无误\n", file.string().c_str(), check.queries.size());
  return 0;
}

int Check(const Args& args) {
  if (args.empty() || args[0].rfind("--", 0) == 0) return Fail(kUsage);
  const fs::path file = args[0];
  Options opts;
  std::string error;
  if (!opts.parse(Args(args.begin() + 1, args.end()), {"against", "code", "date"}, {}, error)) return Fail(error);
  if (file.extension() == ".csv") {
    if (opts.value("against")) return Fail("--against 只用于规则文件");
    return CheckLayouts(file);
  }
  if (!opts.value("against")) {
    if (opts.value("code") || opts.value("date")) return Fail("--code 和 --date 只与 --against 同用");
    return CheckRules(file, nullptr);
  }
  if (!opts.require({"code", "date"}, error)) return Fail(error);
  Against against;
  against.code = *opts.value("code");
  if (!ReadDate(*opts.value("date"), against.date, error)) return Fail(error);
  if (!against.session.open(*opts.value("against"), error)) return Fail(error);
  return CheckRules(file, &against);
}

}  // namespace

int RulesCommand(const Args& args) {
  if (args.size() == 1 && args[0] == "reference") {
    std::fputs(query::RuleLanguageReference().c_str(), stdout);
    return 0;
  }
  if (args.empty() || args[0] != "check") return Fail(kUsage);
  return Check(Args(args.begin() + 1, args.end()));
}

}  // namespace fc::cli
