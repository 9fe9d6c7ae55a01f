// ruleset/SoundValues.h - the values of a rule set's fields that break none
// of its rules, as the set gives them beside its cases (cases/sound.csv):
// what a case's tables hold in a field its records leave out
// (ruleset/RuleCases.h), and what generated tables write in a field they
// have nothing particular to say about. One line per field,
//
//   kind,field,value
//   KHJBXX,ZJLB,10
//
// read against the set's own agreement: a kind or a field it lacks, a field
// given twice, or ZQGSDM or a kind's date field (a case gives those its code
// and date) is a fault naming the file and the line.
//
//   const fc::ruleset::SoundValues sound = fc::ruleset::SoundValues::load(folder, set.layouts);  // RuleSetError
//   std::string_view v = sound.of("KHJBXX", "ZJLB");  // "10"; "" when the set gives none
//
// The fields that tell records apart (ZJZH, YYBDM of YYBXX, FCTZXH) need no
// sound value: a case gives them, a generator numbers them.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <utility>

#include "naming/InterfaceLayouts.h"

namespace fc::ruleset {

// Where a set keeps them, inside its folder.
inline constexpr const char* kSoundValuesFile = "cases/sound.csv";

class SoundValues {
 public:
  // Reads kSoundValuesFile of the set's `folder`, checked against `layouts`, the set's agreement.
  static SoundValues load(const std::filesystem::path& folder, const naming::InterfaceLayouts& layouts);

  // The sound value of `field` in tables of `kind`, "" when the set gives none.
  std::string_view of(std::string_view kind, std::string_view field) const;

 private:
  std::map<std::pair<std::string, std::string>, std::string> values_;  // by kind and field
};

}  // namespace fc::ruleset
