// history/History.h - `history.db` in the application home: every finished
// check run (a failed one too, with its message), kept for comparison and
// reports: the run facts, its files, its findings with their counts and the
// value counts behind them (never the records themselves).
//
//   auto history = fc::history::History::open(home.home);   // throws store::StoreError
//   int64_t id = history->append(run);                      // one transaction
//   for (const fc::history::RunSummary& s : history->list(20)) show(s);
//   std::optional<fc::history::Run> run = history->read(id);
//
// SQLite in WAL mode with full synchronous commits: a run is there whole or
// not at all, whatever happens to the process or the disk while it is added.
// After each append only the latest keep() runs stay (200 unless set).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "naming/Submission.h"
#include "store/RunFacts.h"

namespace fc::store { class Connection; }

namespace fc::history {

inline constexpr int kDefaultKeep = 200;

struct ValueCount {
  std::string field;  // a tested field
  std::string value;  // one of its values, as displayed
  int64_t count = 0;  // records behind the finding with that value
  bool operator==(const ValueCount&) const = default;
};

struct Finding {
  int fileid = 0;           // the finding's file
  int finding = 0;          // position among that file's findings, from 1
  std::string filename;     // the file's listed name
  std::string errid;        // the finding's number ("R05", "3", ...)
  std::string errdesc;      // its text as the results grid shows it
  int64_t total = 0;        // records behind it (0 for archive and structure problems)
  std::vector<ValueCount> valueCounts;  // most frequent first, per field
  bool operator==(const Finding&) const = default;
};

struct Run {
  int64_t id = 0;                 // the history's number for the run (0 before append)
  store::RunFacts facts;          // inputs, times, files, packed archives
  std::vector<Finding> findings;  // by fileid, then finding
  bool operator==(const Run&) const = default;
};

// One line of the run list.
struct RunSummary {
  int64_t id = 0;
  std::string started;      // "YYYY-MM-DD HH:MM:SS"
  naming::Submission submission = naming::Submission::Account;
  std::string companyCode;
  std::string dataDate;     // YYYYMMDD
  int expected = 0;         // files the run expected, reached or not (a stopped run lists fewer)
  int listed = 0;           // files listed
  int present = 0;          // of them found
  int passed = 0;           // of them passed (verdict pass; structure passed for a run kept before verdicts)
  int findings = 0;         // findings of the run
  bool completed = false;
  std::string message;      // why it failed
  store::Verdict verdict = store::Verdict::Unknown;  // Unknown for a run kept before verdicts
  std::string verdictText = {};  // the verdict's reason
  std::string fileType = {};     // "ZIP" or "DBF"
  std::string sourceDir = {};    // the source directory as the run used it
  std::string ruleSet = {};      // NAME@VERSION of the set that judged it; empty for a run kept before rule sets
  bool ruleSetOwn = false;       // that set was the company's own
};

// Counts of a run's files: expected, listed, found, passed.
RunSummary Summarize(const Run& run);

class History {
 public:
  static std::unique_ptr<History> open(const std::filesystem::path& home);
  ~History();

  // Adds the run in one transaction and drops runs beyond keep(); returns its id.
  int64_t append(const Run& run);
  // The latest `limit` runs, newest first.
  std::vector<RunSummary> list(int limit);
  std::optional<Run> read(int64_t id);
  // The newest run (largest id), if any.
  std::optional<int64_t> latest();
  // The latest run before `id` of the same submission: the same company,
  // data date, file type, sequence range and transfer mode. Runs of another
  // file type or range are other submissions, not earlier tries of this one.
  std::optional<int64_t> previous(int64_t id);
  // Drops every run, leaving no trace of them in the file (the settings stay).
  void forget();
  // The number of runs kept (the `keepruns` setting).
  int keep();
  void setKeep(int runs);

 private:
  explicit History(std::unique_ptr<store::Connection> db);
  std::unique_ptr<store::Connection> db_;
};

// The file name of the history in a home.
std::filesystem::path HistoryFile(const std::filesystem::path& home);

}  // namespace fc::history
