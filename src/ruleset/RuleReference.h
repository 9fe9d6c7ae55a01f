// ruleset/RuleReference.h - the reference of a rule set's rules, generated
// from the set itself: per submission and table, every rule with its code,
// when it runs, the end of its message, why it matters and what to do about
// a finding (Markdown, as docs/rule-sets/ keeps it for the shipped sets).
//
//   std::fputs(fc::ruleset::RuleSetReference(set).c_str(), stdout);
#pragma once

#include <string>

#include "ruleset/RuleSet.h"

namespace fc::ruleset {

std::string RuleSetReference(const RuleSet& set);

}  // namespace fc::ruleset
