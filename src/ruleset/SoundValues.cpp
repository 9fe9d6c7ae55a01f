#include "ruleset/SoundValues.h"

#include "ruleset/AgreedFields.h"
#include "ruleset/Manifest.h"
#include "ruleset/SetFile.h"
#include "text/DataFile.h"

namespace fc::ruleset {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWhat = "用例取值文件";

// Why `kind`'s `field` cannot take a value here; empty when it can.
std::string Refusal(const naming::InterfaceLayouts& layouts, const std::string& kind, const std::string& field) {
  std::string fault;
  if (!AgreedField(layouts, kind, field, fault)) return fault;
  const naming::TableLayout* layout = layouts.find(kind);
  if (field == "ZQGSDM") return "字段 ZQGSDM 取用例的证券公司代码，不在此给出";
  if (layout->dateField == field) return "字段 " + field + " 取用例的数据日期，不在此给出";
  return "";
}

}  // namespace

SoundValues SoundValues::load(const fs::path& folder, const naming::InterfaceLayouts& layouts) {
  const fs::path path = folder / kSoundValuesFile;
  SoundValues sound;
  try {
    const text::DataFile file(path, kWhat, ReadSetFile(path));
    for (const text::CsvRecord& record : file.csvRecords()) {
      const std::vector<std::string>& c = record.fields;
      if (c[0] == "kind") continue;  // the heading
      if (c.size() != 3) throw RuleSetError(file.fault(record.number, "应有3列：kind,field,value"));
      if (const std::string refusal = Refusal(layouts, c[0], c[1]); !refusal.empty())
        throw RuleSetError(file.fault(record.number, refusal));
      if (!sound.values_.emplace(std::pair(c[0], c[1]), c[2]).second)
        throw RuleSetError(file.fault(record.number, "表 " + c[0] + " 的字段 " + c[1] + " 重复"));
    }
  } catch (const text::DataFileError& e) {
    throw RuleSetError(e.what());
  }
  return sound;
}

std::string_view SoundValues::of(std::string_view kind, std::string_view field) const {
  const auto found = values_.find({std::string(kind), std::string(field)});
  return found == values_.end() ? std::string_view() : std::string_view(found->second);
}

}  // namespace fc::ruleset
