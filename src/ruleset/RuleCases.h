// ruleset/RuleCases.h - the rules of a set tested as data: the set's cases,
// small tables written as text with the findings each case expects, run
// through the same rule operations as a check.
//
//   fc::ruleset::CasesOutcome outcome = fc::ruleset::RunRuleCases(set);  // RuleSetError on a faulty case file
//   for (const fc::ruleset::CaseResult& c : outcome.cases) print(c);
//   return outcome.passed() ? 0 : 1;
//
// A set's cases are the files cases/*.cases of its folder. A case file
// starts with its submission, company code and data date, may give a
// table's default record, then holds its cases; one item a line, a table's
// records as CSV under a heading row of field names:
//
//   submission account
//   code 100001
//   date 2008-08-08
//
//   case R02 资金账户类别为5的记录
//   table KHJBXX
//   ZJZH,ZJZHLB
//   1,5
//   expect R02 1
//
//   case R02 资金账户类别为9的记录不算
//   transfer incremental
//   table KHJBXX
//   ZJZH,ZJZHLB
//   1,9
//   expect none
//
// A field a record leaves out takes the table's default record (`default
// KIND` before the first case, a heading row and one row), else the value
// that breaks no rule, as the set gives it in cases/sound.csv (a set with
// cases needs one: ruleset/SoundValues.h), else ZQGSDM the code and the
// date field the date, else blank. A case runs the rules of each of its
// tables as a check would with those tables passed and no others chosen
// (rules/RuleInputs.h: a branch rule when its YYBXX is among them, a
// customer rule in full transfer, the default, when its KHJBXX is, an
// identity rule that looks up SFZHCQK when that is) and passes when its
// findings, code and count (the records a key rule finds beyond one per
// key), are exactly those it expects, in any order.
//
// Every rule code of the set should have a case about it that fires it and
// one that stays silent; a code without either is reported as uncovered.
#pragma once

#include <string>
#include <vector>

#include "naming/Submission.h"
#include "ruleset/RuleSet.h"

namespace fc::ruleset {

struct CaseFinding {
  std::string code;
  int count = 0;
  auto operator<=>(const CaseFinding&) const = default;
};

struct CaseResult {
  naming::Submission submission = naming::Submission::Account;
  std::string file;    // the case file's name ("account.cases")
  int line = 0;        // of its "case" item
  std::string rule;    // the rule code the case is about
  std::string title;   // what it tries
  std::vector<CaseFinding> expected;  // sorted
  std::vector<CaseFinding> found;     // sorted
  std::string error;   // why its rules could not run; empty when they ran
  bool passed() const { return error.empty() && expected == found; }
};

struct CasesOutcome {
  std::vector<CaseResult> cases;       // in file order, the files by name
  std::vector<std::string> uncovered;  // "R12 没有触发它的用例", per code and what is missing
  bool passed() const;
};

// Runs every case of `set`. RuleSetError, naming the file and the line,
// when a case file cannot be read or holds a fault.
CasesOutcome RunRuleCases(const RuleSet& set);

// "通过　R02 资金账户类别为5的记录（account.cases 第12行）", and for a case that
// differs what it expected and what it found.
std::string CaseLine(const CaseResult& result);

}  // namespace fc::ruleset
