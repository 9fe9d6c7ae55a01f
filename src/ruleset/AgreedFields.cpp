#include "ruleset/AgreedFields.h"

#include <algorithm>

namespace fc::ruleset {

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

}  // namespace fc::ruleset
