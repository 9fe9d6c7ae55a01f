// pipeline/Sample.h - a small demonstration submission with deliberate faults,
// so a new user sees every kind of finding within a minute.
//
//   auto layouts = fc::ruleset::LoadRuleSetFor(home, fc::pipeline::kSampleDate, "").layouts;
//   fc::pipeline::WriteSample(layouts, "/tmp/sample");
//   // then check /tmp/sample/account-zip (company 100001, 2008-08-08,
//   // sequence numbers 1 to 2, incremental) and /tmp/sample/identity-zip
//   // (comparison date 2008-08-04); the -dbf directories hold the same
//   // tables unpacked.
//
// Tables follow the interface layouts they are given, with these faults:
//   group 1: all five tables pass their structure check; KHJBXX breaks R02
//            and R04, ZJZQDY R06, ZJBDXX R16, ZHBYZ R27;
//   group 2: KHJBXX has a field of the wrong length, ZJZQDY records of
//            another date, ZJBDXX is missing, the YYBXX archive holds a
//            wrongly named table (its DBF form is sound);
//   identity: SFZFCJG breaks R02, R05 and R14 against its SFZHCQK.
// Also used by the tests and the benchmark as a ready-made submission.
#pragma once

#include <filesystem>

#include "ruleset/LayoutTables.h"

namespace fc::naming {
class InterfaceLayouts;
}  // namespace fc::naming

namespace fc::pipeline {

inline constexpr const char* kSampleCompany = "100001";
inline constexpr const char* kSampleDate = "20080808";            // data date
inline constexpr const char* kSampleComparisonDate = "20080804";  // SFZHCQK date
inline constexpr int kSampleFirstGroup = 1;
inline constexpr int kSampleLastGroup = 2;

// One record of a sample table (ruleset/LayoutTables.h).
using SampleRecord = ruleset::LayoutRecord;

// Writes dir/account-zip, dir/account-dbf, dir/identity-zip and
// dir/identity-dbf (created when missing; files of the same names replaced).
// Throws std::runtime_error when a file cannot be written.
void WriteSample(const naming::InterfaceLayouts& layouts, const std::filesystem::path& dir);

}  // namespace fc::pipeline
