// ruleset/QueryTrial.h - a rule file's queries run one by one as a check
// runs them, on the tables of a folder or on empty tables laid out by an
// interface agreement, so that a table, a field, a type or a function the
// tables do not have is found, with its line, before any check meets it.
//
//   fc::ruleset::QueryTrial trial;
//   std::string error, fault;
//   if (!trial.openEmpty(layouts, error)) fail(error);
//   for (const fc::rules::RuleFileQuery& q : queries)
//     if (!trial.run(file, q, fault)) report(fault);  // "规则文件 PATH 第N行：查询无法运行：…"
//
//   fc::ruleset::TryRuleQueries(layouts, rules, folder);  // std::runtime_error with the first fault
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "naming/InterfaceLayouts.h"
#include "query/Session.h"
#include "rules/RuleBook.h"
#include "ruleset/LayoutTables.h"

namespace fc::ruleset {

class QueryTrial {
 public:
  QueryTrial() = default;
  QueryTrial(const QueryTrial&) = delete;
  QueryTrial& operator=(const QueryTrial&) = delete;

  // Empty tables of every kind `layouts` lays out, with a sample date and
  // code: only whether each query runs counts.
  bool openEmpty(const naming::InterfaceLayouts& layouts, std::string& error);
  // The tables of `dir`, named by their kind, with the `date` (YYYYMMDD) and
  // `code` a check of them takes.
  bool open(const std::filesystem::path& dir, const std::string& date, const std::string& code, std::string& error);

  // The count the query's rule reports (for a key rule the records beyond
  // one per key: the table's total less the groups), or nothing with
  // `fault` naming `file` and the query's line. A table's total comes before
  // its rules, as in the rule file.
  std::optional<int> run(const std::filesystem::path& file, const rules::RuleFileQuery& query, std::string& fault);

 private:
  ScratchTables tables_;  // declared before the session, which has them open
  query::Session session_;
  std::string date_ = "20080808";
  std::string code_ = "100001";
  int total_ = 0;
};

// Every query of both rule files of the set in `folder` tried on empty
// tables of `layouts`; the first that does not run throws its fault.
void TryRuleQueries(const naming::InterfaceLayouts& layouts, const rules::RuleBook& rules,
                    const std::filesystem::path& folder);

}  // namespace fc::ruleset
