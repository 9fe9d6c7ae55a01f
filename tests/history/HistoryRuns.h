// history/HistoryRuns.h - runs with known facts and findings for the history
// and comparison tests.
#pragma once

#include <string>

#include "history/History.h"

namespace fc::test {

// An account run of company `code` on 20080808 with two files (the second
// with `secondSum` as its checksum) and the findings given as
// "filename errid total" texts.
history::Run MakeRun(const std::string& key, const std::string& code, const std::string& secondSum,
                     const std::vector<std::string>& findings);

}  // namespace fc::test
