// pipeline/RunDriver.h - one check run, from the emptied store to the final
// status text: listing, archive intake or structure check, the data rules per
// file group, and the packaging question.
//
//   fc::pipeline::RunDriver driver(home, inputs);   // inputs already validated
//   fc::pipeline::RunOutcome outcome = driver.run(observer);
//
// run() may be called on any thread; it opens its own connection to the store
// and holds an exclusive lock on the application home while it works, so a
// second run on the same home is refused at once.
#pragma once

#include <string>

#include "pipeline/RunInputs.h"
#include "pipeline/RunObserver.h"
#include "settings/AppHome.h"

namespace fc::pipeline {

struct RunOutcome {
  bool completed = false;  // false: refused or failed; `error` says why (already shown)
  bool anyPassed = false;  // some file passed its checks
  std::string error;
};

class RunDriver {
 public:
  RunDriver(settings::AppHome home, RunInputs inputs);
  RunOutcome run(RunObserver& observer);

 private:
  settings::AppHome home_;
  RunInputs inputs_;
};

}  // namespace fc::pipeline
