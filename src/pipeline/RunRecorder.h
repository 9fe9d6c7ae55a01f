// pipeline/RunRecorder.h - gathers the facts of one check run while it works
// (inputs, times, every listed file's size, time and SHA-256, a passed
// table's header figures, a checked table's records marked deleted, the
// rules that did not run, the packed archives)
// and, when it ends, judges the run's verdict (pipeline/Judge.h), keeps the
// facts with the latest results in the store and appends the run to the
// history.
//
//   fc::pipeline::RunRecorder recorder(home, inputs);  // the run's clock starts
//   recorder.judgedBy(set);            // the rule set, before the store is verified
//   recorder.weighsAcceptancesBy(terms);  // its rules' texts and record keys (accept/RuleTerms.h)
//   recorder.storeVerified(store);     // the store is ours: its old facts go
//   recorder.listed(row, checked, deleted);  // after each filelist row
//   recorder.rulesSkipped(skips);      // rules of a missing or unsound file
//   recorder.rulesRan(fileid, skips);  // after a table's rules, with those left out
//   observer.askPack(recorder.packQuestion(store));  // before packing
//   recorder.packed(store, failed);           // after packing
//   if (auto file = recorder.changedFile()) ...  // a file is not what its check read
//   recorder.finish(outcome, observer);
//
// The run's findings are weighed against the home's acceptances in force
// (accept/Coverage.h) as it is judged; at its end the acceptances it ended
// are logged as lapsed, and those it weighed kept with its facts.
// While the run works, the store's facts are those of this run as it began,
// judged incomplete: a run that dies on the way stays so in the store.
// A DBF refused because its size disagrees with its header gets no checksum.
// Checksums are computed on a worker thread while the run goes on;
// changedFile() and finish() wait for them. A file's size, time and checksum
// are those of the file its check read (its CheckedFile): one that changed
// since gets no checksum, and changedFile() names it so that the run does
// not end as if it had judged what is recorded. A history that cannot be written never fails the run: the
// operator is told once per program session, and the run ends as it would.
#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <set>
#include <vector>

#include "accept/Acceptances.h"
#include "accept/Coverage.h"
#include "accept/RuleTerms.h"
#include "history/History.h"
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

  // The rule set that judges the run.
  void judgedBy(store::RuleSetFacts set) { facts_.ruleSet = std::move(set); }
  // What the home's acceptances are weighed against: the judging set's terms.
  void weighsAcceptancesBy(accept::RuleTerms terms) { terms_ = std::move(terms); }
  // The run has opened and verified the store: the previous run's facts are
  // replaced by this run's as it begins (incomplete), and the whole facts of
  // this run may be written there at its end.
  void storeVerified(store::Store& store);
  // A filelist row has been stored; `found` is the file its check read,
  // `deleted` the records its check found marked deleted (none: it holds none).
  void listed(const store::FileRow& row, const std::optional<CheckedFile>& found, std::optional<int64_t> deleted);
  // Rules that never ran on a file (missing, or failed its structure check).
  void rulesSkipped(std::vector<store::RuleSkip> skipped);
  // The data rules of a file have run; `leftOut` did not (未检查 or 不适用).
  void rulesRan(int fileid, std::vector<store::RuleSkip> leftOut);
  bool rulesRanOn(int fileid) const { return rulesRan_.count(fileid) > 0; }
  // The run waited `seconds` for the operator (a question, a message): not
  // part of the run's time.
  void waited(double seconds) { waited_ += seconds; }
  // The packing question, with the verdict the checks so far come to as if
  // the run ended now, and the passed tables whose rules found problems.
  PackQuestion packQuestion(store::Store& store) const;
  // Packing is done: the archive of every passed file that did not fail.
  void packed(store::Store& store, const std::vector<PackFailure>& failed);
  // Waits for the checksums; the first file found changed since its check.
  std::optional<std::filesystem::path> changedFile();
  // The run has ended (`outcome` says how): its verdict into `outcome`,
  // facts into the store, run into the history.
  void finish(RunOutcome& outcome, RunObserver& observer);

 private:
  void recordPassedTable(store::FileFacts& facts, const std::filesystem::path& source);
  const Checksums& checksums();
  std::unique_ptr<store::Store> openVerifiedStore() const;
  // The home's acceptances and what they cover of the run's findings.
  struct Weighed {
    std::vector<accept::Acceptance> book;
    accept::Coverage coverage;
  };
  Weighed weigh(store::Store* store, const std::vector<history::Finding>& findings) const;
  void judge(store::RunFacts& facts, const std::vector<history::Finding>& findings, const Weighed& weighed) const;
  void keepAcceptances(const Weighed& weighed);
  void saveFacts(store::Store* store);
  void appendHistory(std::vector<history::Finding> findings, RunObserver& observer);

  settings::AppHome home_;
  RunInputs inputs_;
  store::RunFacts facts_;
  std::optional<accept::RuleTerms> terms_;  // none: no acceptance can cover anything
  std::chrono::steady_clock::time_point start_;
  FileHasher hasher_;
  std::optional<Checksums> checksums_;  // once the hasher is done
  std::set<int> rulesRan_;      // files whose data rules ran
  double waited_ = 0;           // seconds spent waiting for the operator
  bool storeVerified_ = false;  // the store exists and is ours
};

}  // namespace fc::pipeline
