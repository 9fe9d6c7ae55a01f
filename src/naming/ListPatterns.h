// naming/ListPatterns.h - the wildcard patterns with which the dialogs list
// candidate files, and the matcher that applies them.
//
// A pattern is one or more masks joined by ";"; "*" stands for any run of
// characters, the empty run included; a name is listed when it matches any
// mask, letter case ignored. The patterns write the extensions in lower case.
//
//   std::string p = AccountListPattern(code, FileType::Zip);
//   for (name : directory) if (MatchesListPattern(name, p)) list.add(name);
//
// `code` is the company code field's text as typed, `date` eight date digits.
#pragma once

#include <string>
#include <string_view>

#include "naming/Kinds.h"

namespace fc::naming {

// Chooser of the identity window's source directory. The comparison files
// stay listed by their ".zip" name in DBF mode too.
std::string IdentityChooserPattern(FileType type);
// Chooser of the settlement-fund window's source directory, when it opens.
std::string AccountChooserPattern(FileType type);
// Either chooser after the operator changes directory: "*.zip" or "*.dbf".
std::string PlainChooserPattern(FileType type);
// The identity window's submission and comparison file viewers.
std::string SubmissionViewerPattern(std::string_view code, FileType type);
std::string ComparisonViewerPattern(std::string_view code, FileType type);
// Precise selection, unfiltered: a leading "*" lets one mask take both the
// incremental and the "QL_" name of a six-letter kind.
std::string AccountListPattern(std::string_view code, FileType type);
// Precise selection, filtered to one data date, in the incremental or the
// full transfer mode ("QL_" for the six-letter kinds only).
std::string FilterPattern(std::string_view code, std::string_view date, bool fullTransfer, FileType type);

// True when `name` matches a mask of `pattern`.
bool MatchesListPattern(std::string_view name, std::string_view pattern);

}  // namespace fc::naming
