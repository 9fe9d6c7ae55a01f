#include "ruleset/RecordKeys.h"

#include <algorithm>
#include <system_error>

#include "ruleset/AgreedFields.h"
#include "ruleset/Manifest.h"
#include "ruleset/SetFile.h"
#include "text/DataFile.h"

namespace fc::ruleset {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWhat = "记录键文件";

}  // namespace

RecordKeys RecordKeys::load(const fs::path& folder, const naming::InterfaceLayouts& layouts) {
  const fs::path path = folder / kRecordKeysFile;
  RecordKeys keys;
  std::error_code ec;
  if (!fs::exists(fs::symlink_status(path, ec))) return keys;
  try {
    const text::DataFile file(path, kWhat, ReadSetFile(path));
    for (const text::CsvRecord& record : file.csvRecords()) {
      const std::vector<std::string>& c = record.fields;
      if (c[0] == "kind") continue;  // the heading
      if (c.size() != 2) throw RuleSetError(file.fault(record.number, "应有2列：kind,field"));
      std::string fault;
      const naming::LayoutField* field = AgreedField(layouts, c[0], c[1], fault);
      if (!field) throw RuleSetError(file.fault(record.number, fault));
      keys.personal_.mark(c[0], c[1], field->personal);
      std::vector<std::string>& fields = keys.fields_[c[0]];
      if (std::find(fields.begin(), fields.end(), c[1]) != fields.end())
        throw RuleSetError(file.fault(record.number, "表 " + c[0] + " 的字段 " + c[1] + " 重复"));
      fields.push_back(c[1]);
    }
  } catch (const text::DataFileError& e) {
    throw RuleSetError(e.what());
  }
  return keys;
}

const std::vector<std::string>& RecordKeys::fieldsOf(std::string_view kind) const {
  static const std::vector<std::string> kNone;
  const auto found = fields_.find(kind);
  return found == fields_.end() ? kNone : found->second;
}

std::optional<std::string> RecordKeys::keyOf(std::string_view kind, const std::vector<std::string>& fields,
                                             const std::vector<std::string>& values,
                                             privacy::Masking masking) const {
  const std::vector<std::string>& keyFields = fieldsOf(kind);
  if (keyFields.empty()) return std::nullopt;
  std::string key;
  for (const std::string& field : keyFields) {
    const auto at = std::find(fields.begin(), fields.end(), field);
    if (at == fields.end() || static_cast<size_t>(at - fields.begin()) >= values.size()) return std::nullopt;
    if (!key.empty()) key += "/";
    key += privacy::MaskValue(values[at - fields.begin()], personal_.of(kind, field), masking);
  }
  return key;
}

}  // namespace fc::ruleset
