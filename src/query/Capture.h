// query/Capture.h - the records behind a count, as an operator reads them.
//
// A session query given a RecordCapture (query/Session.h) gathers, in the
// same pass that counts, the records its result stands for (query/Executor.h:
// those that pass the where; for a group by, every record of a repeated key)
// and describes them here: each record by its number and the display texts of
// the fields the query names plus the asked-for identifying fields, at most
// `limit` of them, and the most frequent values of the fields the query tests.
// The kept records stay positions in the table until they are read, a batch
// at a time, while the session that ran the query is still open: a million
// of them take four bytes each, not their texts.
//
//   RecordCapture capture;
//   capture.identifying = {"zqgsdm", "yybdm", "zjzh"};
//   int n = session.count("select count(*) from zjzqdy where bzdm<>'CN'", &capture);
//   // capture.total == n; capture.records(0, 100)[0].recno is 1-based
#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace fc::query {

struct Plan;
}  // namespace fc::query

namespace fc::dbf {
class Table;
struct Field;
}  // namespace fc::dbf

namespace fc::query {

inline constexpr size_t kTopValues = 20;

struct RecordCapture {
  // Asked for.
  size_t limit = 1000;                   // records kept at most; 0 keeps every one
  std::vector<std::string> identifying;  // fields shown with every record when the table has them

  // Filled in by the query.
  struct Record {
    int64_t recno = 0;                // 1-based position in the DBF, deleted records counted
    std::vector<std::string> values;  // display texts, one per field ("NULL" for NULL)
  };
  struct ValueCount {
    std::string field;  // a tested field, upper case
    std::string value;  // one of its values, as displayed
    int64_t count = 0;  // records behind the result with that value
  };
  std::string table;                    // the query's table, upper case
  std::vector<std::string> fields;      // upper case, in the table's field order
  int64_t total = 0;                    // every record behind the result
  std::vector<ValueCount> valueCounts;  // per tested field its kTopValues most frequent values, most frequent first

  // The records kept: at most `limit`, in the order gathered.
  size_t kept() const { return keptRecords.size(); }
  // `count` of the kept records from `first` on (fewer at the end), read
  // from the table now; throws dbf::TableChanged when it changed meanwhile.
  std::vector<Record> records(size_t first = 0, size_t count = std::numeric_limits<size_t>::max()) const;

  // Where the kept records are read from (set by Describe).
  const dbf::Table* source = nullptr;          // the query's table, open in its session
  std::vector<const dbf::Field*> shown;        // of `source`, one per entry of `fields`
  std::vector<uint32_t> keptRecords;           // record indexes from 0
};

// Describes the records `behind` (record indexes from 0, in their order) of
// `plan`'s table into `capture`.
void Describe(const Plan& plan, const std::vector<uint32_t>& behind, RecordCapture& capture);

}  // namespace fc::query
