#include "ruleset/SoundValues.h"

#include "ruleset/AgreedFields.h"

namespace fc::ruleset {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWhat = "用例取值文件";

// Why `kind`'s agreed `field` cannot take a value here; empty when it can.
std::string Refusal(const naming::InterfaceLayouts& layouts, const std::string& kind, const std::string& field) {
  const naming::TableLayout* layout = layouts.find(kind);
  if (field == "ZQGSDM") return "字段 ZQGSDM 取用例的证券公司代码，不在此给出";
  if (layout->dateField == field) return "字段 " + field + " 取用例的数据日期，不在此给出";
  return "";
}

}  // namespace

SoundValues SoundValues::load(const fs::path& folder, const naming::InterfaceLayouts& layouts) {
  const fs::path path = folder / kSoundValuesFile;
  SoundValues sound;
  ForEachFieldLine(path, kWhat, "kind,field,value", layouts, [&](const FieldLine& line) {
    const std::vector<std::string>& c = line.columns;
    if (const std::string refusal = Refusal(layouts, c[0], c[1]); !refusal.empty()) throw line.fault(refusal);
    if (!sound.values_.emplace(std::pair(c[0], c[1]), c[2]).second)
      throw line.fault("表 " + c[0] + " 的字段 " + c[1] + " 重复");
  });
  return sound;
}

std::string_view SoundValues::of(std::string_view kind, std::string_view field) const {
  const auto found = values_.find({std::string(kind), std::string(field)});
  return found == values_.end() ? std::string_view() : std::string_view(found->second);
}

}  // namespace fc::ruleset
