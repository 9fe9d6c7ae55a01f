// rules/RuleTables.h - the numbered data rules of both submissions as data:
// per rule its code, when it runs, how its count becomes a message, its query
// pattern (SpliceQuery's "{date}" and "{code}") and its message tail.
//
// A RuleBook (rules/RuleBook.h) reads them from a rule set's folder and owns every
// text they point to; the rule operations of Rules.h walk them in order, and
// tests read them to check every query text the operations can run.
#pragma once

#include <span>

namespace fc::rules {

// When a rule runs: always, or only when the group's table it cross-checks
// is there to check against (rules/RuleInputs.h decides which).
enum class RunsWhen {
  Always,
  BranchTable,      // account: the group's YYBXX
  CustomerTable,    // account: the group's KHJBXX, in full transfer
  ComparisonTable,  // identity: the comparison table SFZHCQK
};

// How an account rule's result becomes a finding.
enum class Form {
  Count,    // Session::count n, written when n != 0, message with the tail
  Key,      // Session::rows groups g, written when g != total with n = max(total - g, 0)
  Date,     // count rule with the date message form
  Company,  // count rule with the company message form
};

struct AccountRule {
  const char* code;             // errid, "R01" ... "R34"
  RunsWhen runs;                // run condition
  Form form;                    // kind of count and message form
  const char* query;            // query pattern
  const char* tail = "";        // message tail (Count and Key forms)
  const char* label = nullptr;  // own message label, null for the table's
  const char* explain = nullptr;  // why the rule matters, for the operator; null when the set gives none
  const char* remedy = nullptr;   // what to do about a finding; null when the set gives none
};

struct AccountTable {
  const char* label;                   // first piece of every message
  const char* totalQuery;              // records of the data date
  std::span<const AccountRule> rules;  // in the order they run
};

struct IdentityRule {
  const char* code;        // errid, "R01" ... "R14"
  RunsWhen runs;           // Always or ComparisonTable
  bool companyForm;        // R01's own message form instead of the tail form
  const char* query;       // query pattern ("{code}" only)
  const char* tail;        // message tail of the tail form
  const char* explain = nullptr;  // why the rule matters, for the operator; null when the set gives none
  const char* remedy = nullptr;   // what to do about a finding; null when the set gives none
};

struct IdentityTable {
  const char* label;                    // the submission table's name, first piece of every message
  const char* totalQuery;               // its records; quoted by R01's message
  std::span<const IdentityRule> rules;  // the rules of SFZFCJG, in the order they run
};

}  // namespace fc::rules
