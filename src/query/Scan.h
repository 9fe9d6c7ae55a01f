// query/Scan.h - the one loop over a table's records that every query uses.
//
// The records are read a chunk at a time into a buffer (dbf/RecordChunks.h):
// a row's record bytes last only while `visit` runs; a record needed later
// is found again by its index through dbf::Table::record. Records marked
// deleted are skipped first; the rest are positioned at
// nesting level `depth` of a copy of `outer`, tested by `filter` a batch at a
// time (query/Eval.h, Pred::testMany), and handed on in batches of those for
// which the filter is True:
//
//   ScanBatches(table, 0, Row{}, where, [&](const Row* rows, const uint32_t* index, int n) {
//     for (int k = 0; k < n; ++k) use(rows[k], index[k]);   // index: record number
//     return true;                                         // false stops the scan
//   });
#pragma once

#include <array>
#include <cstdint>

#include "dbf/RecordChunks.h"
#include "dbf/Table.h"
#include "query/Eval.h"

namespace fc::query {

// 0, 1, ..., kBatch - 1: every row of a batch.
inline constexpr auto kAllRows = [] {
  std::array<uint16_t, kBatch> all{};
  for (int i = 0; i < kBatch; ++i) all[i] = static_cast<uint16_t>(i);
  return all;
}();

// `begin` and `end` bound the record indexes scanned (a piece of the table);
// by default every record.
template <typename Visit>
void ScanBatches(const dbf::Table& table, int depth, const Row& outer, Pred* filter, Visit&& visit,
                 uint32_t begin = 0, uint32_t end = UINT32_MAX) {
  Row rows[kBatch];
  for (Row& r : rows) r = outer;  // only level `depth` changes from record to record
  uint32_t index[kBatch];
  Tri truth[kBatch];
  const size_t stride = table.recordLength();
  dbf::RecordChunks chunks(table, begin, end);
  for (dbf::RecordChunks::Chunk chunk; chunks.next(chunk);) {
    const uint8_t* rec = chunk.records;
    const uint32_t last = chunk.first + chunk.count;
    for (uint32_t i = chunk.first; i < last;) {
      int n = 0;
      for (; i < last && n < kBatch; ++i, rec += stride) {
        if (rec[0] == '*') continue;
        rows[n].rec[depth] = rec;
        index[n++] = i;
      }
      if (filter && n > 0) {
        filter->testMany(rows, kAllRows.data(), n, truth);
        int kept = 0;
        for (int k = 0; k < n; ++k) {
          if (truth[k] != Tri::True) continue;
          rows[kept].rec[depth] = rows[k].rec[depth];
          index[kept++] = index[k];
        }
        n = kept;
      }
      if (n > 0 && !visit(static_cast<const Row*>(rows), static_cast<const uint32_t*>(index), n)) return;
    }
  }
}

}  // namespace fc::query
