// accept/RuleTerms.h - what acceptances are weighed against in one rule set:
// the rules of a submission, each with the SHA-256 of its own text, and the
// fields that name each table kind's records (ruleset/RecordKeys.h).
//
//   const fc::accept::RuleTerms terms = fc::accept::TermsOf(set, Submission::Account);  // RuleSetError
//   if (!terms.digestOf("R06")) refuse();  // not a rule of the account submission
//
// A rule's text is its lines in the submission's rule file, from its "rule"
// line to the next rule or table, comments left out: a later set that
// rewords, requeries or retells the rule gives another digest, and an
// acceptance made under the old one lapses.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "naming/Submission.h"
#include "ruleset/RecordKeys.h"
#include "ruleset/RuleSet.h"

namespace fc::accept {

struct RuleTerms {
  std::map<std::string, std::string, std::less<>> digests;  // by rule code
  ruleset::RecordKeys keys;

  // The digest of the rule `code`; nothing when the submission has no such rule.
  std::optional<std::string> digestOf(std::string_view code) const;
};

RuleTerms TermsOf(const ruleset::RuleSet& set, naming::Submission submission);

}  // namespace fc::accept
