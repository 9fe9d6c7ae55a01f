// The built-in structure library: compares a DBF with the interface layout
// of the kind its file name carries and scans its date field, finding what
// StructureCheck.h describes.
#include <algorithm>
#include <array>
#include <iterator>
#include <set>
#include <vector>

#include "dbf/RecordChunks.h"
#include "dbf/Table.h"
#include "naming/InterfaceLayouts.h"
#include "parallel/Parallel.h"
#include "pipeline/FieldContent.h"
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

// Blanks pad a character value (query/PaddedText.h); a NUL is a finding of its own.
std::string_view TrimPadding(std::string_view v) { return text::Trim(v, " "); }

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

std::vector<FileFinding> FieldFindings(const FieldMatch& m, const TableLayout& layout) {
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
    else if (have.length != want.length || have.decimals != want.decimals)  // a C field's decimals are 0
      found.push_back({FileProblem::FieldLength, have.name});
    if (fi == outOfOrder) found.push_back({FileProblem::FieldOrder, have.name});
  }
  for (size_t fi = 0; fi < m.fileFields.size(); ++fi)
    if (m.layoutOf[fi] < 0) found.push_back({FileProblem::FieldNotAgreed, m.fileFields[fi]->name});
  return found;
}

// Records per piece of the pass over the records, which threads share out.
constexpr uint32_t kPieceRecords = 1u << 16;

// The smallest values other than the data date of the date field, at most
// kDatesShown + 1 of them.
using OtherDates = std::set<std::string, std::less<>>;

// Where one field's values hold one kind of flaw: the first record and how many.
struct FlawTally {
  uint32_t first = UINT32_MAX;
  uint32_t count = 0;
  void add(uint32_t record) {
    first = std::min(first, record);
    ++count;
  }
  void merge(const FlawTally& other) {
    first = std::min(first, other.first);
    count += other.count;
  }
};
constexpr size_t kFlawKinds = 4;  // ContentFlaw::Null to ContentFlaw::IdeographicBlank
using FieldTally = std::array<FlawTally, kFlawKinds>;

size_t Slot(ContentFlaw flaw) { return static_cast<size_t>(flaw) - static_cast<size_t>(ContentFlaw::Null); }

// An agreed field of the agreed type whose every value the pass judges.
struct JudgedField {
  const dbf::Field* field;
  ContentCheck check;
};

// What the pass reads: the date field (null when the layout has none or the
// table lacks it, which is a finding of its own) and the judged fields.
struct PassPlan {
  const dbf::Table& table;
  const dbf::Field* dateField = nullptr;
  std::string_view date;
  std::vector<JudgedField> judged;  // in layout order
};

struct PassTally {
  OtherDates dates;
  uint32_t deleted = 0;
  std::vector<FieldTally> fields;  // per judged field

  void merge(const PassTally& other) {
    dates.insert(other.dates.begin(), other.dates.end());
    deleted += other.deleted;
    for (size_t j = 0; j < fields.size(); ++j)
      for (size_t k = 0; k < kFlawKinds; ++k) fields[j][k].merge(other.fields[j][k]);
  }
};

PassPlan PlanPass(const dbf::Table& table, const TableLayout& layout, const FieldMatch& m, std::string_view date) {
  PassPlan plan{table, layout.dateField ? table.findField(*layout.dateField) : nullptr, date, {}};
  for (size_t li = 0; li < layout.fields.size(); ++li) {
    if (m.fileOf[li] < 0) continue;
    const dbf::Field& f = *m.fileFields[m.fileOf[li]];
    const char want = layout.fields[li].type;
    if (f.type == want && (want == 'C' || want == 'N' || want == 'F'))
      plan.judged.push_back({&f, ContentCheck(f, table.encoding())});
  }
  return plan;
}

void NoteDate(const PassPlan& plan, const uint8_t* rec, OtherDates& others) {
  const dbf::Field& field = *plan.dateField;
  std::string_view value(reinterpret_cast<const char*>(rec) + field.offset, field.length);
  if (value == plan.date) return;
  value = field.nullBit >= 0 && plan.table.isNullIn(rec, field) ? std::string_view() : TrimPadding(value);
  if (value == plan.date || others.find(value) != others.end()) return;
  if (others.size() > kDatesShown && value > *others.rbegin()) return;
  others.emplace(value);
  if (others.size() > kDatesShown + 1) others.erase(std::prev(others.end()));
}

// Records [begin, end): deleted ones are counted and skipped, as the rules'
// queries skip them; the others give their date and their judged values.
PassTally PassOver(const PassPlan& plan, uint32_t begin, uint32_t end) {
  PassTally tally;
  tally.fields.resize(plan.judged.size());
  const size_t stride = plan.table.recordLength();
  dbf::RecordChunks chunks(plan.table, begin, end);
  for (dbf::RecordChunks::Chunk c; chunks.next(c);) {
    for (uint32_t k = 0; k < c.count; ++k) {
      const uint8_t* rec = c.records + size_t{k} * stride;
      if (rec[0] == '*') {
        ++tally.deleted;
        continue;
      }
      if (plan.dateField) NoteDate(plan, rec, tally.dates);
      for (size_t j = 0; j < plan.judged.size(); ++j) {
        const dbf::Field& f = *plan.judged[j].field;
        ContentFlaw flaw = f.nullBit >= 0 && plan.table.isNullIn(rec, f) ? ContentFlaw::Null : ContentFlaw::None;
        if (flaw == ContentFlaw::None)
          flaw = plan.judged[j].check.flawOf({reinterpret_cast<const char*>(rec) + f.offset, f.length});
        if (flaw != ContentFlaw::None) tally.fields[j][Slot(flaw)].add(c.first + k);
      }
    }
  }
  return tally;
}

// The whole table, in pieces on up to `threads` threads. The pass compares
// raw bytes and decodes only the few dates it names; the smallest dates and
// the first records are the same however the pieces fall.
PassTally PassOverAll(const PassPlan& plan, int threads) {
  const uint32_t count = plan.table.recordCount();
  std::vector<PassTally> pieces((size_t{count} + kPieceRecords - 1) / kPieceRecords);
  parallel::ForEach(pieces.size(), threads, [&](size_t p) {
    const uint32_t begin = static_cast<uint32_t>(p) * kPieceRecords;
    pieces[p] = PassOver(plan, begin, std::min(count, begin + kPieceRecords));
  });
  PassTally all;
  all.fields.resize(plan.judged.size());
  for (const PassTally& piece : pieces) all.merge(piece);
  return all;
}

// The other dates as a finding names them ("20080801,空,20080809等").
std::string OtherDatesText(const dbf::Table& table, const OtherDates& others) {
  std::string shownDates;
  size_t shown = 0;
  for (std::string_view v : others) {
    if (shown == kDatesShown) return shownDates + "等";
    if (shown++) shownDates += ",";
    shownDates += v.empty() ? "空" : NoNul(table.decode(v));
  }
  return shownDates;
}

// The judged fields' findings, in layout order: NULL (a nullable field is one
// even without NULLs), then the flaws of values.
std::vector<FileFinding> ContentFindings(const PassPlan& plan, const PassTally& tally) {
  constexpr FileProblem kProblemOf[kFlawKinds] = {FileProblem::FieldNull, FileProblem::NotANumber,
                                                 FileProblem::ControlCharacter, FileProblem::IdeographicBlank};
  std::vector<FileFinding> found;
  for (size_t j = 0; j < plan.judged.size(); ++j) {
    const dbf::Field& f = *plan.judged[j].field;
    for (size_t k = 0; k < kFlawKinds; ++k) {
      const FlawTally& t = tally.fields[j][k];
      if (t.count > 0)
        found.push_back({kProblemOf[k], f.name, t.first + 1, t.count});
      else if (k == Slot(ContentFlaw::Null) && f.nullBit >= 0)
        found.push_back({FileProblem::FieldNull, f.name});
    }
  }
  return found;
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
  const FieldMatch match = MatchFields(*table, *layout);
  std::vector<FileFinding> found = FieldFindings(match, *layout);
  const PassPlan plan = PlanPass(*table, *layout, match, TrimPadding(dataDate));
  const PassTally tally = PassOverAll(plan, threads);
  if (table->changed()) throw dbf::TableChanged(dbf);
  if (deleted) *deleted = tally.deleted;
  if (!tally.dates.empty()) found.push_back({FileProblem::OtherDates, OtherDatesText(*table, tally.dates)});
  std::vector<FileFinding> content = ContentFindings(plan, tally);
  found.insert(found.end(), content.begin(), content.end());
  return found;
}

}  // namespace fc::pipeline
