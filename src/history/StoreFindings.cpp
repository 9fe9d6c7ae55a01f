#include "history/StoreFindings.h"

namespace fc::history {

std::vector<Finding> LatestFindings(store::Store& store) {
  std::vector<Finding> findings;
  for (const store::FindingRow& row : store.readFindings()) {
    Finding& f = findings.emplace_back(Finding{row.fileid, row.finding, row.filename, row.errid, row.errdesc, row.total, {}});
    if (row.recordsKept == 0 && row.total == 0) continue;
    std::optional<store::FindingRecords> records =
        store.readFindingSummary(row.fileid, row.finding, privacy::Masking::NumbersAndNames);
    if (!records) continue;
    for (const store::FindingRecords::ValueCount& v : records->valueCounts)
      f.valueCounts.push_back({v.field, v.value, v.count});
  }
  return findings;
}

}  // namespace fc::history
