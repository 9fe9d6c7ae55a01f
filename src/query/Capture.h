// query/Capture.h - the records behind a count, as an operator reads them.
//
// A session query given a RecordCapture (query/Session.h) gathers, in the
// same pass that counts, the records its result stands for (query/Executor.h:
// those that pass the where; for a group by, every record of a repeated key)
// and describes them here: each record by its number and the display texts of
// the fields the query names plus the asked-for identifying fields, at most
// `limit` of them, and the most frequent values of the fields the query tests.
//
//   RecordCapture capture;
//   capture.identifying = {"zqgsdm", "yybdm", "zjzh"};
//   int n = session.queryDBF("select count(*) from zjzqdy where bzdm<>'CN'", &capture);
//   // capture.total == n; capture.records[0].recno is 1-based
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fc::query {

struct Plan;

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
  std::vector<Record> records;          // at most `limit`, in the order gathered
  int64_t total = 0;                    // every record behind the result
  std::vector<ValueCount> valueCounts;  // per tested field its kTopValues most frequent values, most frequent first
};

// Describes the records `behind` (record indexes from 0, in their order) of
// `plan`'s table into `capture`.
void Describe(const Plan& plan, const std::vector<uint32_t>& behind, RecordCapture& capture);

}  // namespace fc::query
