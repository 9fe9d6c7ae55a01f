// pipeline/RunRecorder.h - gathers the facts of one check run while it works
// (inputs, times, every listed file's size, time and SHA-256, a passed
// table's header figures, the packed archives) and, when it ends, keeps them
// with the latest results in the store and appends the run to the history.
//
//   fc::pipeline::RunRecorder recorder(home, inputs);  // the run's clock starts
//   recorder.storeVerified();          // the store is ours: its old facts go
//   recorder.listed(row, found);       // after each filelist row
//   recorder.packed(store, failed);           // after packing
//   recorder.finish(outcome, observer);
//
// Checksums are computed on a worker thread while the run goes on; finish()
// waits for them. A history that cannot be written never fails the run: the
// operator is told once per program session, and the run ends as it would.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>

#include "pipeline/FileHasher.h"
#include "pipeline/Packaging.h"
#include "pipeline/RunDriver.h"
#include "pipeline/RunInputs.h"
#include "pipeline/RunObserver.h"
#include "settings/AppHome.h"
#include "store/RunFacts.h"
#include "store/Store.h"

namespace fc::pipeline {

// The message the operator sees (once) when the history cannot be written.
inline constexpr const char* kHistoryFailedMessage = "检查历史记录无法写入，本次及以后的检查结果不会记入历史：";

class RunRecorder {
 public:
  RunRecorder(const settings::AppHome& home, const RunInputs& inputs);

  // The run has opened and verified the store: the previous run's facts are
  // removed, and the facts of this run may be written there at its end.
  void storeVerified();
  // A filelist row has been stored; `found` is the file in the source directory.
  void listed(const store::FileRow& row, const std::optional<std::filesystem::path>& found);
  // Packing is done: the archive of every passed file that did not fail.
  void packed(store::Store& store, const std::vector<PackFailure>& failed);
  // The run has ended (`outcome` says how): facts into the store, run into the history.
  void finish(const RunOutcome& outcome, RunObserver& observer);

 private:
  void recordPassedTable(store::FileFacts& facts);
  std::unique_ptr<store::Store> openVerifiedStore() const;
  void saveFacts(store::Store* store);
  void appendHistory(store::Store* store, RunObserver& observer);

  settings::AppHome home_;
  RunInputs inputs_;
  store::RunFacts facts_;
  std::chrono::steady_clock::time_point start_;
  FileHasher hasher_;
  bool storeVerified_ = false;  // the store exists and is ours
};

}  // namespace fc::pipeline
