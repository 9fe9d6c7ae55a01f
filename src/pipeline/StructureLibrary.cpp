// The built-in structure library: compares a DBF with the interface layout
// of the kind its file name carries and scans its date field, finding what
// StructureCheck.h describes.
#include <algorithm>
#include <iterator>
#include <set>
#include <vector>

#include "dbf/RecordChunks.h"
#include "dbf/Table.h"
#include "naming/InterfaceLayouts.h"
#include "parallel/Parallel.h"
#include "pipeline/StructureCheck.h"
#include "platform/Utf8Paths.h"
#include "text/Text.h"

namespace fc::pipeline {

using naming::InterfaceLayouts;
using naming::LayoutField;
using naming::TableLayout;

namespace {

constexpr size_t kDatesShown = 3;  // other dates named in the finding; more get "等"
constexpr std::string_view kReplacementChar = "\uFFFD";

// A NUL inside a date value is shown as U+FFFD, as the decoder shows any
// byte that is no character: the stored text holds no NUL.
std::string NoNul(std::string text) {
  for (size_t at = 0; (at = text.find('\0', at)) != std::string::npos; at += kReplacementChar.size())
    text.replace(at, 1, kReplacementChar);
  return text;
}

// Blanks and NULs pad a character value on either side.
std::string_view TrimPadding(std::string_view v) { return text::Trim(v, std::string_view(" \0", 2)); }

struct FieldMatch {
  std::vector<const dbf::Field*> fileFields;  // non-system fields in file order
  std::vector<int> fileOf;     // per layout field: index in fileFields, -1 when missing
  std::vector<int> layoutOf;   // per file field: index in the layout, -1 when not an interface field
};

FieldMatch MatchFields(const dbf::Table& table, const TableLayout& layout) {
  FieldMatch m;
  for (const dbf::Field& f : table.fields())
    if (!f.isSystem()) m.fileFields.push_back(&f);
  m.layoutOf.assign(m.fileFields.size(), -1);
  for (size_t li = 0; li < layout.fields.size(); ++li) {
    int found = -1;
    for (size_t fi = 0; fi < m.fileFields.size() && found < 0; ++fi)
      if (m.layoutOf[fi] < 0 && text::EqualsNoCase(m.fileFields[fi]->name, layout.fields[li].name))
        found = static_cast<int>(fi);
    m.fileOf.push_back(found);
    if (found >= 0) m.layoutOf[found] = static_cast<int>(li);
  }
  return m;
}

// The file field from which the interface fields stand in another order
// than the layout's, -1 when they are in order. Extra fields do not count.
int FirstOutOfOrder(const FieldMatch& m) {
  int expected = 0;
  for (size_t fi = 0; fi < m.layoutOf.size(); ++fi) {
    if (m.layoutOf[fi] < 0) continue;
    if (m.layoutOf[fi] != expected) return static_cast<int>(fi);
    ++expected;
  }
  return -1;
}

std::vector<FileFinding> FieldFindings(const dbf::Table& table, const TableLayout& layout) {
  FieldMatch m = MatchFields(table, layout);
  bool anyMissing = false;
  for (int fi : m.fileOf) anyMissing |= fi < 0;
  int outOfOrder = anyMissing ? -1 : FirstOutOfOrder(m);
  std::vector<FileFinding> found;
  for (size_t li = 0; li < layout.fields.size(); ++li) {
    const LayoutField& want = layout.fields[li];
    int fi = m.fileOf[li];
    if (fi < 0) {
      found.push_back({FileProblem::AgreedFieldMissing, want.name});
      continue;
    }
    const dbf::Field& have = *m.fileFields[fi];
    if (have.type != want.type)
      found.push_back({FileProblem::FieldType, have.name});
    else if (have.length != want.length || (want.type == 'N' && have.decimals != want.decimals))
      found.push_back({FileProblem::FieldLength, have.name});
    if (fi == outOfOrder) found.push_back({FileProblem::FieldOrder, have.name});
  }
  for (size_t fi = 0; fi < m.fileFields.size(); ++fi)
    if (m.layoutOf[fi] < 0) found.push_back({FileProblem::FieldNotAgreed, m.fileFields[fi]->name});
  return found;
}

// Records per piece of the date pass, which threads share out.
constexpr uint32_t kDatePieceRecords = 1u << 16;

// The smallest values other than `date` of the date field among records
// [begin, end), at most kDatesShown + 1 of them.
using OtherDates = std::set<std::string, std::less<>>;
OtherDates OtherDatesIn(const dbf::Table& table, const dbf::Field& field, std::string_view date, uint32_t begin,
                        uint32_t end) {
  OtherDates others;
  const bool nullable = field.nullBit >= 0;
  const size_t stride = table.recordLength();
  dbf::RecordChunks chunks(table, begin, end);
  for (dbf::RecordChunks::Chunk c; chunks.next(c);) {
    for (const uint8_t* rec = c.records; rec < c.records + size_t{c.count} * stride; rec += stride) {
      if (rec[0] == '*') continue;
      std::string_view value(reinterpret_cast<const char*>(rec) + field.offset, field.length);
      if (value == date) continue;
      value = nullable && table.isNullIn(rec, field) ? std::string_view() : TrimPadding(value);
      if (value == date || others.find(value) != others.end()) continue;
      if (others.size() > kDatesShown && value > *others.rbegin()) continue;
      others.emplace(value);
      if (others.size() > kDatesShown + 1) others.erase(std::prev(others.end()));
    }
  }
  return others;
}

// The smallest other values of the date field as a finding names them
// ("20080801,空,20080809等"), or empty when every live record holds the data
// date. Runs over every record, in pieces on up to `threads` threads, so it
// compares raw bytes and decodes only the few values it names; the smallest
// values are the same however the pieces fall.
std::string OtherDatesText(const dbf::Table& table, const TableLayout& layout, std::string_view date, int threads) {
  if (!layout.dateField) return {};
  const dbf::Field* field = table.findField(*layout.dateField);
  if (!field) return {};  // reported as a missing field
  const uint32_t count = table.recordCount();
  std::vector<OtherDates> pieces((size_t{count} + kDatePieceRecords - 1) / kDatePieceRecords);
  parallel::ForEach(pieces.size(), threads, [&](size_t p) {
    const uint32_t begin = static_cast<uint32_t>(p) * kDatePieceRecords;
    pieces[p] = OtherDatesIn(table, *field, date, begin, std::min(count, begin + kDatePieceRecords));
  });
  OtherDates others;
  for (const OtherDates& piece : pieces) others.insert(piece.begin(), piece.end());
  if (others.empty()) return {};
  std::string shownDates;
  size_t shown = 0;
  for (std::string_view v : others) {
    if (shown == kDatesShown) return shownDates + "等";
    if (shown++) shownDates += ",";
    shownDates += v.empty() ? "空" : NoNul(table.decode(v));
  }
  return shownDates;
}

}  // namespace

namespace {

// Records marked deleted: the check skips them as the rules' queries do.
uint32_t DeletedIn(const dbf::Table& table) {
  uint32_t deleted = 0;
  dbf::RecordChunks chunks(table, 0, table.recordCount());
  for (dbf::RecordChunks::Chunk c; chunks.next(c);)
    for (uint32_t i = 0; i < c.count; ++i) deleted += c.records[size_t{i} * table.recordLength()] == '*';
  return deleted;
}

}  // namespace

std::vector<FileFinding> CheckStructure(const InterfaceLayouts& layouts, const std::filesystem::path& dbf,
                                        std::string_view dataDate, int threads, uint32_t* deleted) {
  if (deleted) *deleted = 0;
  const TableLayout* layout = layouts.forFileName(platform::Utf8Of(dbf.filename()));
  if (!layout) return {{FileProblem::CannotCheck, "无法从文件名识别表类型"}};
  std::string error;
  std::unique_ptr<dbf::Table> table = dbf::Table::open(dbf, error);
  if (!table) return {{FileProblem::CannotCheck, error}};
  // Records past the count would go unchecked, and bytes past them may be
  // anything: such a table is judged by its size alone, before any record is read.
  if (std::string why = table->sizeProblem(); !why.empty()) return {{FileProblem::CannotCheck, std::move(why)}};
  std::vector<FileFinding> found = FieldFindings(*table, *layout);
  std::string dates = OtherDatesText(*table, *layout, TrimPadding(dataDate), threads);
  if (deleted) *deleted = DeletedIn(*table);
  if (table->changed()) throw dbf::TableChanged(dbf);
  if (!dates.empty()) found.push_back({FileProblem::OtherDates, std::move(dates)});
  return found;
}

}  // namespace fc::pipeline
