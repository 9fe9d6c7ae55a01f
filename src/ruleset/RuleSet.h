// ruleset/RuleSet.h - one rule set loaded whole: its manifest, the interface
// agreement (layouts.csv), the data rules of both submissions
// (account.rules, identity.rules) and the SHA-256 of its files.
//
//   fc::ruleset::RuleSet set = fc::ruleset::LoadRuleSet(manifest);  // RuleSetError
//   run(set.layouts, set.rules);
//   keep(set.manifest.id(), set.sha256);
//
// Loading is all or nothing: a fault of any file (a layout, a rule, a query
// that does not parse, or that names a table, a field or a function the
// set's own agreement does not have, tried on its empty tables) throws a
// RuleSetError naming the set, the file and the line, and nothing of the set
// is used. Only ordinary files are read (ruleset/SetFile.h). The digest covers every file of
// the folder, so two sets of one version with different contents tell apart.
// Each file is read once: the digest is taken over the very bytes parsed.
#pragma once

#include <filesystem>
#include <string>

#include "naming/InterfaceLayouts.h"
#include "rules/RuleBook.h"
#include "ruleset/Manifest.h"

namespace fc::ruleset {

struct RuleSet {
  Manifest manifest;
  std::string sha256;  // of its files, lower-case hex (RuleSetDigest)
  naming::InterfaceLayouts layouts;
  rules::RuleBook rules;
};

inline constexpr const char* kLayoutsFile = "layouts.csv";

RuleSet LoadRuleSet(const Manifest& manifest);

// The SHA-256 of every file under `folder`, taken in the order of their
// paths, each with its path and size, so that a renamed or moved file
// changes it too. A link anywhere in the set is refused (RuleSetError): a
// set is the files it holds, not what they point to.
std::string RuleSetDigest(const std::filesystem::path& folder);

}  // namespace fc::ruleset
