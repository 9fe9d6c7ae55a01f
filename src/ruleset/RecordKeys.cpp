#include "ruleset/RecordKeys.h"

#include <algorithm>
#include <system_error>

#include "ruleset/Manifest.h"
#include "ruleset/SetFile.h"
#include "text/DataFile.h"

namespace fc::ruleset {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWhat = "记录键文件";

// Why `field` cannot name records of `kind`; empty when it can.
std::string Refusal(const naming::InterfaceLayouts& layouts, const std::string& kind, const std::string& field) {
  const naming::TableLayout* layout = layouts.find(kind);
  if (!layout) return "表 " + kind + " 不在本规则集的接口规范中";
  if (std::none_of(layout->fields.begin(), layout->fields.end(), [&](const naming::LayoutField& f) { return f.name == field; }))
    return "表 " + kind + " 没有字段 " + field;
  return "";
}

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
      if (const std::string refusal = Refusal(layouts, c[0], c[1]); !refusal.empty())
        throw RuleSetError(file.fault(record.number, refusal));
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
                                             const std::vector<std::string>& values) const {
  const std::vector<std::string>& keyFields = fieldsOf(kind);
  if (keyFields.empty()) return std::nullopt;
  std::string key;
  for (const std::string& field : keyFields) {
    const auto at = std::find(fields.begin(), fields.end(), field);
    if (at == fields.end() || static_cast<size_t>(at - fields.begin()) >= values.size()) return std::nullopt;
    if (!key.empty()) key += "/";
    key += values[at - fields.begin()];
  }
  return key;
}

}  // namespace fc::ruleset
