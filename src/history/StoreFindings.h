// history/StoreFindings.h - the latest run's findings as the store keeps
// them, with their counts and value counts, in the history's shape: identity
// numbers and names masked, for the history keeps them for long.
//
//   std::vector<fc::history::Finding> findings = fc::history::LatestFindings(*store);
#pragma once

#include <vector>

#include "history/History.h"
#include "store/Store.h"

namespace fc::history {

// Every fileerr row of the latest run, by fileid then finding.
std::vector<Finding> LatestFindings(store::Store& store);

}  // namespace fc::history
