#include "ruleset/QueryTrial.h"

#include <exception>
#include <stdexcept>

#include "rules/RuleText.h"
#include "text/DataFile.h"

namespace fc::ruleset {

namespace fs = std::filesystem;

bool QueryTrial::openEmpty(const naming::InterfaceLayouts& layouts, std::string& error) {
  try {
    for (const naming::TableLayout& layout : layouts.all()) tables_.add(layout, {}, "", "");
  } catch (const std::exception& e) {
    error = e.what();
    return false;
  }
  return tables_.open(session_, error);
}

bool QueryTrial::open(const fs::path& dir, const std::string& date, const std::string& code, std::string& error) {
  date_ = date;
  code_ = code;
  return session_.open(dir, error);
}

std::optional<int> QueryTrial::run(const fs::path& file, const rules::RuleFileQuery& q, std::string& fault) {
  try {
    const std::string sql = rules::SpliceQuery(q.pattern, date_, code_);
    const int n = q.countsRows ? total_ - session_.rows(sql) : session_.count(sql);
    if (q.isTotal) total_ = n;
    return n;
  } catch (const std::exception& e) {
    fault = text::DataFile::Fault("规则文件", file, q.line, std::string("查询无法运行：") + e.what());
    return std::nullopt;
  }
}

void TryRuleQueries(const naming::InterfaceLayouts& layouts, const rules::RuleBook& rules, const fs::path& folder) {
  QueryTrial trial;
  std::string error;
  if (!trial.openEmpty(layouts, error)) throw std::runtime_error(error);
  for (const auto& [submission, name] : {std::pair(naming::Submission::Account, rules::kAccountRulesFile),
                                         std::pair(naming::Submission::Identity, rules::kIdentityRulesFile)})
    for (const rules::RuleFileQuery& q : rules.queriesOf(submission))
      if (!trial.run(folder / name, q, error)) throw std::runtime_error(error);
}

}  // namespace fc::ruleset
