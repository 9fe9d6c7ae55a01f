// rules check FILE [--against DIR --code C --date D]: checks a rule file
// (account.rules, identity.rules) or the interface layouts (layouts.csv) as
// an analyst edits them, printing every fault with its line; with --against
// also runs each query on the tables of DIR (named by their kind, as a check
// places them) and prints each rule's count; without it each query runs on
// empty tables laid out as the interface agreement says, so that a table or
// field the agreement does not have is a fault too.
// rules reference: prints the rule language's reference (docs/rule-language.md).
#include <cstdio>
#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "cli/CheckRun.h"
#include "cli/Commands.h"
#include "cli/Options.h"
#include "dbf/Writer.h"
#include "naming/InterfaceLayouts.h"
#include "platform/Utf8Paths.h"
#include "query/Dialect.h"
#include "query/Session.h"
#include "rules/RuleBook.h"
#include "rules/RuleText.h"
#include "text/DataFile.h"
#include "platform/ScratchFiles.h"
#include "platform/SystemReason.h"

namespace fc::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "用法: filingcheck-cli rules check FILE [--against DIR --code CODE --date YYYY-MM-DD]\n"
    "      filingcheck-cli rules reference";

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

// The tables to run the queries on, with the date and code they take (a
// sample of each for the empty tables, where only whether a query runs counts).
struct Against {
  query::Session session;
  std::string date = "20080808";  // YYYYMMDD
  std::string code = "100001";
  int total = 0;     // the latest table's total, which its key rules count against
};

// An empty table of every kind the interface layouts lay out, in scratch
// files (on Linux in memory, nothing written to disk), so that a query naming
// a table or a field the agreement does not have fails as it would on a
// submission. It outlives the session that has its tables open.
class LayoutTables {
 public:
  LayoutTables() = default;
  LayoutTables(const LayoutTables&) = delete;
  LayoutTables& operator=(const LayoutTables&) = delete;

  bool open(query::Session& session, std::string& error) {
    try {
      const naming::InterfaceLayouts layouts =
          naming::InterfaceLayouts::load(ProgramDataDir() / "interface" / "layouts.csv");
      std::vector<query::TableFile> tables;
      for (const naming::TableLayout& layout : layouts.all()) tables.push_back({layout.kind, write(layout)});
      return session.open(tables, error);
    } catch (const std::exception& e) {
      error = e.what();
      return false;
    }
  }

 private:
  // The layout's empty table, through the path of its scratch file.
  fs::path write(const naming::TableLayout& layout) {
    std::error_code ec;
    const fs::path file = files_.create(layout.kind, ec);
    if (ec) throw std::runtime_error("无法建立" + layout.kind + "的空表：" + platform::SystemReason(ec.value()));
    std::vector<dbf::FieldSpec> fields;
    for (const naming::LayoutField& f : layout.fields)
      fields.push_back({f.name, f.type, static_cast<uint8_t>(f.length), static_cast<uint8_t>(f.decimals)});
    dbf::Writer(file, dbf::Format::DBase3, fields).finish();
    return file;
  }

  platform::ScratchFiles files_;
};

// Runs one query; the count its rule reports (for a key rule the records
// beyond one per key: the total less the groups), or nothing with a fault on
// its line when it cannot run.
std::optional<int> RunQuery(Against& against, const fs::path& file, const rules::RuleFileQuery& q,
                            std::string& fault) {
  try {
    const std::string sql = rules::SpliceQuery(q.pattern, against.date, against.code);
    const int n = q.countsRows ? against.total - against.session.rows(sql) : against.session.count(sql);
    if (q.isTotal) against.total = n;
    return n;
  } catch (const std::exception& e) {
    fault = text::DataFile::Fault("规则文件", file, q.line, std::string("查询无法运行：") + e.what());
    return std::nullopt;
  }
}

// Every fault of the rule file, each query run on `against`'s tables; with
// `printCounts` each rule's count too.
int CheckRules(const fs::path& file, Against& against, bool printCounts) {
  rules::RuleFileCheck check = rules::CheckRuleFile(file);
  if (check.faults.empty()) {
    std::string fault;
    for (const rules::RuleFileQuery& q : check.queries) {
      const std::optional<int> n = RunQuery(against, file, q, fault);
      if (!n) check.faults.push_back(fault);
      else if (printCounts) std::printf("%s\t%d\n", q.rule.c_str(), *n);
    }
  }
  for (const std::string& fault : check.faults) std::printf("%s\n", fault.c_str());
  if (!check.faults.empty()) return 2;
  std::printf("规则文件 %s：%zu个查询，无误\n", platform::Utf8Of(file).c_str(), check.queries.size());
  return 0;
}

int Check(const Args& args) {
  if (args.empty() || args[0].rfind("--", 0) == 0) return Fail(kUsage);
  const fs::path file = platform::PathFromUtf8(args[0]);
  Options opts;
  std::string error;
  if (!opts.parse(Args(args.begin() + 1, args.end()), {"against", "code", "date"}, {}, error)) return Fail(error);
  if (file.extension() == ".csv") {
    if (opts.value("against")) return Fail("--against 只用于规则文件");
    return CheckLayouts(file);
  }
  LayoutTables tables;
  Against against;
  if (!opts.value("against")) {
    if (opts.value("code") || opts.value("date")) return Fail("--code 和 --date 只与 --against 同用");
    if (!tables.open(against.session, error)) return Fail(error);
    return CheckRules(file, against, false);
  }
  if (!opts.require({"code", "date"}, error)) return Fail(error);
  against.code = *opts.value("code");
  if (!ReadDate(*opts.value("date"), against.date, error)) return Fail(error);
  if (!against.session.open(platform::PathFromUtf8(*opts.value("against")), error)) return Fail(error);
  return CheckRules(file, against, true);
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
