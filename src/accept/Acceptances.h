// accept/Acceptances.h - `acceptances.db` in the application home: the rule
// findings the company has explained and accepted, each for named records
// (or every record of its rule up to a number), with a reason, the person who
// accepted it and the last day it is in force, and an append-only log of
// what became of each (added, withdrawn, lapsed).
//
// They are the company's decisions, not results: `forget` leaves them, and
// no run changes one but by appending to the log.
//
//   auto book = fc::accept::Acceptances::open(home.home);  // store::StoreError
//   int64_t id = book->add(acceptance);                     // its number, logged as added
//   book->withdraw(id, "王敏", "账户已销户", now);            // false when not in force
//   for (const fc::accept::Acceptance& a : book->list()) show(a, a.state);
//
// Private like the store (0600, no link followed); neither table's rows are
// ever changed or deleted, which the file itself refuses.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "naming/Submission.h"

namespace fc::store { class Connection; }

namespace fc::accept {

inline constexpr const char* kAcceptancesFileName = "acceptances.db";
std::filesystem::path AcceptancesFile(const std::filesystem::path& home);

// What the log says became of an acceptance.
enum class State {
  InForce,    // added, neither withdrawn nor lapsed
  Withdrawn,  // taken back by a person, with why
  Lapsed,     // ended by a run: expired, its rule changed, or more records than it allows
};
// "inforce", "withdrawn", "lapsed"; and the Chinese "有效", "已撤销", "已失效".
const char* StateCode(State state);
const char* StateWord(State state);

struct Acceptance {
  int64_t id = 0;                  // its number, from 1 (0 before add)
  naming::Submission submission = naming::Submission::Account;
  std::string companyCode;         // ZQGSDM
  std::string rule;                // the rule's code, "R06"
  std::vector<std::string> keys;   // the records it covers by key; empty: every record of the rule, up to atMost
  int64_t atMost = 0;              // with no keys: the most records it covers in one run
  std::string reason;              // why it is accepted (required)
  std::string by;                  // who accepted it (required)
  std::string at;                  // when, "YYYY-MM-DD HH:MM:SS" by the program's clock
  std::string until;               // the last day it is in force, YYYYMMDD
  std::string ruleSha256;          // the rule's text as the set had it when accepted (accept/RuleTerms.h)
  State state = State::InForce;    // from the log
  std::string stateReason = {};    // why it was withdrawn or lapsed
  bool allRecords() const { return keys.empty(); }
};

enum class Event { Added, Withdrawn, Lapsed };
// "added", "withdrawn", "lapsed"; and "接受", "撤销", "失效".
const char* EventCode(Event event);
const char* EventWord(Event event);

struct LogEntry {
  int64_t acceptance = 0;
  Event event = Event::Added;
  std::string who;     // the person; the program for a lapse
  std::string reason;  // the acceptance's reason, the withdrawal's, or why it lapsed
  std::string at;      // "YYYY-MM-DD HH:MM:SS"
};

class Acceptances {
 public:
  // Opens the home's file, making it (private) when missing.
  static std::unique_ptr<Acceptances> open(const std::filesystem::path& home);
  ~Acceptances();
  Acceptances(const Acceptances&) = delete;
  Acceptances& operator=(const Acceptances&) = delete;

  // Adds `a` as it stands (its state aside) and logs it as added by a.by; its new id.
  int64_t add(const Acceptance& a);
  // Logs `id` withdrawn; false, nothing logged, when no acceptance in force has that id.
  bool withdraw(int64_t id, const std::string& by, const std::string& reason, const std::string& at);
  // Logs `id` lapsed for `reason` (once: a second lapse of the same one is not logged).
  void lapse(int64_t id, const std::string& reason, const std::string& at);
  // Every acceptance by id, its state from the log.
  std::vector<Acceptance> list();
  // The log, in the order written.
  std::vector<LogEntry> log();

 private:
  explicit Acceptances(std::unique_ptr<store::Connection> db);
  std::unique_ptr<store::Connection> db_;
};

// The program's name in the log for what it did itself (a lapse).
inline constexpr const char* kProgramName = "程序";

}  // namespace fc::accept
