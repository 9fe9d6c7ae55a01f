// ruleset/AgreedFields.h - the field of the set's own agreement that a line
// of one of its data files (cases/sound.csv, keys.csv) names, or the fault
// of that line.
//
//   std::string fault;
//   const naming::LayoutField* f = fc::ruleset::AgreedField(layouts, "KHJBXX", "ZJZH", fault);
//   if (!f) throw RuleSetError(file.fault(line, fault));
#pragma once

#include <string>

#include "naming/InterfaceLayouts.h"

namespace fc::ruleset {

// Null, with `fault` saying why ("表 X 不在本规则集的接口规范中", "表 X 没有字段 Y"),
// when the agreement has no such kind or field.
const naming::LayoutField* AgreedField(const naming::InterfaceLayouts& layouts, const std::string& kind,
                                       const std::string& field, std::string& fault);

}  // namespace fc::ruleset
