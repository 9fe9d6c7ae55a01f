// store/Store.h - the check-run store `dravmel.mdb`: the files and problems
// of the latest check run (`filelist`, `fileerr`), the records behind each
// problem and their value counts (`errfinding`, `errrecord`) and the company list (`zqgs`).
// Identity numbers in the records are kept masked; the real values of a
// finding that has them are set aside (`errunmasked`) for the operator's own
// look, and the personal fields of each finding are noted (`errpersonal`).
//
// An SQLite file in the application home, read and written only through the
// typed operations below. Every row is committed as it is written (WAL
// journal), so a crash loses nothing written.
//
//   auto store = fc::store::Store::open(home, dataDir);   // throws StoreError
//   store->clearRun();
//   store->beginFile();
//   store->insertFinding(1, "3", "ZIP文件无法打开或为空文件");
//   store->insertFile({1, 1, "客户基本信息表", "100001_KHJBXX_20080808_1.ZIP", 1, 0, {}});
//   for (const fc::store::FileRow& passed : store->passedFiles(1)) check(passed);
//
// Not thread-safe: one thread uses a Store at a time.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "store/MaskedRecords.h"

namespace fc::store {

class StoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

struct FileRow {
  int fileid = 0;                // number of the file within the run, from 1
  int groupno = 0;               // sequence number (0 for the identity submission)
  std::string filecat;           // Chinese table description
  std::string filename;          // expected file name
  int isexist = 0;               // 1 when found in the source directory
  int isok = 0;                  // 1 when it passed the archive, structure and date checks
  std::optional<int> dbftype;    // version byte of a passed DBF, empty otherwise
};

// One row of the results query, every value as the text of the stored value
// (empty optional for SQL NULL), in the order of the query's columns.
struct ResultRow {
  std::optional<std::string> groupno, filecat, filename, isexist, isok, errid, errdesc;
};

// The records behind one finding (one fileerr row), kept with the latest run.
struct FindingRecords {
  int fileid = 0;                   // the finding's file (filelist.fileid)
  int finding = 0;                  // position among that file's fileerr rows, in the order written, from 1
  std::string errid;                // the finding's errid ("R05", "7", ...)
  std::string table;                // table kind the records come from, upper case ("ZJZQDY")
  std::vector<std::string> fields;  // field names, upper case, in column order
  struct Record {
    int64_t recno = 0;                // 1-based position in the DBF (deleted records count)
    std::vector<std::string> values;  // display texts, one per field (NULL as "NULL")
  };
  std::vector<Record> records;      // at most the limit, in the finding's order
  int64_t total = 0;                // every record behind the finding, uncapped
  struct ValueCount {
    std::string field;              // a tested field
    std::string value;              // one of its values, as displayed
    int64_t count = 0;              // records behind the finding with that value
  };
  std::vector<ValueCount> valueCounts;  // top 20 per tested field, most frequent first
  std::map<std::string, privacy::Personal> personal = {};  // the personal ones among fields and tested fields, by name
};

// One fileerr row of the latest run, with what is kept of its records.
struct FindingRow {
  int fileid = 0;              // filelist.fileid
  int finding = 0;             // as FindingRecords::finding
  std::string filename;        // filelist.filename
  std::string errid;           // fileerr.errid
  std::string errdesc;         // fileerr.errdesc
  int64_t recordsKept = 0;     // records stored for it (0 when none)
  int64_t total = 0;           // FindingRecords::total (0 when none)
};

class Store {
 public:
  // Opens `home`/dravmel.mdb, creating it (tables, index `primarykey`, `zqgs`
  // filled from `dataDir`/zqgs.csv) when it is missing. A file that is not a
  // store, or a link or directory in its place, is refused with StoreError
  // and left untouched; a store of an earlier version gains the tables of the
  // findings' records.
  static std::unique_ptr<Store> open(const std::filesystem::path& home,
                                     const std::filesystem::path& dataDir);
  ~Store();
  Store(const Store&) = delete;
  Store& operator=(const Store&) = delete;

  // The store's file.
  const std::filesystem::path& file() const;

  // The company name for an exact code, or nothing.
  std::optional<std::string> findCompany(std::string_view code);

  // Empties filelist, then fileerr, then the findings' records and value
  // counts (one transaction). Refused with StoreError, the last results
  // untouched, when the store has no room to grow (a full disk or a file
  // size limit).
  void clearRun();

  // A file's findings and its filelist row are committed together: the
  // findings inserted between beginFile() and insertFile() become visible
  // with the row, so a crash never leaves findings of an unlisted file. After
  // a StoreError inside a file, call abandonFile(). A second beginFile() or a
  // clearRun() inside a file is refused (StoreError).
  void beginFile();
  // Inserts the filelist row of a file (inside a file: committing it with its findings).
  void insertFile(const FileRow& row);
  // Drops an unfinished file (a run that fails mid-check).
  void abandonFile();

  // Appends one fileerr row and commits it (inside a file: with it).
  void insertFinding(int fileId, std::string_view errid, std::string_view errdesc);

  // The personal fields of the interface agreement, by which the records
  // kept from now on are masked (none until set).
  void setPersonalFields(privacy::PersonalFields fields);
  // Keeps the records of a finding already inserted with insertFinding (inside
  // a file: committed with it; otherwise at once); their identity numbers masked.
  void addFindingRecords(const FindingRecords& records);
  // Fills `batch` (empty) with up to `count` records of a finding from position `first` on.
  using RecordBatches = std::function<void(size_t first, size_t count, std::vector<FindingRecords::Record>& batch)>;
  // The same for `kept` records taken from `batches` a few thousand at a
  // time (`records.records` is not read), so that no more of them are in
  // memory at once however many are kept.
  void addFindingRecords(const FindingRecords& records, size_t kept, const RecordBatches& batches);
  // The fileerr rows of a file written so far: the position of its latest finding.
  int findingCount(int fileid);
  // Every fileerr row of the latest run, by fileid then finding.
  std::vector<FindingRow> readFindings();
  // The records of one finding, masked as `masking` says, the first `most` of
  // them (`total` still counts every one); nothing when it has none
  // (structure and archive problems).
  std::optional<FindingRecords> readFindingRecords(int fileid, int finding,
                                                   privacy::Masking masking = privacy::Masking::Numbers,
                                                   int64_t most = std::numeric_limits<int64_t>::max());
  // The same without the records themselves (fields, total, value counts):
  // what a summary needs, without reading the records table.
  std::optional<FindingRecords> readFindingSummary(int fileid, int finding, privacy::Masking masking);
  // Empties the records and value counts of every finding, leaving no trace
  // of them in the file (the findings themselves stay).
  void forgetRecords();

  // The filelist rows in fileid order (rows of one fileid in the order written):
  // every one, the passed ones (isok=1), the passed ones of sequence number
  // `group` (their name holds "_<group>."), and the passed ones of an
  // identity submission (their name holds a dot).
  std::vector<FileRow> listedFiles();
  std::vector<FileRow> passedFiles();
  std::vector<FileRow> passedFiles(int group);
  std::vector<FileRow> passedIdentityFiles();

  // The rows of the results window: each file with each of its findings
  // (one row of nulls when it has none), by groupno, fileid, then errid.
  std::vector<ResultRow> readResults();

 private:
  Store();
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace fc::store
