// support/SubmissionRows.h - submission tables as rows that name only the
// fields that matter: every other field takes its value that breaks no data
// rule, as the shipped rule set gives it (ruleset/SoundValues.h). The tables
// follow the shipped interface layouts, the shipped rule set's layouts.csv.
// For tests that need a rule to find a known count, or a submission that
// passes its structure and date checks.
//
//   Rows good = Make("KHJBXX", 10);                        // ten distinct accounts
//   Rows bad = Make("KHJBXX", 2, {{"ZJLB", "20"}});
//   WriteRows(dir / "KHJBXX.DBF", "KHJBXX", Join({good, bad, Rows{good[0]}}));
//   WriteRows(dir / "ZJZQDY.DBF", "ZJZQDY", AccountsOf(good));
//
// Defaults carry the company 100001 and, where the kind has a date field,
// the data date 20080808.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "dbf/Writer.h"

namespace fc::test {

inline constexpr const char* kDate = "20080808";  // data date of the defaults
inline constexpr const char* kOtherDate = "20080807";
inline constexpr const char* kCode = "100001";  // company code of the defaults
inline constexpr const char* kOtherCode = "100002";

// Field name (upper case) -> value; std::nullopt is NULL in a nullable field.
using Row = std::map<std::string, std::optional<std::string>>;
using Rows = std::vector<Row>;

// `n` copies of `fields`, each with a fresh value in the kind's numbered
// field (ZJZH, or YYBDM for YYBXX, or FCTZXH for the identity tables), so
// that the rows have distinct keys and unique notice numbers.
Rows Make(const std::string& kind, int n, const Row& fields = {});
Rows Join(std::initializer_list<Rows> parts);
// Rows of another table for the same accounts (ZQGSDM, YYBDM, ZJZH) as `rows`.
Rows AccountsOf(const Rows& rows, const Row& fields = {});

// The fields of `kind` in layout order.
std::vector<dbf::FieldSpec> FieldsOf(const std::string& kind);

struct TableOptions {
  std::vector<std::string> nullable = {};  // fields written as nullable (Visual FoxPro table)
  std::string omit = {};                  // a layout field left out of the table
  std::vector<size_t> deleted = {};        // rows (from 0) written as deleted records
};

// Writes `file` as a table of `kind` (dBase III, or Visual FoxPro when some
// field is nullable). Throws std::invalid_argument for an unknown kind or a
// row naming a field the layout lacks.
void WriteRows(const std::filesystem::path& file, const std::string& kind, const Rows& rows,
               const TableOptions& options = {});

}  // namespace fc::test
