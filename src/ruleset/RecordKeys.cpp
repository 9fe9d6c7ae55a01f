#include "ruleset/RecordKeys.h"

#include <algorithm>
#include <system_error>

#include "ruleset/AgreedFields.h"

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
  ForEachFieldLine(path, kWhat, "kind,field", layouts, [&](const FieldLine& line) {
    const std::vector<std::string>& c = line.columns;
    keys.personal_.mark(c[0], c[1], line.field->personal);
    std::vector<std::string>& fields = keys.fields_[c[0]];
    if (std::find(fields.begin(), fields.end(), c[1]) != fields.end())
      throw line.fault("表 " + c[0] + " 的字段 " + c[1] + " 重复");
    fields.push_back(c[1]);
  });
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
