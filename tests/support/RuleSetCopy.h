// support/RuleSetCopy.h - rule sets made as an analyst makes them: a copy of
// the shipped set under a new version and date, with a text changed.
//
//   const auto set = fc::test::CopyShippedSet(home / "rulesets" / "interface-2", "2", "2009-01-01");
//   fc::test::ReplaceIn(set / "account.rules", "tail 条记录资金账户类别不为0-3,9", "tail 条记录资金账户类别不在0-3、9之内");
#pragma once

#include <filesystem>
#include <string>

namespace fc::test {

// The shipped set of the source tree.
std::filesystem::path ShippedSet();

// Copies the shipped set to `folder` (made with its parents) with the
// manifest's version and date ("earliest" or YYYY-MM-DD) replaced; returns `folder`.
std::filesystem::path CopyShippedSet(const std::filesystem::path& folder, const std::string& version,
                                     const std::string& from);

// Replaces the first `from` of `file` by `to`; std::logic_error when `file` has no `from`.
void ReplaceIn(const std::filesystem::path& file, const std::string& from, const std::string& to);

}  // namespace fc::test
