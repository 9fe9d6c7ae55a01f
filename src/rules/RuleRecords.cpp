#include "rules/RuleRecords.h"

#include "query/Session.h"
#include "store/Store.h"

namespace fc::rules {

namespace {

// Shown with every record when its table has them: they say which account,
// branch or notice a record is about.
const char* const kIdentifyingFields[] = {"zqgsdm", "yybdm", "zjzh", "fctzxh"};

// What the store keeps of a capture besides its records, which it takes a
// batch at a time (RecordsOf).
store::FindingRecords HeadOf(const query::RecordCapture& c, int fileId, int finding, std::string_view code) {
  store::FindingRecords stored;
  stored.fileid = fileId;
  stored.finding = finding;
  stored.errid = code;
  stored.table = c.table;
  stored.fields = c.fields;
  stored.total = c.total;
  for (const auto& v : c.valueCounts) stored.valueCounts.push_back({v.field, v.value, v.count});
  return stored;
}

void RecordsOf(const query::RecordCapture& c, size_t first, size_t count,
               std::vector<store::FindingRecords::Record>& batch) {
  for (auto& r : c.records(first, count)) batch.push_back({r.recno, std::move(r.values)});
}

}  // namespace

query::RecordCapture* CaptureOf(const RuleContext& ctx, RuleQuery& q) {
  if (!ctx.keepRecords || !q.records) return nullptr;
  query::RecordCapture& capture = q.capture.emplace();
  capture.limit = ctx.recordsLimit;
  capture.identifying.assign(std::begin(kIdentifyingFields), std::end(kIdentifyingFields));
  return &capture;
}

void Answer(const RuleContext& ctx, RuleQuery& q) {
  query::RecordCapture* capture = CaptureOf(ctx, q);
  if (!capture) {
    q.n = q.rows ? ctx.session.rows(q.sql) : ctx.session.count(q.sql);
    return;
  }
  q.n = q.rows ? ctx.session.rows(q.sql, *capture) : ctx.session.count(q.sql, *capture);
}

void WriteFinding(RuleContext& ctx, int fileId, const RuleFinding& finding, const RuleQuery& q) {
  store::Store& store = *ctx.store;
  store.insertFinding(fileId, finding.code, finding.message);
  if (!q.capture) return;
  const query::RecordCapture& capture = *q.capture;
  store.addFindingRecords(HeadOf(capture, fileId, store.findingCount(fileId), finding.code), capture.kept(),
                              [&](size_t first, size_t count, std::vector<store::FindingRecords::Record>& batch) {
                                RecordsOf(capture, first, count, batch);
                              });
}

}  // namespace fc::rules
