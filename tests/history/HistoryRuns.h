// history/HistoryRuns.h - runs with known facts and findings for the history
// and comparison tests, and what they check a history's runs with.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "history/History.h"

namespace fc::test {

// A checksum for a run's second file.
inline const std::string kSumB(64, 'b');

// An account run of company `code` on 20080808 with two files (the first
// holding 2 records marked deleted, the second with `secondSum` as its
// checksum) and the findings given as
// "filename errid total" texts.
history::Run MakeRun(const std::string& key, const std::string& code, const std::string& secondSum,
                     const std::vector<std::string>& findings);

// The ids of the runs, in their order.
std::vector<int64_t> Ids(const std::vector<history::RunSummary>& runs);

// Every run the history lists reads back whole, equal to what was appended.
void ExpectWhole(history::History& history, const std::vector<history::Run>& appended);

}  // namespace fc::test
