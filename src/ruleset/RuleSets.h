// ruleset/RuleSets.h - the rule sets side by side: those shipped with the
// program (DATA/rulesets/*) and the company's own (HOME/rulesets/*), one
// folder each, and which of them a check uses.
//
//   fc::ruleset::RuleSets sets = fc::ruleset::RuleSets::find(home);        // RuleSetError
//   const fc::ruleset::Manifest& m = sets.choose("20090105", "");          // by the data date
//   const fc::ruleset::Manifest& n = sets.choose("20090105", "interface@1");  // named
//   fc::ruleset::RuleSet set = fc::ruleset::LoadRuleSetFor(home, "20090105", "");
//
// A check of a data date uses the set whose date is the latest not after it;
// of two sets of that date the company's own goes before the shipped one,
// and two of one place are refused as ambiguous. Only manifests are read to
// choose; the chosen set is then loaded whole (ruleset/RuleSet.h). A folder
// without a sound manifest, a link in place of a set, or two sets of one
// NAME@VERSION (or of names differing only in case) refuse every choice:
// which set applies could not be told.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "ruleset/Manifest.h"
#include "ruleset/RuleSet.h"
#include "settings/AppHome.h"
#include "store/RunFacts.h"

namespace fc::ruleset {

// The folder of the rule sets in a data folder or an application home.
std::filesystem::path RuleSetsDir(const std::filesystem::path& dataOrHome);

class RuleSets {
 public:
  // The sets of the home's data folder and of the home itself.
  static RuleSets find(const settings::AppHome& home);
  // The sets of `shipped` (a data folder) and, when not empty, of `own` (a home).
  static RuleSets find(const std::filesystem::path& shipped, const std::filesystem::path& own);

  // Every set, by date, the shipped before the own of one date, then by NAME@VERSION.
  const std::vector<Manifest>& all() const { return sets_; }
  // The set NAME@VERSION, or null.
  const Manifest* named(const std::string& id) const;
  // The set a check of `dataDate` (YYYYMMDD) uses: the one `id` names when
  // not empty, else the latest applying on that date. RuleSetError when none.
  const Manifest& choose(const std::string& dataDate, const std::string& id) const;

 private:
  std::vector<Manifest> sets_;
};

// The set a check of `dataDate` uses (`id` names one, or empty), loaded whole.
RuleSet LoadRuleSetFor(const settings::AppHome& home, const std::string& dataDate, const std::string& id);

// The set a past run was judged by, for the views of its results (the
// fields' meanings, what to do about a finding): the set its facts name
// while its files are still those that judged it (the same SHA-256), or for
// a run kept before rule sets the one applying on its data date; nothing
// when that set is gone, changed or does not load, and the view stands without it.
std::optional<RuleSet> RunRuleSet(const settings::AppHome& home, const store::RunFacts& run);
// The same for the latest run in the home's store; nothing without one.
std::optional<RuleSet> LatestRunRuleSet(const settings::AppHome& home);

}  // namespace fc::ruleset
