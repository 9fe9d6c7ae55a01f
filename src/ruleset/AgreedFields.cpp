#include "ruleset/AgreedFields.h"

#include <algorithm>

#include "ruleset/SetFile.h"
#include "text/DataFile.h"

namespace fc::ruleset {

namespace {

// The agreement's `field` of `kind`; null, with `fault` saying why, when it has none.
const naming::LayoutField* AgreedField(const naming::InterfaceLayouts& layouts, const std::string& kind,
                                       const std::string& field, std::string& fault) {
  const naming::TableLayout* layout = layouts.find(kind);
  if (!layout) {
    fault = "表 " + kind + " 不在本规则集的接口规范中";
    return nullptr;
  }
  const auto found = std::find_if(layout->fields.begin(), layout->fields.end(),
                                  [&](const naming::LayoutField& f) { return f.name == field; });
  if (found != layout->fields.end()) return &*found;
  fault = "表 " + kind + " 没有字段 " + field;
  return nullptr;
}

}  // namespace

void ForEachFieldLine(const std::filesystem::path& path, const char* what, const std::string& heading,
                      const naming::InterfaceLayouts& layouts, const std::function<void(const FieldLine&)>& line) {
  const size_t columns = static_cast<size_t>(std::count(heading.begin(), heading.end(), ',')) + 1;
  const std::string first = heading.substr(0, heading.find(','));
  try {
    const text::DataFile file(path, what, ReadSetFile(path));
    for (const text::CsvRecord& record : file.csvRecords()) {
      const std::vector<std::string>& c = record.fields;
      if (c[0] == first) continue;  // the heading
      auto fault = [&](const std::string& why) { return RuleSetError(file.fault(record.number, why)); };
      if (c.size() != columns) throw fault("应有" + std::to_string(columns) + "列：" + heading);
      std::string why;
      const naming::LayoutField* field = AgreedField(layouts, c[0], c[1], why);
      if (!field) throw fault(why);
      line({c, field, fault});
    }
  } catch (const text::DataFileError& e) {
    throw RuleSetError(e.what());
  }
}

}  // namespace fc::ruleset
