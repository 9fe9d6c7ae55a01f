#include "query/Capture.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "dbf/Table.h"
#include "query/Compiler.h"
#include "query/PaddedText.h"
#include "text/Text.h"

namespace fc::query {
namespace {

bool IsNumber(const dbf::Field& f) { return f.type == 'N' || f.type == 'F'; }

// The field's bytes as the operator reads them before decoding: text without
// its padding, a number as written (without the blanks that align it).
std::string_view Written(const dbf::Table& table, uint32_t index, const dbf::Field& f) {
  std::string_view raw = TrimRight(table.raw(index, f));
  return IsNumber(f) ? TrimLeft(raw) : raw;
}

std::string Shown(const dbf::Table& table, uint32_t index, const dbf::Field& f) {
  return table.isNull(index, f) ? "NULL" : table.decode(Written(table, index, f));
}

// The fields shown with every record: those the query names and the
// identifying ones the table has, in the table's field order.
std::vector<const dbf::Field*> ShownFields(const Plan& plan, const std::vector<std::string>& identifying) {
  std::vector<const dbf::Field*> wanted;
  for (const NamedField& n : plan.named) wanted.push_back(n.field);
  for (const std::string& name : identifying)
    if (const dbf::Field* f = plan.table->findField(name)) wanted.push_back(f);
  std::vector<const dbf::Field*> shown;
  for (const dbf::Field& f : plan.table->fields())
    if (std::find(wanted.begin(), wanted.end(), &f) != wanted.end()) shown.push_back(&f);
  return shown;
}

// The kTopValues most frequent values of `f` among the records, counted on
// their written bytes and decoded only for the few shown.
void CountValues(const dbf::Table& table, const dbf::Field& f, const std::vector<uint32_t>& behind,
                 std::vector<RecordCapture::ValueCount>& out) {
  std::unordered_map<std::string_view, int64_t> counts;
  int64_t nulls = 0;
  for (uint32_t index : behind) {
    if (table.isNull(index, f)) ++nulls;
    else ++counts[Written(table, index, f)];
  }
  std::vector<RecordCapture::ValueCount> values;
  for (const auto& [bytes, count] : counts) values.push_back({text::ToUpper(f.name), table.decode(bytes), count});
  if (nulls) values.push_back({text::ToUpper(f.name), "NULL", nulls});
  const size_t top = std::min(values.size(), kTopValues);
  std::partial_sort(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(top), values.end(),
                    [](const auto& a, const auto& b) { return a.count != b.count ? a.count > b.count : a.value < b.value; });
  out.insert(out.end(), values.begin(), values.begin() + static_cast<std::ptrdiff_t>(top));
}

}  // namespace

void Describe(const Plan& plan, const std::vector<uint32_t>& behind, RecordCapture& capture) {
  const dbf::Table& table = *plan.table;
  capture.source = &table;
  capture.shown = ShownFields(plan, capture.identifying);
  capture.table = text::ToUpper(plan.tableName);
  capture.fields.clear();
  for (const dbf::Field* f : capture.shown) capture.fields.push_back(text::ToUpper(f->name));
  capture.total = static_cast<int64_t>(behind.size());
  const size_t kept = capture.limit == 0 ? behind.size() : std::min(behind.size(), capture.limit);
  capture.keptRecords.assign(behind.begin(), behind.begin() + static_cast<std::ptrdiff_t>(kept));
  capture.valueCounts.clear();
  for (const NamedField& n : plan.named)
    if (n.tested) CountValues(table, *n.field, behind, capture.valueCounts);
}

std::vector<RecordCapture::Record> RecordCapture::records(size_t first, size_t count) const {
  std::vector<Record> out;
  const size_t end = first + std::min(count, keptRecords.size() - std::min(first, keptRecords.size()));
  out.reserve(end - std::min(first, end));
  for (size_t i = first; i < end; ++i) {
    Record& r = out.emplace_back();
    r.recno = int64_t{keptRecords[i]} + 1;
    for (const dbf::Field* f : shown) r.values.push_back(Shown(*source, keptRecords[i], *f));
  }
  return out;
}

}  // namespace fc::query
