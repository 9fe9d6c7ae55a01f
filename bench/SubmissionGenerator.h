// bench/SubmissionGenerator.h - writes a realistic submission of any size for
// either check window, as DBF tables, ZIP archives or both, with a known
// number of deliberate faults per data rule.
//
//   fc::bench::GeneratorOptions opts;                 // 100001, 2008-08-08, group 1
//   opts.dbfDir = dir / "dbf";
//   opts.zipDir = dir / "zip";
//   fc::bench::Generated g = fc::bench::WriteAccountSubmission(
//       layouts, {1'000'000, 2'000'000, 1'000'000, 1'000, 100'000}, opts);
//   // check dir/dbf (or dir/zip) with the same code, date and group, then
//   std::string differences = fc::bench::FindingsDiffer(store, Submission::Account, g.findings);
//
// The tables follow the interface layouts they are given and hang together
// the way a real submission does: every ZJZQDY, ZJBDXX and ZHBYZ account is a
// KHJBXX account, every branch a YYBXX branch, every balance adds up, every
// record carries the data date, and every re-check result names a notice of
// the comparison table. Customer and branch names are Chinese (written in GBK).
//
// Faults: for each rule that can still fire once a table has passed its
// structure and date checks (so not the date rules), a few records break that
// rule and no other. Their number is the fault rate times the table's
// records, at least 1 (none when the rate is 0), plus the rule's position in
// the table's rule list, so that two rules never expect the same count.
// Branch and company faults of the dependent tables name a KHJBXX account
// that carries the same fault, so that they do not also break the customer
// rules. File names are those a run expects (naming::ExpectedFileName).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "naming/Kinds.h"

namespace fc::naming {
class InterfaceLayouts;
}
namespace fc::store {
class Store;
}

namespace fc::bench {

struct AccountScale {
  uint32_t khjbxx = 0;  // records of each table; the YYBXX and ZJBDXX counts bound
  uint32_t zjzqdy = 0;  // the rest: ZJBDXX at most three currencies per account
  uint32_t zjbdxx = 0;
  uint32_t yybxx = 0;
  uint32_t zhbyz = 0;
};

struct IdentityScale {
  uint32_t sfzfcjg = 0;  // re-check results
  uint32_t sfzhcqk = 0;  // comparison notices, at least as many as the results
};

struct GeneratorOptions {
  std::string companyCode = "100001";      // ZQGSDM of every sound record
  std::string dataDate = "20080808";       // SJRQ of every record, YYYYMMDD
  std::string comparisonDate = "20080804";  // in the SFZHCQK file name, YYYYMMDD
  int sequence = 1;                        // the group's sequence number (account)
  bool fullTransfer = true;                // "QL_" names; the customer rules run
  double faultRate = 1e-5;                 // faulty records per record, per rule
  std::filesystem::path dbfDir;            // where the DBF form goes; empty: not kept
  std::filesystem::path zipDir;            // where the ZIP form goes; empty: not written
};

// One fileerr row a check of the submission must write.
struct ExpectedFinding {
  int kindIndex = 0;  // the table's kind (check-box index)
  std::string errid;  // "R01" ... "R34"
  int count = 0;      // the count its message quotes
  std::vector<uint32_t> records;  // record numbers (from 1) behind it, ascending: the broken
                                  // records; for a key rule every record of a repeated key
};

struct Generated {
  std::vector<std::filesystem::path> dbfFiles;  // in kind order (empty when not kept)
  std::vector<std::filesystem::path> zipFiles;  // in kind order (empty when not written)
  std::vector<ExpectedFinding> findings;        // in the order the rules run
};

// Both throw std::invalid_argument when the scale leaves no room for the
// faults or the references, and std::runtime_error when a file cannot be written.
Generated WriteAccountSubmission(const naming::InterfaceLayouts& layouts, const AccountScale& scale,
                                 const GeneratorOptions& opts);
Generated WriteIdentitySubmission(const naming::InterfaceLayouts& layouts, const IdentityScale& scale,
                                  const GeneratorOptions& opts);

// Empty when the store's latest run has exactly `expected` for its findings
// (kind, errid and the count the message quotes) and every listed file
// passed its checks; otherwise a text naming every difference.
std::string FindingsDiffer(store::Store& store, naming::Submission submission,
                           const std::vector<ExpectedFinding>& expected);

// Empty when the records kept behind the store's findings are exactly the
// generated ones: per finding the true total, at most `limit` records kept
// (0: no limit), every kept record a generated one and, when none was left
// out, all of them; otherwise a text naming every difference.
std::string RecordsDiffer(store::Store& store, naming::Submission submission,
                          const std::vector<ExpectedFinding>& expected, size_t limit);

}  // namespace fc::bench
