// ruleset/AgreedFields.h - the lines of a set's data files that name fields
// of the set's own agreement (cases/sound.csv, keys.csv): each line's
// columns, its first two a table kind and one of its fields, or the fault of
// the line, naming the file and the line.
//
//   ForEachFieldLine(folder / "keys.csv", "记录键文件", "kind,field", layouts,
//                    [&](const FieldLine& line) {
//                      if (twice(line.columns)) throw line.fault("…重复");
//                      use(line.columns[0], *line.field);
//                    });
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "naming/InterfaceLayouts.h"
#include "ruleset/Manifest.h"

namespace fc::ruleset {

struct FieldLine {
  const std::vector<std::string>& columns;    // as many as the heading names
  const naming::LayoutField* field;           // the agreement's field the line names
  std::function<RuleSetError(const std::string&)> fault;  // the line's fault, to throw
};

// Reads the set file at `path` (`what` names it in faults) and hands `line`
// every line but the heading (the line that starts with its first column),
// once it has the heading's columns and names a kind and field the
// agreement has. RuleSetError for the file, a line, or what `line` throws.
void ForEachFieldLine(const std::filesystem::path& path, const char* what, const std::string& heading,
                      const naming::InterfaceLayouts& layouts, const std::function<void(const FieldLine&)>& line);

}  // namespace fc::ruleset
