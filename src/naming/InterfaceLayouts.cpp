#include "naming/InterfaceLayouts.h"

#include <algorithm>
#include <charconv>
#include <fstream>
#include <stdexcept>

#include "platform/Utf8Paths.h"
#include "text/DataFile.h"
#include "text/Text.h"

namespace fc::naming {

namespace {

constexpr size_t kColumns = 7;  // kind,position,name,type,length,decimals,date
constexpr size_t kMeaningColumn = 7;  // the optional eighth column: meaning
constexpr size_t kPersonalColumn = 8;  // the optional ninth column: personal

// Reports a fault of one line as "接口规范文件 <file> 第<n>行：<what>".
class LineError {
 public:
  LineError(const text::DataFile& file, int line) : file_(file), line_(line) {}
  [[noreturn]] void operator()(const std::string& what) const { throw LayoutsError(file_.fault(line_, what)); }

 private:
  const text::DataFile& file_;
  int line_;
};

int Number(std::string_view text, int low, int high, const char* column, const LineError& fail) {
  int value = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (ec != std::errc() || end != text.data() + text.size() || value < low || value > high)
    fail(std::string(column) + "应为" + std::to_string(low) + "到" + std::to_string(high) + "之间的数，而不是“" +
         std::string(text) + "”");
  return value;
}

TableLayout& LayoutOf(std::vector<TableLayout>& layouts, const std::string& kind) {
  for (TableLayout& l : layouts)
    if (l.kind == kind) return l;
  layouts.push_back({kind, {}, std::nullopt});
  return layouts.back();
}

void AddField(std::vector<TableLayout>& layouts, const std::vector<std::string>& c, const LineError& fail) {
  if (c.size() < kColumns || c.size() > kPersonalColumn + 1)
    fail("应有" + std::to_string(kColumns) + "列（含字段含义为" + std::to_string(kMeaningColumn + 1) + "列，再含个人信息标记为" +
         std::to_string(kPersonalColumn + 1) + "列），实有" + std::to_string(c.size()) + "列");
  if (c[0].empty() || c[2].empty()) fail("表类型和字段名不能为空");
  TableLayout& layout = LayoutOf(layouts, text::ToUpper(c[0]));
  int position = Number(c[1], 1, 255, "序号", fail);
  if (position != static_cast<int>(layout.fields.size()) + 1)
    fail(layout.kind + "的序号" + std::to_string(position) + "不连续");
  LayoutField field{text::ToUpper(c[2]), 0, 0, 0, {}};
  if (c.size() > kMeaningColumn) field.meaning = c[kMeaningColumn];
  if (c.size() > kPersonalColumn) {
    std::optional<privacy::Personal> personal = privacy::PersonalNamed(c[kPersonalColumn]);
    if (!personal) fail("个人信息标记应为id、name或空，不能是“" + std::string(c[kPersonalColumn]) + "”");
    field.personal = *personal;
  }
  if (c[3] != "C" && c[3] != "N") fail("类型应为C或N");
  field.type = c[3][0];
  field.length = Number(c[4], 1, 255, "长度", fail);
  field.decimals = Number(c[5], 0, field.type == 'N' ? field.length : 0, "小数位数", fail);
  for (const LayoutField& f : layout.fields)
    if (f.name == field.name) fail("字段" + field.name + "重复");
  if (Number(c[6], 0, 1, "日期标志", fail) == 1) {
    if (layout.dateField) fail(layout.kind + "有第二个日期字段");
    layout.dateField = field.name;
  }
  layout.fields.push_back(std::move(field));
}

}  // namespace

InterfaceLayouts InterfaceLayouts::load(const std::filesystem::path& csv) {
  return parse(csv, text::ReadBytes(csv));
}

InterfaceLayouts InterfaceLayouts::parse(const std::filesystem::path& csv, std::optional<std::string_view> content) {
  try {
    const text::DataFile file(csv, "接口规范文件", content);
    InterfaceLayouts result;
    for (const text::CsvRecord& record : file.csvRecords()) {
      if (record.fields[0] == "kind") continue;  // the heading
      AddField(result.layouts_, record.fields, LineError(file, record.number));
    }
    if (result.layouts_.empty()) throw LayoutsError("接口规范文件 " + platform::Utf8Of(csv) + " 中没有表结构");
    return result;
  } catch (const text::DataFileError& e) {
    throw LayoutsError(e.what());
  }
}

const TableLayout* InterfaceLayouts::find(std::string_view kind) const {
  for (const TableLayout& l : layouts_)
    if (text::EqualsNoCase(l.kind, kind)) return &l;
  return nullptr;
}

privacy::PersonalFields InterfaceLayouts::personalFields() const {
  privacy::PersonalFields fields;
  for (const TableLayout& layout : layouts_)
    for (const LayoutField& f : layout.fields)
      if (f.personal != privacy::Personal::None) fields.mark(layout.kind, f.name, f.personal);
  return fields;
}

std::string InterfaceLayouts::meaningOf(std::string_view kind, std::string_view field) const {
  auto meaningIn = [field](const TableLayout& layout) -> const std::string* {
    for (const LayoutField& f : layout.fields)
      if (text::EqualsNoCase(f.name, field) && !f.meaning.empty()) return &f.meaning;
    return nullptr;
  };
  if (const TableLayout* own = find(kind))
    if (const std::string* meaning = meaningIn(*own)) return *meaning;
  for (const TableLayout& layout : layouts_)
    if (const std::string* meaning = meaningIn(layout)) return *meaning;
  return {};
}

std::string FieldHeading(const InterfaceLayouts* agreement, std::string_view kind, std::string_view field) {
  const std::string meaning = agreement ? agreement->meaningOf(kind, field) : std::string();
  return meaning.empty() ? std::string(field) : meaning + ' ' + std::string(field);
}

const TableLayout* InterfaceLayouts::forFileName(std::string_view fileName) const {
  std::string_view stem = fileName.substr(0, fileName.rfind('.'));
  for (size_t start = 0; start <= stem.size();) {
    size_t end = std::min(stem.find('_', start), stem.size());
    if (const TableLayout* l = find(stem.substr(start, end - start))) return l;
    start = end + 1;
  }
  return nullptr;
}

}  // namespace fc::naming
