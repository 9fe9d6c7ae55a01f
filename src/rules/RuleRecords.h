// rules/RuleRecords.h - the records behind the findings of the data rules.
//
// A rule counts through RuleCount, which asks the session for the records
// behind the count in the same pass when the run keeps records; a finding is
// then written with WriteFinding, which stores its fileerr row and, with it,
// the records, so the records are always those the count counted.
//
//   RuleCount count(ctx);
//   int n = count.records(sql);            // QueryDBF; count.rows(sql) for CountRowsDBF
//   if (n != 0) WriteFinding(ctx, fileId, "R02", message, count);
#pragma once

#include <optional>
#include <string_view>

#include "query/Capture.h"
#include "rules/Rules.h"

namespace fc::rules {

class RuleCount {
 public:
  explicit RuleCount(RuleContext& ctx);
  // QueryDBF of `sql`; the records are those its where counts.
  int records(std::string_view sql);
  // CountRowsDBF of a grouped `sql`; the records are those of its repeated keys.
  int rows(std::string_view sql);
  // What the count captured; empty when the run keeps no records.
  const std::optional<query::RecordCapture>& capture() const { return capture_; }

 private:
  RuleContext& ctx_;
  std::optional<query::RecordCapture> capture_;
};

// Writes the fileerr row of a finding and the records its count captured.
void WriteFinding(RuleContext& ctx, int fileId, std::string_view code, std::string_view message,
                  const RuleCount& count);

}  // namespace fc::rules
