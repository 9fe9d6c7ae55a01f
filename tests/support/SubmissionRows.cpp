#include "support/SubmissionRows.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "dbf/Writer.h"
#include "naming/InterfaceLayouts.h"
#include "naming/Kinds.h"
#include "ruleset/SoundValues.h"

namespace fc::test {

namespace {

struct Column {
  dbf::FieldSpec spec;
  std::optional<std::string> value;  // valid default; nothing for the kind's numbered field
};

// The field that tells the records of `kind` apart.
std::string NumberedField(const std::string& kind) {
  if (kind == "YYBXX") return "YYBDM";
  for (const naming::Kind& k : naming::kIdentityKinds)
    if (kind == k.name) return "FCTZXH";
  return "ZJZH";
}

std::vector<Column> ColumnsOf(const naming::TableLayout& layout, const ruleset::SoundValues& sound) {
  const std::string numbered = NumberedField(layout.kind);
  std::vector<Column> columns;
  for (const naming::LayoutField& f : layout.fields) {
    Column c{{f.name, f.type, static_cast<uint8_t>(f.length), static_cast<uint8_t>(f.decimals)}, {}};
    if (f.name == "ZQGSDM") c.value = kCode;
    else if (f.name == layout.dateField) c.value = kDate;
    else if (f.name != numbered) c.value = std::string(sound.of(layout.kind, f.name));
    columns.push_back(std::move(c));
  }
  return columns;
}

// The interface layouts as shipped, each field with the shipped set's value that breaks no rule.
const std::map<std::string, std::vector<Column>>& Layouts() {
  static const std::map<std::string, std::vector<Column>> layouts = [] {
    std::map<std::string, std::vector<Column>> columns;
    const std::filesystem::path set = std::filesystem::path(FC_SOURCE_DATA_DIR) / "rulesets" / "interface-1";
    const auto shipped = naming::InterfaceLayouts::load(set / "layouts.csv");
    const auto sound = ruleset::SoundValues::load(set, shipped);
    for (const naming::TableLayout& layout : shipped.all()) columns[layout.kind] = ColumnsOf(layout, sound);
    return columns;
  }();
  return layouts;
}

const std::vector<Column>& LayoutOf(const std::string& kind) {
  auto it = Layouts().find(kind);
  if (it == Layouts().end()) throw std::invalid_argument("no layout " + kind);
  return it->second;
}

// Numbered values: account "Z00001", branch "000001", notice number with
// the company code at 9..14 and a non-zero serial at 15..20.
std::string Numbered(const std::string& field, int n) {
  char text[32];
  if (field == "YYBDM") std::snprintf(text, sizeof text, "%06d", n);
  else if (field == "FCTZXH") std::snprintf(text, sizeof text, "20080808%s%06d", kCode, n);
  else std::snprintf(text, sizeof text, "Z%05d", n);
  return text;
}

}  // namespace

Rows Make(const std::string& kind, int n, const Row& fields) {
  static int counter = 0;
  std::string numbered;
  for (const Column& c : LayoutOf(kind))
    if (!c.value) numbered = c.spec.name;
  Rows rows;
  for (int i = 0; i < n; ++i) {
    Row row = fields;
    row.try_emplace(numbered, Numbered(numbered, ++counter));
    rows.push_back(row);
  }
  return rows;
}

std::vector<dbf::FieldSpec> FieldsOf(const std::string& kind) {
  std::vector<dbf::FieldSpec> fields;
  for (const Column& c : LayoutOf(kind)) fields.push_back(c.spec);
  return fields;
}

Rows Join(std::initializer_list<Rows> parts) {
  Rows rows;
  for (const Rows& part : parts) rows.insert(rows.end(), part.begin(), part.end());
  return rows;
}

Rows AccountsOf(const Rows& rows, const Row& fields) {
  Rows accounts;
  for (const Row& row : rows) {
    Row account = fields;
    for (const char* key : {"ZQGSDM", "YYBDM", "ZJZH"})
      if (row.count(key)) account.try_emplace(key, row.at(key));
    accounts.push_back(account);
  }
  return accounts;
}

void WriteRows(const std::filesystem::path& file, const std::string& kind, const Rows& rows,
               const TableOptions& options) {
  std::vector<const Column*> columns;
  std::vector<dbf::FieldSpec> specs;
  for (const Column& c : LayoutOf(kind)) {
    if (c.spec.name == options.omit) continue;
    columns.push_back(&c);
    specs.push_back(c.spec);
    for (const std::string& name : options.nullable)
      if (name == c.spec.name) specs.back().nullable = true;
  }
  dbf::Format format = options.nullable.empty() ? dbf::Format::DBase3 : dbf::Format::VisualFoxPro;
  dbf::Writer writer(file, format, specs);
  for (size_t i = 0; i < rows.size(); ++i) {
    const Row& row = rows[i];
    for (const auto& [name, value] : row) {
      bool known = false;
      for (const Column* c : columns) known = known || c->spec.name == name;
      if (!known && name != options.omit) throw std::invalid_argument(kind + " has no " + name);
    }
    std::vector<dbf::Value> values;
    for (const Column* c : columns) {
      auto it = row.find(c->spec.name);
      values.push_back(it != row.end() ? it->second : dbf::Value(c->value.value_or("")));
    }
    writer.add(values, std::find(options.deleted.begin(), options.deleted.end(), i) != options.deleted.end());
  }
  writer.finish();
}

}  // namespace fc::test
