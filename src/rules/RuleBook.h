// rules/RuleBook.h - the numbered data rules of both submissions, read from
// the data files account.rules and identity.rules of a rule set's folder
// (ruleset/RuleSet.h), so that a new version of the rules is a data change.
//
//   fc::rules::RuleBook book = fc::rules::RuleBook::load(set.folder);  // RuleFileError
//   const fc::rules::AccountTable* khjbxx = book.accountRulesOf(fc::naming::AccountKind::Khjbxx);
//
// Loading checks everything a run would otherwise find out late: every
// keyword and value, the table kinds and their order, and every query, which
// is parsed (with a sample date and code spliced in) and may hold no
// placeholder but "{date}" and "{code}". A fault is reported
// once, as a RuleFileError naming the file and the line.
#pragma once

#include <deque>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "naming/Kinds.h"
#include "rules/RuleTables.h"

namespace fc::rules {

// The rule files of a folder, one per submission.
inline constexpr const char* kAccountRulesFile = "account.rules";
inline constexpr const char* kIdentityRulesFile = "identity.rules";

// A rule file that cannot be read or holds a fault; the text is for the
// operator: "规则文件 PATH 第N行：WHAT".
class RuleFileError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One query of a rule file, as it stands there.
struct RuleFileQuery {
  int line = 0;          // the line of its "query" or "total" item
  std::string rule;      // the rule's code, or "total KIND"
  std::string pattern;   // the query with its "{date}" and "{code}"
  bool countsRows = false;  // a key rule: the number of rows counts, not the first value
  bool isTotal = false;     // the table's total, which comes before its rules
};

// What the rule behind a finding says about it, in the set's Chinese: why
// it matters and what to do; empty texts when the set gives none.
struct RuleAdvice {
  std::string explain;
  std::string remedy;
  bool empty() const { return explain.empty() && remedy.empty(); }
};

// What CheckRuleFile finds.
struct RuleFileCheck {
  std::vector<std::string> faults;     // each "规则文件 PATH 第N行：WHAT", in file order
  std::vector<RuleFileQuery> queries;  // every query the file holds, in file order
};

// Checks one rule file (account or identity, told by its first table) as
// load() would, but reports every fault of its items and queries instead of
// the first; a fault of the file's layout (an item out of place) ends the
// check there.
RuleFileCheck CheckRuleFile(const std::filesystem::path& path);

class RuleBook {
 public:
  // Reads kAccountRulesFile and kIdentityRulesFile of `dir`.
  static RuleBook load(const std::filesystem::path& dir);
  // The same from the two files' bytes, read already (nothing: unreadable).
  static RuleBook parse(const std::filesystem::path& dir, std::optional<std::string_view> accountRules,
                        std::optional<std::string_view> identityRules);

  RuleBook(RuleBook&&) = default;
  RuleBook& operator=(RuleBook&&) = default;
  RuleBook(const RuleBook&) = delete;  // the tables point into texts_
  RuleBook& operator=(const RuleBook&) = delete;

  // The rules of the account table `kind`; null for an index past the kinds.
  const AccountTable* accountRulesOf(naming::AccountKind kind) const;
  // The rules of the identity submission table SFZFCJG.
  const IdentityTable& identity() const { return identity_; }
  // What the rule behind a finding of `submission` (its errid and message)
  // says about it. Of two rules under one code, the one whose message tail
  // ends the message; empty for a code no rule has (a structure problem).
  RuleAdvice adviceFor(naming::Submission submission, std::string_view code, std::string_view message) const;
  // Every query of the submission's rule file with its line, in file order,
  // to be tried on tables before the rules judge anything.
  const std::vector<RuleFileQuery>& queriesOf(naming::Submission submission) const;

 private:
  RuleBook() = default;
  friend class RuleBookReader;

  std::deque<std::string> texts_;                   // every text the tables point to
  std::deque<std::vector<AccountRule>> accountRules_;  // per account table
  std::vector<AccountTable> account_;               // in kind order
  std::vector<IdentityRule> identityRules_;
  IdentityTable identity_{};
  std::vector<RuleFileQuery> accountQueries_;
  std::vector<RuleFileQuery> identityQueries_;
};

}  // namespace fc::rules
