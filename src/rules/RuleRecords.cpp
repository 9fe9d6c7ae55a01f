#include "rules/RuleRecords.h"

#include "query/Session.h"
#include "store/Store.h"

namespace fc::rules {

namespace {

// Shown with every record when its table has them: they say which account,
// branch or notice a record is about.
const char* const kIdentifyingFields[] = {"zqgsdm", "yybdm", "zjzh", "fctzxh"};

store::FindingRecords ToStored(const query::RecordCapture& c, int fileId, int finding, std::string_view code) {
  store::FindingRecords stored;
  stored.fileid = fileId;
  stored.finding = finding;
  stored.errid = code;
  stored.table = c.table;
  stored.fields = c.fields;
  for (const auto& r : c.records) stored.records.push_back({r.recno, r.values});
  stored.total = c.total;
  for (const auto& v : c.valueCounts) stored.valueCounts.push_back({v.field, v.value, v.count});
  return stored;
}

}  // namespace

RuleCount::RuleCount(RuleContext& ctx) : ctx_(ctx) {
  if (!ctx.keepRecords) return;
  capture_.emplace();
  capture_->limit = ctx.recordsLimit;
  capture_->identifying.assign(std::begin(kIdentifyingFields), std::end(kIdentifyingFields));
}

int RuleCount::records(std::string_view sql) {
  return capture_ ? ctx_.session.queryDBF(sql, *capture_) : ctx_.session.queryDBF(sql);
}

int RuleCount::rows(std::string_view sql) {
  return capture_ ? ctx_.session.countRowsDBF(sql, *capture_) : ctx_.session.countRowsDBF(sql);
}

void WriteFinding(RuleContext& ctx, int fileId, std::string_view code, std::string_view message,
                  const RuleCount& count) {
  ctx.store.addErrRow(fileId, code, message);
  if (!count.capture()) return;
  ctx.store.addFindingRecords(ToStored(*count.capture(), fileId, ctx.store.findingCount(fileId), code));
}

}  // namespace fc::rules
