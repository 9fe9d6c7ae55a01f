#include "support/SubmissionRows.h"

#include <algorithm>
#include <cstdio>
#include <stdexcept>

#include "dbf/Writer.h"

namespace fc::test {

namespace {

struct Column {
  dbf::FieldSpec spec;
  const char* value;  // valid default; null for the kind's numbered field
};

dbf::FieldSpec C(const char* name, uint8_t length) { return {name, 'C', length}; }
dbf::FieldSpec N(const char* name) { return {name, 'N', 18, 2}; }

// The interface layouts, each field with a value that breaks no rule.
const std::map<std::string, std::vector<Column>>& Layouts() {
  static const std::map<std::string, std::vector<Column>> layouts = {
      {"KHJBXX",
       {{C("ZQGSDM", 6), kCode}, {C("YYBDM", 6), "000001"}, {C("ZJZH", 20), nullptr},
        {C("XHRQ", 8), "20080101"}, {C("KHQC", 120), "张三"}, {C("ZJLB", 2), "10"},
        {C("ZJHM", 40), "110101197001010011"}, {C("ZJZHLB", 1), "0"},
        {C("KHRQ", 8), "20010101"}, {C("SJRQ", 8), kDate}}},
      {"ZJZQDY",
       {{C("ZQGSDM", 6), kCode}, {C("YYBDM", 6), "000001"}, {C("ZJZH", 20), nullptr},
        {C("GDDMSC", 2), "01"}, {C("GDDM", 20), "A123456789"}, {C("QXBZ", 1), "1"},
        {C("SJRQ", 8), kDate}}},
      {"ZJBDXX",
       {{C("ZQGSDM", 6), kCode}, {C("YYBDM", 6), "000001"}, {C("ZJZH", 20), nullptr},
        {C("BZDM", 2), "CN"}, {N("ZRYE"), "100.10"}, {N("XJCQJE"), "0.20"},
        {N("ZQJYMCJE"), "0.00"}, {N("ZQJYMRJE"), "0.00"}, {N("FJZJYJE"), "0.00"},
        {N("JRYE"), "100.30"}, {C("SJRQ", 8), kDate}}},
      {"YYBXX",
       {{C("ZQGSDM", 6), kCode}, {C("YYBDM", 6), nullptr}, {C("YYBMC", 120), "营业部"},
        {C("YYBDZ", 200), "北京"}, {C("SJRQ", 8), kDate}}},
      {"ZHBYZ",
       {{C("ZQGSDM", 6), kCode}, {C("YYBDM", 6), "000001"}, {C("ZJZH", 20), nullptr},
        {C("GDDMSC", 2), "01"}, {C("GDDM", 20), "A123456789"}, {C("BYZLX", 1), "3"},
        {C("ZJHMYY", 2), "01"}, {C("KHQCYY", 2), "01"}, {C("SJRQ", 8), kDate}}},
      {"SFZFCJG",
       {{C("FCTZXH", 20), nullptr}, {C("ZQGSDM", 6), kCode}, {C("SFZLX", 1), "1"},
        {C("DKQJY", 1), "4"}, {C("SFCG", 1), "1"}, {C("ZHBD", 1), "1"}, {C("QTZJ", 2), "01"},
        {C("FCYCYY", 2), "02"}, {C("YCYYSM", 200), ""}, {C("CLCS", 2), "01"},
        {C("CLCSSM", 200), ""}}},
      {"SFZHCQK",
       {{C("FCTZXH", 20), nullptr}, {C("ZQGSDM", 6), kCode}, {C("KHXM", 60), "张三"},
        {C("ZJHM", 40), "110101197001010011"}, {C("YCLX", 2), "01"},
        {C("XFRQ", 8), "20080801"}}},
  };
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
      values.push_back(it != row.end() ? it->second : dbf::Value(c->value ? c->value : ""));
    }
    writer.add(values, std::find(options.deleted.begin(), options.deleted.end(), i) != options.deleted.end());
  }
  writer.finish();
}

}  // namespace fc::test
