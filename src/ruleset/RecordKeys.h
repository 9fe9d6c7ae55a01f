// ruleset/RecordKeys.h - the fields that name a record of each table kind,
// as a rule set gives them (keys.csv): what an acceptance of a finding names
// the records it covers by, and what `records` shows as each record's key.
// One line per field, in the order the key joins them,
//
//   kind,field
//   KHJBXX,ZJZH
//
// read against the set's own agreement: a kind or a field it lacks, or a
// field given twice, is a fault naming the file and the line. A set without
// the file names no keys: its records have none, and no acceptance can name
// them.
//
//   const fc::ruleset::RecordKeys keys = fc::ruleset::RecordKeys::load(folder, set.layouts);  // RuleSetError
//   std::optional<std::string> key = keys.keyOf("KHJBXX", record.fields, record.values);  // "100000000002"
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "naming/InterfaceLayouts.h"
#include "privacy/Masking.h"

namespace fc::ruleset {

// Where a set keeps them, inside its folder.
inline constexpr const char* kRecordKeysFile = "keys.csv";

class RecordKeys {
 public:
  // Reads kRecordKeysFile of the set's `folder`, checked against `layouts`, the set's agreement.
  static RecordKeys load(const std::filesystem::path& folder, const naming::InterfaceLayouts& layouts);

  // The key fields of `kind`, in order; empty when the set names none.
  const std::vector<std::string>& fieldsOf(std::string_view kind) const;
  // The key of a record of `kind` whose `values` stand under `fields`: its
  // key fields' values joined by "/", a personal one masked as `masking`
  // says (values read masked already stay as they are); nothing when the
  // kind has no key or the record lacks one of its fields.
  std::optional<std::string> keyOf(std::string_view kind, const std::vector<std::string>& fields,
                                   const std::vector<std::string>& values,
                                   privacy::Masking masking = privacy::Masking::Off) const;

 private:
  std::map<std::string, std::vector<std::string>, std::less<>> fields_;  // by kind
  privacy::PersonalFields personal_;  // the agreement's marks of the key fields
};

}  // namespace fc::ruleset
