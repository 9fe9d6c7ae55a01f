// naming/SoundValues.h - one value for each field of the interface layouts
// that breaks no data rule: what generated tables write in a field they have
// nothing particular to say about.
//
//   std::string_view v = fc::naming::SoundValue("KHJBXX", "ZJLB");  // "10"
//
// The company code, the data date and the fields that tell records apart
// (ZJZH, YYBDM of YYBXX, FCTZXH) have no sound value of their own: a
// generator gives them the run's values or numbers them.
#pragma once

#include <string_view>

namespace fc::naming {

// The sound value of `field` in tables of `kind`, "" when it has none.
std::string_view SoundValue(std::string_view kind, std::string_view field);

}  // namespace fc::naming
