#include "store/Store.h"

#include <fcntl.h>  // AT_FDCWD
#include <sqlite3.h>
#include <strings.h>
#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstdio>  // renameat2
#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include <nlohmann/json.hpp>

#include "store/JetLike.h"
#include "store/Sqlite.h"
#include "text/DataFile.h"
#include "text/Json.h"

namespace fc::store {

namespace fs = std::filesystem;

namespace {

constexpr const char* kStoreName = "dravmel.mdb";
constexpr const char* kCompanyFile = "zqgs.csv";
constexpr const char* kResultsQuery =
    "select a.groupno,a.filecat,a.filename,a.isexist,a.isok,b.errid,b.errdesc from filelist a "
    "left join fileerr b on a.fileid=b.fileid order by a.groupno,a.fileid,b.errid";
constexpr const char* kSchema =
    "create table filelist (fileid integer, groupno integer, filecat text, filename text,"
    " isexist integer, isok integer, dbftype integer);"
    "create table fileerr (fileid integer, errid text, errdesc text);"
    "create table zqgs (zqgsdm text, zqgsmc text);"
    "create unique index primarykey on zqgs (zqgsdm);";
// The records behind the findings, tied to a fileerr row by its fileid and its
// position among that file's rows (rowid order is the order written): one
// errfinding row per finding (its value counts a JSON array of
// {"field","value","count"}), one errrecord row per record (its values a JSON
// array of texts, in the order of the finding's `fields`). No indexes: a
// finding's records are read one finding at a time, and a store that holds no
// records stays as small as it was. Identity numbers are masked in both; a
// finding that has any keeps its real value counts (seq 0) and record values
// (seq n, as errrecord's) in errunmasked, read only when the operator asks,
// and errpersonal names its personal fields ("id" or "name").
constexpr const char* kFindingSchema =
    "create table if not exists errfinding (fileid integer, finding integer, errid text, tablekind text,"
    " fields text, total integer, kept integer, valuecounts text);"
    "create table if not exists errrecord (fileid integer, finding integer, seq integer, recno integer,"
    " vals text);"
    "create table if not exists errpersonal (fileid integer, finding integer, field text, personal text);"
    "create table if not exists errunmasked (fileid integer, finding integer, seq integer, vals text);";
constexpr const char* kFindingTables[] = {"errfinding", "errrecord", "errpersonal", "errunmasked"};
constexpr const char* kFindingsQuery =
    "select e.fileid, e.finding, f.filename, e.errid, e.errdesc, coalesce(r.kept, 0), coalesce(r.total, 0) from"
    " (select rowid as pos, fileid, errid, errdesc,"
    "  row_number() over (partition by fileid order by rowid) as finding from fileerr) e"
    " left join filelist f on f.fileid = e.fileid"
    " left join errfinding r on r.fileid = e.fileid and r.finding = e.finding"
    " order by e.fileid, e.finding";
// Room a run's rows need at least before it clears the last results.
constexpr uintmax_t kRoomNeeded = 64 << 10;
// Records of a finding read, masked and written at a time.
constexpr size_t kRecordBatch = 4096;
// Another connection (the run's, on its worker thread) may hold the write
// lock for one file row; waiting this long covers any such row.
constexpr int kBusyTimeoutMs = 10000;

struct CloseDb {
  void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct Finalize {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Db = std::unique_ptr<sqlite3, CloseDb>;
using Statement = std::unique_ptr<sqlite3_stmt, Finalize>;

StoreError Failure(std::string_view what, const char* why) {
  return StoreError("检查结果库" + std::string(what) + "失败：" + why);
}

[[noreturn]] void Fail(sqlite3* db, std::string_view what) { throw Failure(what, SqliteReason(db).c_str()); }

// Makes a stepped statement ready for reuse; returns the error text of the
// step (a reset may replace it).
std::string Rewind(sqlite3* db, sqlite3_stmt* stmt, int rc) {
  std::string error = rc == SQLITE_ROW || rc == SQLITE_DONE ? "" : SqliteReason(db);
  sqlite3_reset(stmt);
  sqlite3_clear_bindings(stmt);
  return error;
}

// Empty when the text does not compile (sqlite3_errmsg says why).
Statement TryPrepare(sqlite3* db, std::string_view sql) {
  sqlite3_stmt* stmt = nullptr;
  sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt, nullptr);
  return Statement(stmt);
}

Statement Prepare(sqlite3* db, std::string_view sql, std::string_view what) {
  Statement stmt = TryPrepare(db, sql);
  if (!stmt) Fail(db, what);
  return stmt;
}

std::string QuotedName(std::string_view name) {
  std::string q = "\"";
  for (char c : name) q += c == '"' ? std::string("\"\"") : std::string(1, c);
  return q + "\"";
}

// Steps a statement that returns no rows, then makes it ready for reuse.
void Run(sqlite3* db, sqlite3_stmt* stmt, std::string_view what) {
  const int rc = sqlite3_step(stmt);
  const std::string error = Rewind(db, stmt, rc);
  if (rc != SQLITE_DONE) throw Failure(what, error.c_str());
}

void Exec(sqlite3* db, const char* sql, std::string_view what) {
  if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) Fail(db, what);
}

void BindText(sqlite3_stmt* stmt, int index, std::string_view text) {
  sqlite3_bind_text(stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

std::optional<std::string> ColumnText(sqlite3_stmt* stmt, int column) {
  if (sqlite3_column_type(stmt, column) == SQLITE_NULL) return std::nullopt;
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, column));
  return std::string(text, static_cast<std::size_t>(sqlite3_column_bytes(stmt, column)));
}

std::string JsonArray(const std::vector<std::string>& texts) { return text::JsonText(texts); }

std::string JsonValueCounts(const std::vector<FindingRecords::ValueCount>& counts) {
  text::Json json = text::Json::array();
  for (const FindingRecords::ValueCount& v : counts)
    json.push_back({{"field", v.field}, {"value", v.value}, {"count", v.count}});
  return text::JsonText(json);
}

int64_t ColumnInt(sqlite3_stmt* stmt, int column) { return sqlite3_column_int64(stmt, column); }

struct Company {
  std::string code;  // first column of zqgs
  std::string name;  // second column of zqgs
};

// The company list shipped with the program: UTF-8, a header line, then
// "code,name" lines (no quoting; the name is everything after the first comma).
std::vector<Company> ReadCompanies(const fs::path& path) {
  std::vector<text::CsvRecord> records;
  try {
    records = text::DataFile(path, "公司清单文件").csvRecords();
  } catch (const text::DataFileError& e) {
    throw StoreError(e.what());
  }
  std::vector<Company> companies;
  for (size_t i = 1; i < records.size(); ++i) {  // the first is the heading
    const text::CsvRecord& r = records[i];
    if (r.fields.size() < 2 || r.fields[0].empty())
      throw StoreError(text::DataFile::Fault("公司清单文件", path, r.number, "应为“代码,名称”"));
    std::string name = r.fields[1];  // a name may hold commas of its own, quoted or not
    for (size_t f = 2; f < r.fields.size(); ++f) name += "," + r.fields[f];
    companies.push_back({r.fields[0], std::move(name)});
  }
  return companies;
}

Db OpenDb(const fs::path& file, int flags) {
  sqlite3* raw = nullptr;
  const int rc = sqlite3_open_v2(file.c_str(), &raw, flags, nullptr);
  Db db(raw);
  if (rc != SQLITE_OK) {
    if (!db) throw StoreError("检查结果库打开失败：内存不足");
    Fail(db.get(), "文件 " + file.string() + " 打开");
  }
  sqlite3_busy_timeout(db.get(), kBusyTimeoutMs);
  return db;
}

void BuildStore(const fs::path& file, const std::vector<Company>& companies) {
  Db db = OpenDb(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
  MakeDatabasePrivate(file);
  Exec(db.get(), "begin", "创建");
  Exec(db.get(), kSchema, "创建");
  Statement insert = Prepare(db.get(), "insert into zqgs (zqgsdm, zqgsmc) values (?, ?)", "创建");
  for (const Company& c : companies) {
    BindText(insert.get(), 1, c.code);
    BindText(insert.get(), 2, c.name);
    Run(db.get(), insert.get(), "写入公司清单（代码 " + c.code + "）");
  }
  Exec(db.get(), "commit", "创建");
}

// Moves the finished store into place unless another opener got there first
// (a store someone already uses must not be replaced by an empty one).
void Publish(const fs::path& temp, const fs::path& file) {
  if (renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, file.c_str(), RENAME_NOREPLACE) == 0) return;
  if (errno == EEXIST) return;
  if (errno != EINVAL && errno != ENOSYS)  // file systems without the no-replace flag fall through
    throw StoreError("无法创建检查结果库 " + file.string() + "：" + std::strerror(errno));
  if (!fs::exists(file)) fs::rename(temp, file);
}

std::string RandomSuffix() {
  std::random_device rd;
  std::ostringstream s;
  s << std::hex << rd() << rd();
  return s.str();
}

// Builds the store under a temporary name in the home and renames it into
// place, so that a crash never leaves a half-made store behind.
void CreateStore(const fs::path& file, const fs::path& dataDir) {
  const std::vector<Company> companies = ReadCompanies(dataDir / kCompanyFile);
  const fs::path temp = file.parent_path() / (file.filename().string() + "." + RandomSuffix() + ".tmp");
  std::error_code ec;
  try {
    BuildStore(temp, companies);
    Publish(temp, file);
  } catch (...) {
    fs::remove(temp, ec);
    fs::remove(temp.string() + "-journal", ec);
    throw;
  }
  fs::remove(temp, ec);
}

}  // namespace

struct Store::Impl {
  Db db;
  fs::path file;
  bool inFileRow = false;  // between beginFileRow() and addFileRow()/abandonFileRow()
  privacy::PersonalFields personalFields;  // the agreement's, as setPersonalFields gave them
  Statement begin, commit, rollback, clearFiles, clearErrs, insertFile, insertErr, insertFinding, insertRecord,
      insertPersonal, insertUnmasked, findCompany;
  std::vector<Statement> clearFindings;  // one per table of kFindingTables

  // One finding as readFindingRecords gives it; without its records unless `withRecords`.
  std::optional<FindingRecords> readFinding(int fileid, int finding, privacy::Masking masking, int64_t most);

  [[noreturn]] void refuse(std::string_view why) const {
    throw StoreError("文件 " + file.string() + " 不是本程序的检查结果库（" + std::string(why) +
                     "），程序没有改动它。");
  }

  // Only a file SQLite cannot take for a database, or whose schema is not
  // ours, is refused as foreign; a failure to read (I/O, a full disk, a
  // lock) is named as such, for the file may well be a sound store.
  [[noreturn]] void refuseUnreadable() const {
    const int code = sqlite3_errcode(db.get()) & 0xFF;
    if (code == SQLITE_NOTADB || code == SQLITE_CORRUPT || code == SQLITE_ERROR) refuse(SqliteReason(db.get()));
    Fail(db.get(), "文件 " + file.string() + " 读取");
  }

  // Reads only: a file that fails here is left exactly as it was.
  std::vector<std::string> companyColumns() {
    Statement info = Prepare(db.get(), "pragma table_info(zqgs)", "读取");
    std::vector<std::string> columns;
    while (sqlite3_step(info.get()) == SQLITE_ROW) columns.push_back(ColumnText(info.get(), 1).value_or(""));
    if (columns.size() < 2) refuse("公司清单表 zqgs 少于两列");
    return columns;
  }

  void verifyTables() {
    Statement tables = prepareOrRefuse("select name from sqlite_master where type='table'");
    std::vector<std::string> names;
    int rc;
    while ((rc = sqlite3_step(tables.get())) == SQLITE_ROW) names.push_back(ColumnText(tables.get(), 0).value_or(""));
    if (rc != SQLITE_DONE) refuseUnreadable();
    for (const char* wanted : {"filelist", "fileerr", "zqgs"}) {
      const bool found = std::any_of(names.begin(), names.end(),
                                     [&](const std::string& n) { return !strcasecmp(n.c_str(), wanted); });
      if (!found) refuse(std::string("缺少数据表 ") + wanted);
    }
  }

  Statement prepareOrRefuse(const std::string& sql) {
    Statement stmt = TryPrepare(db.get(), sql);
    if (!stmt) refuseUnreadable();
    return stmt;
  }

  void prepareStatements() {
    const std::vector<std::string> zqgs = companyColumns();
    begin = prepareOrRefuse("begin immediate");
    commit = prepareOrRefuse("commit");
    rollback = prepareOrRefuse("rollback");
    clearFiles = prepareOrRefuse("delete from filelist");
    clearErrs = prepareOrRefuse("delete from fileerr");
    insertFile = prepareOrRefuse(
        "insert into filelist (fileid, groupno, filecat, filename, isexist, isok, dbftype) "
        "values (?, ?, ?, ?, ?, ?, ?)");
    insertErr = prepareOrRefuse("insert into fileerr (fileid, errid, errdesc) values (?, ?, ?)");
    findCompany = prepareOrRefuse("select " + QuotedName(zqgs[1]) + " from zqgs where " + QuotedName(zqgs[0]) + " = ?");
  }

  void prepareFindingStatements() {
    for (const char* table : kFindingTables)
      clearFindings.push_back(Prepare(db.get(), std::string("delete from ") + table, "打开"));
    insertFinding = Prepare(db.get(),
                            "insert into errfinding (fileid, finding, errid, tablekind, fields, total, kept,"
                            " valuecounts) values (?, ?, ?, ?, ?, ?, ?, ?)",
                            "打开");
    insertRecord = Prepare(db.get(), "insert into errrecord (fileid, finding, seq, recno, vals) values (?, ?, ?, ?, ?)",
                           "打开");
    insertPersonal =
        Prepare(db.get(), "insert into errpersonal (fileid, finding, field, personal) values (?, ?, ?, ?)", "打开");
    insertUnmasked = Prepare(db.get(), "insert into errunmasked (fileid, finding, seq, vals) values (?, ?, ?, ?)", "打开");
  }

  void open() {
    db = OpenDb(file, SQLITE_OPEN_READWRITE);
    verifyTables();
    MakeDatabasePrivate(file);  // a store of an earlier version may still be world-readable
    prepareStatements();
    if (RegisterJetLike(db.get()) != SQLITE_OK) Fail(db.get(), "打开");
    // The journal mode is the first write; only a verified store gets it.
    // synchronous=normal keeps every committed row through a program crash.
    Exec(db.get(), "pragma journal_mode=wal; pragma synchronous=normal", "打开");
    Exec(db.get(), kFindingSchema, "升级");
    prepareFindingStatements();
  }

  // The personal fields among a finding's fields and tested fields.
  std::map<std::string, privacy::Personal> personalOf(const FindingRecords& f) const {
    std::map<std::string, privacy::Personal> personal;
    auto note = [&](const std::string& field) {
      if (privacy::Personal p = personalFields.of(f.table, field); p != privacy::Personal::None) personal[field] = p;
    };
    for (const std::string& field : f.fields) note(field);
    for (const FindingRecords::ValueCount& v : f.valueCounts) note(v.field);
    return personal;
  }

  // Keeps a finding's records with their identity numbers masked, and the
  // real values beside them when masking changed any; the records come a
  // batch at a time, each masked and written before the next is read.
  void insertFindingRows(const FindingRecords& f, size_t kept, const RecordBatches& batches) {
    FindingRecords head{f.fileid, f.finding, f.errid, f.table, f.fields, {}, f.total, f.valueCounts, personalOf(f)};
    for (const auto& [field, p] : head.personal) insertPersonalRow(f, field, p);
    const bool numbers = std::any_of(head.personal.begin(), head.personal.end(),
                                     [](const auto& p) { return p.second == privacy::Personal::IdentityNumber; });
    if (numbers) {
      insertUnmaskedRow(f, 0, JsonValueCounts(f.valueCounts));
      MaskFindingRecords(head, privacy::Masking::Numbers);
    }
    insertFindingRow(head, kept);
    FindingRecords batch = head;
    for (size_t first = 0; first < kept; first += kRecordBatch) {
      batch.records.clear();
      batches(first, std::min(kRecordBatch, kept - first), batch.records);
      int seq = static_cast<int>(first);
      if (numbers) {
        for (const FindingRecords::Record& r : batch.records) insertUnmaskedRow(f, ++seq, JsonArray(r.values));
        MaskFindingRecords(batch, privacy::Masking::Numbers);
        seq = static_cast<int>(first);
      }
      for (const FindingRecords::Record& r : batch.records) insertRecordRow(f, ++seq, r);
    }
  }

  void insertPersonalRow(const FindingRecords& f, const std::string& field, privacy::Personal p) {
    sqlite3_stmt* stmt = insertPersonal.get();
    sqlite3_bind_int(stmt, 1, f.fileid);
    sqlite3_bind_int(stmt, 2, f.finding);
    BindText(stmt, 3, field);
    BindText(stmt, 4, PersonalName(p));
    Run(db.get(), stmt, "写入问题记录明细");
  }

  void insertUnmaskedRow(const FindingRecords& f, int seq, const std::string& vals) {
    sqlite3_stmt* stmt = insertUnmasked.get();
    sqlite3_bind_int(stmt, 1, f.fileid);
    sqlite3_bind_int(stmt, 2, f.finding);
    sqlite3_bind_int(stmt, 3, seq);
    BindText(stmt, 4, vals);
    Run(db.get(), stmt, "写入问题记录明细");
  }

  void insertFindingRow(const FindingRecords& f, size_t kept) {
    sqlite3_stmt* stmt = insertFinding.get();
    sqlite3_bind_int(stmt, 1, f.fileid);
    sqlite3_bind_int(stmt, 2, f.finding);
    BindText(stmt, 3, f.errid);
    BindText(stmt, 4, f.table);
    BindText(stmt, 5, JsonArray(f.fields));
    sqlite3_bind_int64(stmt, 6, f.total);
    sqlite3_bind_int64(stmt, 7, static_cast<int64_t>(kept));
    BindText(stmt, 8, JsonValueCounts(f.valueCounts));
    Run(db.get(), stmt, "写入问题记录明细");
  }

  void insertRecordRow(const FindingRecords& f, int seq, const FindingRecords::Record& r) {
    sqlite3_stmt* stmt = insertRecord.get();
    sqlite3_bind_int(stmt, 1, f.fileid);
    sqlite3_bind_int(stmt, 2, f.finding);
    sqlite3_bind_int(stmt, 3, seq);
    sqlite3_bind_int64(stmt, 4, r.recno);
    BindText(stmt, 5, JsonArray(r.values));
    Run(db.get(), stmt, "写入问题记录明细");
  }

  // Runs `work` in a transaction of its own, rolled back when it fails.
  template <typename Work>
  void inTransaction(std::string_view what, Work&& work) {
    Run(db.get(), begin.get(), what);
    try {
      work();
      Run(db.get(), commit.get(), what);
    } catch (const StoreError&) {
      sqlite3_step(rollback.get());
      sqlite3_reset(rollback.get());
      throw;
    }
  }

  // A run begins by clearing the last results; a store with no room to grow
  // (a full disk, or a file size limit the process may not pass) would lose
  // them and fail on the next row, so the run is refused before the clearing.
  void requireRoom() const {
    std::error_code ec;
    const uintmax_t size = fs::file_size(file, ec);
    const fs::space_info space = fs::space(file.parent_path(), ec);
    rlimit limit{};
    const bool limited = getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY;
    const bool noSpace = !ec && space.available < kRoomNeeded;
    const bool noGrowth = limited && limit.rlim_cur < size + kRoomNeeded;
    if (noSpace || noGrowth)
      throw StoreError("检查结果库 " + file.string() + " 没有写入空间（不足64KB），上次的检查结果保留未动");
  }

  void requireNoFileRow() const {
    if (inFileRow) throw StoreError("检查结果库：上一个文件的记录尚未写完");
  }
};

Store::Store() : impl_(std::make_unique<Impl>()) {}
Store::~Store() = default;

std::unique_ptr<Store> Store::open(const fs::path& home, const fs::path& dataDir) {
  const fs::path file = home / kStoreName;
  RequireOrdinaryFile(file, "检查结果库");
  std::error_code ec;
  if (!fs::exists(file, ec)) CreateStore(file, dataDir);
  std::unique_ptr<Store> store(new Store);
  store->impl_->file = file;
  store->impl_->open();
  return store;
}

std::optional<std::string> Store::findCompany(std::string_view code) {
  sqlite3* db = impl_->db.get();
  sqlite3_stmt* stmt = impl_->findCompany.get();
  BindText(stmt, 1, code);
  const int rc = sqlite3_step(stmt);
  std::optional<std::string> name;
  if (rc == SQLITE_ROW) name = ColumnText(stmt, 0).value_or("");
  const std::string error = Rewind(db, stmt, rc);
  if (!error.empty()) throw Failure("查找公司", error.c_str());
  return name;
}

void Store::clearRun() {
  impl_->requireNoFileRow();
  impl_->requireRoom();
  sqlite3* db = impl_->db.get();
  impl_->inTransaction("清空", [&] {
    Run(db, impl_->clearFiles.get(), "清空");
    Run(db, impl_->clearErrs.get(), "清空");
    for (const Statement& clear : impl_->clearFindings) Run(db, clear.get(), "清空");
  });
}

void Store::beginFileRow() {
  impl_->requireNoFileRow();
  Run(impl_->db.get(), impl_->begin.get(), "写入");
  impl_->inFileRow = true;
}

void Store::addFileRow(const FileRow& row) {
  sqlite3* db = impl_->db.get();
  sqlite3_stmt* stmt = impl_->insertFile.get();
  sqlite3_bind_int(stmt, 1, row.fileid);
  sqlite3_bind_int(stmt, 2, row.groupno);
  BindText(stmt, 3, row.filecat);
  BindText(stmt, 4, row.filename);
  sqlite3_bind_int(stmt, 5, row.isexist);
  sqlite3_bind_int(stmt, 6, row.isok);
  if (row.dbftype) sqlite3_bind_int(stmt, 7, *row.dbftype);
  Run(db, stmt, "写入文件记录");
  if (!impl_->inFileRow) return;
  Run(db, impl_->commit.get(), "写入文件记录");
  impl_->inFileRow = false;
}

void Store::abandonFileRow() {
  if (!impl_->inFileRow) return;
  impl_->inFileRow = false;
  Run(impl_->db.get(), impl_->rollback.get(), "撤销文件记录");
}

void Store::addErrRow(int fileid, std::string_view errid, std::string_view errdesc) {
  sqlite3_stmt* stmt = impl_->insertErr.get();
  sqlite3_bind_int(stmt, 1, fileid);
  BindText(stmt, 2, errid);
  BindText(stmt, 3, errdesc);
  Run(impl_->db.get(), stmt, "写入问题记录");
}

void Store::setPersonalFields(privacy::PersonalFields fields) { impl_->personalFields = std::move(fields); }

void Store::addFindingRecords(const FindingRecords& records) {
  addFindingRecords(records, records.records.size(), [&](size_t first, size_t count, std::vector<FindingRecords::Record>& batch) {
    batch.assign(records.records.begin() + static_cast<std::ptrdiff_t>(first),
                 records.records.begin() + static_cast<std::ptrdiff_t>(first + count));
  });
}

void Store::addFindingRecords(const FindingRecords& records, size_t kept, const RecordBatches& batches) {
  if (impl_->inFileRow) return impl_->insertFindingRows(records, kept, batches);
  impl_->inTransaction("写入问题记录明细", [&] { impl_->insertFindingRows(records, kept, batches); });
}

int Store::findingCount(int fileid) {
  sqlite3* db = impl_->db.get();
  Statement stmt = Prepare(db, "select count(*) from fileerr where fileid = ?", "查询");
  sqlite3_bind_int(stmt.get(), 1, fileid);
  if (sqlite3_step(stmt.get()) != SQLITE_ROW) Fail(db, "查询");
  return sqlite3_column_int(stmt.get(), 0);
}

std::vector<FindingRow> Store::readFindings() {
  sqlite3* db = impl_->db.get();
  Statement stmt = Prepare(db, kFindingsQuery, "查询");
  std::vector<FindingRow> rows;
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW)
    rows.push_back({static_cast<int>(ColumnInt(stmt.get(), 0)), static_cast<int>(ColumnInt(stmt.get(), 1)),
                    ColumnText(stmt.get(), 2).value_or(""), ColumnText(stmt.get(), 3).value_or(""),
                    ColumnText(stmt.get(), 4).value_or(""), ColumnInt(stmt.get(), 5), ColumnInt(stmt.get(), 6)});
  if (rc != SQLITE_DONE) Fail(db, "查询");
  return rows;
}

namespace {

// Steps a statement bound to one finding, handing each row to `take`.
template <typename Take>
void EachRow(sqlite3* db, std::string_view sql, int fileid, int finding, Take&& take) {
  Statement stmt = Prepare(db, sql, "查询");
  sqlite3_bind_int(stmt.get(), 1, fileid);
  sqlite3_bind_int(stmt.get(), 2, finding);
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) take(stmt.get());
  if (rc != SQLITE_DONE) Fail(db, "查询");
}

// Puts the real values set aside for a finding in place of the masked ones,
// those of its value counts and of its first `most` records.
void Unmask(sqlite3* db, FindingRecords& f, int64_t most) {
  EachRow(db,
          "select u.seq, j.key, case u.seq when 0 then json_extract(j.value, '$.value') else j.value end"
          " from errunmasked u, json_each(u.vals) j where u.fileid = ? and u.finding = ? and u.seq <= " +
              std::to_string(most) + " order by u.seq, j.key",
          f.fileid, f.finding, [&](sqlite3_stmt* s) {
            const int64_t seq = ColumnInt(s, 0);
            const auto key = static_cast<size_t>(ColumnInt(s, 1));
            std::string value = ColumnText(s, 2).value_or("");
            if (seq == 0 && key < f.valueCounts.size()) f.valueCounts[key].value = std::move(value);
            if (seq > 0 && static_cast<size_t>(seq) <= f.records.size() && key < f.records[seq - 1].values.size())
              f.records[seq - 1].values[key] = std::move(value);
          });
}

}  // namespace

std::optional<FindingRecords> Store::readFindingRecords(int fileid, int finding, privacy::Masking masking,
                                                        int64_t most) {
  return impl_->readFinding(fileid, finding, masking, most);
}

std::optional<FindingRecords> Store::readFindingSummary(int fileid, int finding, privacy::Masking masking) {
  return impl_->readFinding(fileid, finding, masking, 0);
}

std::optional<FindingRecords> Store::Impl::readFinding(int fileid, int finding, privacy::Masking masking,
                                                       int64_t most) {
  sqlite3* db = this->db.get();
  std::optional<FindingRecords> found;
  EachRow(db, "select errid, tablekind, total from errfinding where fileid = ? and finding = ?", fileid, finding,
          [&](sqlite3_stmt* s) {
            found.emplace();
            found->fileid = fileid;
            found->finding = finding;
            found->errid = ColumnText(s, 0).value_or("");
            found->table = ColumnText(s, 1).value_or("");
            found->total = ColumnInt(s, 2);
          });
  if (!found) return found;
  EachRow(db,
          "select j.value from errfinding f, json_each(f.fields) j where f.fileid = ? and f.finding = ? "
          "order by j.key",
          fileid, finding, [&](sqlite3_stmt* s) { found->fields.push_back(ColumnText(s, 0).value_or("")); });
  if (most > 0)
    EachRow(db,
            "select r.seq, r.recno, j.key, j.value from errrecord r left join json_each(r.vals) j "
            "where r.fileid = ? and r.finding = ? and r.seq <= " + std::to_string(most) + " order by r.seq, j.key",
            fileid, finding, [&, seq = int64_t{-1}](sqlite3_stmt* s) mutable {
              if (ColumnInt(s, 0) != seq) found->records.push_back({ColumnInt(s, 1), {}});
              seq = ColumnInt(s, 0);
              if (sqlite3_column_type(s, 2) != SQLITE_NULL)
                found->records.back().values.push_back(ColumnText(s, 3).value_or(""));
            });
  EachRow(db,
          "select json_extract(j.value, '$.field'), json_extract(j.value, '$.value'), "
          "json_extract(j.value, '$.count') from errfinding f, json_each(f.valuecounts) j "
          "where f.fileid = ? and f.finding = ? order by j.key",
          fileid, finding, [&](sqlite3_stmt* s) {
            found->valueCounts.push_back(
                {ColumnText(s, 0).value_or(""), ColumnText(s, 1).value_or(""), ColumnInt(s, 2)});
          });
  EachRow(db, "select field, personal from errpersonal where fileid = ? and finding = ?", fileid, finding,
          [&](sqlite3_stmt* s) {
            // A mark this version does not know is taken for an identity number: masked rather than shown.
            found->personal[ColumnText(s, 0).value_or("")] =
                privacy::PersonalNamed(ColumnText(s, 1).value_or("")).value_or(privacy::Personal::IdentityNumber);
          });
  if (masking == privacy::Masking::Off) Unmask(db, *found, most);
  MaskFindingRecords(*found, masking);
  return found;
}

void Store::forgetRecords() {
  sqlite3* db = impl_->db.get();
  impl_->requireNoFileRow();
  // Deleted rows would stay readable in the file's free pages and in the
  // journal: overwrite them, then rebuild the file and empty the journal.
  Exec(db, "pragma secure_delete=on", "清除记录明细");
  impl_->inTransaction("清除记录明细", [&] {
    for (const Statement& clear : impl_->clearFindings) Run(db, clear.get(), "清除记录明细");
  });
  Exec(db, "vacuum", "清除记录明细");
  TruncateJournal(db, "检查结果库");
}

std::vector<FileRow> Store::selectPassedFiles(std::string_view query) {
  sqlite3* db = impl_->db.get();
  Statement stmt = Prepare(db, query, "查询");
  std::vector<FileRow> rows;
  int rc;
  while ((rc = sqlite3_step(stmt.get())) == SQLITE_ROW) {
    FileRow row;
    for (int i = 0; i < sqlite3_column_count(stmt.get()); ++i) {
      const char* name = sqlite3_column_name(stmt.get(), i);
      // One read per column: the type is undefined after a conversion.
      const std::optional<std::string> text = ColumnText(stmt.get(), i);
      const int number = text ? std::atoi(text->c_str()) : 0;
      if (!strcasecmp(name, "fileid")) row.fileid = number;
      else if (!strcasecmp(name, "groupno")) row.groupno = number;
      else if (!strcasecmp(name, "filecat")) row.filecat = text.value_or("");
      else if (!strcasecmp(name, "filename")) row.filename = text.value_or("");
      else if (!strcasecmp(name, "isexist")) row.isexist = number;
      else if (!strcasecmp(name, "isok")) row.isok = number;
      else if (!strcasecmp(name, "dbftype") && text) row.dbftype = number;
    }
    rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) Fail(db, "查询");
  // The query texts carry no sort clause; callers walk files in listing order.
  std::stable_sort(rows.begin(), rows.end(),
                   [](const FileRow& a, const FileRow& b) { return a.fileid < b.fileid; });
  return rows;
}

std::vector<ResultRow> Store::readResults() {
  std::vector<ResultRow> rows;
  for (auto& r : execute(kResultsQuery))
    rows.push_back({std::move(r[0]), std::move(r[1]), std::move(r[2]), std::move(r[3]), std::move(r[4]),
                    std::move(r[5]), std::move(r[6])});
  return rows;
}

std::vector<std::vector<std::optional<std::string>>> Store::execute(std::string_view sql) {
  sqlite3* db = impl_->db.get();
  std::vector<std::vector<std::optional<std::string>>> rows;
  while (!sql.empty()) {
    sqlite3_stmt* raw = nullptr;
    const char* tail = nullptr;
    if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &raw, &tail) != SQLITE_OK)
      Fail(db, "执行语句");
    sql.remove_prefix(static_cast<std::size_t>(tail - sql.data()));
    if (!raw) continue;  // only blanks or a comment were left
    Statement stmt(raw);
    int rc;
    while ((rc = sqlite3_step(raw)) == SQLITE_ROW) {
      auto& row = rows.emplace_back();
      for (int i = 0; i < sqlite3_column_count(raw); ++i) row.push_back(ColumnText(raw, i));
    }
    if (rc != SQLITE_DONE) Fail(db, "执行语句");
  }
  return rows;
}

}  // namespace fc::store
