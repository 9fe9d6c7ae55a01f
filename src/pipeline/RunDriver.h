// pipeline/RunDriver.h - one check run, from the emptied store to the final
// status text: listing, archive intake or structure check, the data rules per
// file group, and the packaging question.
//
//   fc::pipeline::RunDriver driver(home, inputs);   // inputs already validated
//   fc::pipeline::RunOutcome outcome = driver.run(observer);
//   fc::pipeline::RunOutcome outcome = driver.run(observer, stop);  // stoppable (StopRequest.h)
//
// The outcome carries the run's verdict (store/Verdict.h), judged once as the
// run ends and kept with its facts; every view shows that one.
//
// run() may be called on any thread; it opens its own connection to the store
// and holds an exclusive lock on the application home while it works, so a
// second run on the same home is refused at once.
#pragma once

#include <string>

#include "pipeline/RunInputs.h"
#include "pipeline/RunObserver.h"
#include "pipeline/StopRequest.h"
#include "settings/AppHome.h"
#include "store/Verdict.h"

namespace fc::pipeline {

struct RunOutcome {
  bool completed = false;  // false: refused or failed; `error` says why (already shown)
  bool anyPassed = false;  // some file passed its checks
  bool stopped = false;    // ended by a StopRequest (not completed; `error` is kStoppedMessage)
  std::string error;
  store::Verdict verdict = store::Verdict::Unknown;  // Unknown only for a run refused before it began
  std::string verdictText;                           // the verdict's one-line reason
};

class RunDriver {
 public:
  RunDriver(settings::AppHome home, RunInputs inputs);
  RunOutcome run(RunObserver& observer);
  // The same, stopping at the next safe point once `stop` is requested.
  RunOutcome run(RunObserver& observer, const StopRequest& stop);

 private:
  settings::AppHome home_;
  RunInputs inputs_;
};

}  // namespace fc::pipeline
