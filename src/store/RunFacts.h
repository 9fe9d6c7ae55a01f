// store/RunFacts.h - what a check run records about itself: its inputs and
// times (`runinfo`), every listed file as found in the source directory
// (`runfile`), the archives it packed (`runpack`), its verdict and each
// file's (`runverdict`, fileid 0 for the run), the rules that did not run
// (`runrule`), the rule set that judged it (`runruleset`; `runrulesetown`
// holds a row for a run whose set was the company's own) and the records
// marked deleted in each checked table that holds any (`runfiledeleted`) and
// the acceptances the run weighed (`runacceptance`).
//
// dravmel.mdb keeps the facts of the latest run beside its results; the run
// history keeps the same tables for every past run, told apart by `runkey`.
// The tables are created when missing, so a store of an earlier version
// gains them in place; the results tables are never touched. A run kept
// before the verdict tables existed reads back with Verdict::Unknown, one
// kept before rule sets with an empty RuleSetFacts (shown "—"), one kept
// before deleted records were counted with no count for any file.
//
//   fc::store::ClearLatestRunFacts(home.storeFile());        // as a run starts
//   fc::store::SaveLatestRunFacts(home.storeFile(), facts);  // as it ends, one transaction
//   std::optional<fc::store::RunFacts> latest = fc::store::ReadLatestRunFacts(home.storeFile());
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "naming/Submission.h"
#include "store/Verdict.h"

namespace fc::store {

class Connection;
struct FileRow;

struct FileFacts {
  int fileid = 0;                       // filelist.fileid
  int groupno = 0;                      // filelist.groupno
  std::string filecat;                  // filelist.filecat
  std::string filename;                 // filelist.filename (the expected name)
  int isexist = 0;                      // filelist.isexist
  int isok = 0;                         // filelist.isok
  std::optional<int64_t> size;          // bytes of the file found (archive or DBF)
  std::string mtime;                    // its modification time, "YYYY-MM-DD HH:MM:SS" local
  std::string sha256;                   // its SHA-256, hex; empty when absent or unreadable
  std::optional<int64_t> records;       // a passed table's record count (header)
  std::optional<int64_t> dbfVersion;    // a passed table's version byte
  std::optional<int64_t> codePage;      // a passed table's code page byte
  Verdict verdict = Verdict::Unknown;   // the file's own verdict (pipeline/Judge.h)
  std::string verdictText = {};         // its reason ("文件不存在", "2条规则发现问题，涉及5条记录")
  // Records marked deleted in a checked table (passed or not); none when it
  // holds none. Neither the checks nor the rules read them; a receiver's
  // reader that keeps them would, so they are told, never judged.
  std::optional<int64_t> deletedRecords = {};
  bool operator==(const FileFacts&) const = default;
};

// The facts a listed file brings from its filelist row; the rest is filled
// by whoever looks at the file itself.
FileFacts ListedFileFacts(const FileRow& row);

struct PackFacts {
  std::string archive;  // the archive's name in the output directory
  int64_t size = 0;     // its bytes
  std::string sha256;   // its SHA-256, hex
  bool operator==(const PackFacts&) const = default;
};

// The rule set that judged a run (ruleset/RuleSet.h): its name, version and
// the SHA-256 of its files. Empty for a run kept before rule sets.
struct RuleSetFacts {
  std::string name;
  std::string version;
  std::string sha256;
  bool own = false;  // the company's own set, in the application home; else shipped
  bool known() const { return !name.empty(); }
  bool operator==(const RuleSetFacts&) const = default;
};

// "interface@1", or "—" for a run kept before rule sets.
std::string RuleSetName(const RuleSetFacts& set);
// RuleSetName, marked "interface@2（本地规则集）" for the company's own set.
std::string RuleSetText(const RuleSetFacts& set);
// "（本地规则集）" after the name of the company's own set; empty for a shipped one.
std::string OwnSetMark(bool own);

// What the operator is told of a table's `count` records marked deleted
// ("表中有3条已删除的记录：..."), wherever a file's facts are shown.
std::string DeletedRecordsText(int64_t count);

// How a run weighed one acceptance of a finding (accept/Coverage.h).
enum class AcceptanceUse {
  Applied,  // it covered a finding of the run
  Unused,   // in force, it covered nothing of the run
  Lapsed,   // the run ended it (expired, its rule changed, more records than it allows)
};
// "applied", "unused", "lapsed" and back (Applied for any other text).
const char* AcceptanceUseCode(AcceptanceUse use);
AcceptanceUse ParseAcceptanceUse(std::string_view code);

struct RunAcceptance {
  int64_t acceptance = 0;   // its number in the home's acceptances
  AcceptanceUse use = AcceptanceUse::Applied;
  int fileid = 0;           // the finding it covered (Applied; 0 otherwise)
  int finding = 0;          // its position among the file's findings
  std::string errid;        // its rule
  int64_t records = 0;      // records of the finding it covered
  std::string reason;       // as accepted
  std::string by;           // who accepted it
  std::string until;        // its last day, YYYY-MM-DD
  std::string note = {};    // why it lapsed
  bool operator==(const RunAcceptance&) const = default;
};

struct RunFacts {
  std::string runKey;          // unique per run; links the store's facts to the history
  naming::Submission submission = naming::Submission::Account;
  std::string companyCode;     // ZQGSDM
  std::string companyName;     // from zqgs; empty when the code is not listed
  std::string dataDate;        // YYYYMMDD
  std::string comparisonDate;  // YYYYMMDD (identity only)
  bool fullTransfer = false;   // full transfer (account only)
  int beginNo = 0;             // first sequence number (account only)
  int endNo = 0;               // last sequence number (account only)
  std::vector<std::string> kinds;  // selected table kinds, in kind order ("KHJBXX", ...)
  std::string fileType;        // "ZIP" or "DBF"
  std::string sourceDir;       // as the run used it, ending in '/'
  std::string targetDir;       // likewise
  std::string started;         // "YYYY-MM-DD HH:MM:SS" local time
  std::string ended;           // likewise
  double seconds = 0;          // duration of the check, the time spent waiting for the operator left out
  std::string version;         // program version
  bool completed = false;      // false: the run failed
  std::string message;         // why it failed (empty when completed)
  std::vector<FileFacts> files;  // by fileid
  std::vector<PackFacts> packs;  // in packing order
  Verdict verdict = Verdict::Unknown;  // what the run concludes (pipeline/Judge.h)
  std::string verdictText = {};  // one line: the word and what decided it ("不通过：应报文件10个，缺少1个")
  std::vector<RuleSkip> skipped = {};  // rules that did not run, by fileid, in the order they would have run
  RuleSetFacts ruleSet = {};  // the rule set that judged the run
  std::vector<RunAcceptance> acceptances = {};  // applied, by fileid and finding; then unused and lapsed
  bool operator==(const RunFacts&) const = default;
};

// Creates the tables (and their indexes) when missing.
void CreateRunFactsTables(Connection& db);
// Inserts the facts under facts.runKey (inside the caller's transaction).
void InsertRunFacts(Connection& db, const RunFacts& facts);
// The facts under `runKey`, or nothing.
std::optional<RunFacts> SelectRunFacts(Connection& db, const std::string& runKey);
// Deletes the facts of every run whose runinfo row `where` selects ("" for all).
void DeleteRunFacts(Connection& db, const std::string& where);

// dravmel.mdb: the latest run's facts replace the previous ones in one transaction.
void SaveLatestRunFacts(const std::filesystem::path& storeFile, const RunFacts& facts);
void ClearLatestRunFacts(const std::filesystem::path& storeFile);
std::optional<RunFacts> ReadLatestRunFacts(const std::filesystem::path& storeFile);

}  // namespace fc::store
