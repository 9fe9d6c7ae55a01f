#include "store/Sqlite.h"

#include <sqlite3.h>

#include <string>

#include "platform/Utf8Paths.h"
#include "platform/WriteLimits.h"
#include "settings/PrivateFiles.h"

namespace fc::store {

namespace {

// The database file and the files SQLite keeps beside it.
constexpr const char* kJournalSuffixes[] = {"", "-wal", "-shm", "-journal"};

// The database's own file (suffix "") or one of its journals, whatever the
// folder's name holds (a detour through std::string would spell it in the
// ANSI code page on Windows).
std::filesystem::path JournalFile(const std::filesystem::path& file, const char* suffix) {
  std::filesystem::path journal = file;
  return journal += suffix;
}
// Another connection (the run's) may hold the write lock for a while.
constexpr int kBusyTimeoutMs = 10000;
// A reader keeps its snapshot of the journal for as long as it reads; one
// that is still there after this long is not waited for.
constexpr int kReaderWaitMs = 2000;

// True when the database file of `db` lies on a file system mounted read-only.
bool OnReadOnlyMedia(sqlite3* db) {
  const char* file = sqlite3_db_filename(db, "main");  // UTF-8
  return file && *file && platform::OnReadOnlyVolume(std::u8string(reinterpret_cast<const char8_t*>(file)));
}

// Why the last call on `db` failed, in the operator's words with what to do
// (a locked, read-only or damaged file, a full disk).
std::string SqliteReason(sqlite3* db) {
  if (!db) return "内存不足";
  // A file that cannot be opened or written on read-only media (where even
  // reading needs to make the journal's index beside it) is neither missing
  // nor forbidden, whatever the last failed call says.
  const int code = sqlite3_errcode(db) & 0xFF;
  if ((code == SQLITE_CANTOPEN || code == SQLITE_READONLY) && OnReadOnlyMedia(db))
    return "应用目录所在的文件系统是只读的，数据库文件及其日志无法打开或写入，请使用可以写入的应用目录";
  switch (code) {
    case SQLITE_CANTOPEN:
      return "无法打开文件（文件或目录不存在、没有访问权限，或它是一个符号链接），请检查应用目录";
    case SQLITE_READONLY:
    case SQLITE_PERM:
    case SQLITE_AUTH:
      return "文件不能写入（只读或没有权限），请让本用户可以读写它和它所在的目录";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return "文件正被另一个程序使用，请关闭使用它的程序后重试";
    case SQLITE_FULL:
      return "磁盘已满或文件已达大小上限，请腾出空间后重试";
    case SQLITE_IOERR:
      return "读写文件时出错，请检查磁盘";
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB:
      return "文件已损坏或不是本程序的数据库文件";
    case SQLITE_NOMEM:
      return "内存不足";
    default:
      return std::string("数据库出错（") + sqlite3_errmsg(db) + "）";
  }
}

[[noreturn]] void Throw(sqlite3* db, const std::string& what) {
  throw StoreError(what + "失败：" + SqliteReason(db));
}

}  // namespace

void RequireOrdinaryFile(const std::filesystem::path& file, const std::string& what) {
  for (const char* suffix : kJournalSuffixes) {
    const std::filesystem::path path = JournalFile(file, suffix);
    switch (settings::EntryAt(path)) {
      case settings::HomeEntry::Missing:
      case settings::HomeEntry::File:
        continue;
      case settings::HomeEntry::Link:
        throw StoreError(what + "：" + settings::LinkRefusedText(path));
      default:
        throw StoreError(what + " " + platform::Utf8Of(path) + " 不是普通文件（可能是一个目录），程序没有改动它；请将它移走后重试。");
    }
  }
}

Query::Query(sqlite3* db, std::string_view sql, std::string what, std::string_view doing)
    : db_(db), what_(std::move(what)), doing_(doing) {
  if (sqlite3_prepare_v2(db, sql.data(), static_cast<int>(sql.size()), &stmt_, nullptr) != SQLITE_OK)
    Throw(db, what_ + doing_);
}

Query::Query(Query&& other) noexcept
    : db_(other.db_), stmt_(other.stmt_), what_(std::move(other.what_)), doing_(std::move(other.doing_)) {
  other.stmt_ = nullptr;
}

Query::~Query() { sqlite3_finalize(stmt_); }

Query& Query::bind(int index, std::string_view text) {
  sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
  return *this;
}

Query& Query::bind(int index, int number) {
  sqlite3_bind_int(stmt_, index, number);
  return *this;
}

Query& Query::bind(int index, int64_t number) {
  sqlite3_bind_int64(stmt_, index, number);
  return *this;
}

Query& Query::bind(int index, double number) {
  sqlite3_bind_double(stmt_, index, number);
  return *this;
}

Query& Query::bind(int index, const std::optional<int64_t>& number) {
  if (number) return bind(index, *number);
  sqlite3_bind_null(stmt_, index);
  return *this;
}

void Query::fail(std::string_view doing) {
  const std::string reason = SqliteReason(db_);  // the reset may replace it
  sqlite3_reset(stmt_);
  throw StoreError(what_ + std::string(doing) + "失败：" + reason);
}

bool Query::next() {
  const int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) fail(doing_);
  sqlite3_reset(stmt_);
  return false;
}

void Query::run() { run(doing_); }

void Query::run(std::string_view doing) {
  const int rc = sqlite3_step(stmt_);
  if (rc != SQLITE_ROW && rc != SQLITE_DONE) fail(doing);
  sqlite3_reset(stmt_);
}

int Query::columns() const { return sqlite3_column_count(stmt_); }

std::string Query::text(int column) const { return optionalText(column).value_or(""); }

std::optional<std::string> Query::optionalText(int column) const {
  const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
  if (!text) return std::nullopt;
  return std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, column)));
}

int64_t Query::integer(int column) const { return sqlite3_column_int64(stmt_, column); }

double Query::real(int column) const { return sqlite3_column_double(stmt_, column); }

std::optional<int64_t> Query::optionalInteger(int column) const {
  if (sqlite3_column_type(stmt_, column) == SQLITE_NULL) return std::nullopt;
  return integer(column);
}

void MakeDatabasePrivate(const std::filesystem::path& file) {
  for (const char* suffix : kJournalSuffixes) settings::MakePrivateFile(JournalFile(file, suffix));
}

Connection::Connection(const std::filesystem::path& file, Access access, std::string what, std::string_view fileWord)
    : what_(std::move(what)) {
  RequireOrdinaryFile(file, what_);
  const int flags = access == Access::Read     ? SQLITE_OPEN_READONLY
                    : access == Access::Write  ? SQLITE_OPEN_READWRITE
                                               : SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
  const std::u8string name = file.u8string();  // SQLite takes UTF-8 on every system
  const int rc = sqlite3_open_v2(reinterpret_cast<const char*>(name.c_str()), &db_, flags, nullptr);
  if (rc == SQLITE_OK && access == Access::Create) MakeDatabasePrivate(file);
  if (rc != SQLITE_OK) {
    std::string error = what_ + std::string(fileWord) + platform::Utf8Of(file) + " 打开失败：" + SqliteReason(db_);
    sqlite3_close_v2(db_);
    throw StoreError(error);
  }
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
}

Connection::Connection(Connection&& other) noexcept : db_(other.db_), what_(std::move(other.what_)) {
  other.db_ = nullptr;
}

Connection::~Connection() { sqlite3_close_v2(db_); }

void Connection::exec(const std::string& sql, std::string_view doing) {
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK) Throw(db_, what_ + std::string(doing));
}

Query Connection::prepare(std::string_view sql, std::string_view doing) { return Query(db_, sql, what_, doing); }

int64_t Connection::lastInsertId() const { return sqlite3_last_insert_rowid(db_); }

bool Connection::failedAsForeign() const {
  const int code = sqlite3_errcode(db_) & 0xFF;
  return code == SQLITE_NOTADB || code == SQLITE_CORRUPT || code == SQLITE_ERROR;
}

std::string Connection::failureReason() const { return SqliteReason(db_); }

void Connection::eraseForGood(std::string_view doing, const std::function<void()>& erase) {
  exec("pragma secure_delete=on", doing);
  Transaction t(*this, doing);
  erase();
  t.commit();
  exec("vacuum", doing);
  truncateJournal();
}

// Copies every page of the write-ahead journal into the database file and
// empties the journal, so that rows overwritten by a secure delete are gone
// from both.
void Connection::truncateJournal() {
  sqlite3_busy_timeout(db_, kReaderWaitMs);
  const int rc = sqlite3_wal_checkpoint_v2(db_, nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
  sqlite3_busy_timeout(db_, kBusyTimeoutMs);
  if (rc == SQLITE_OK) return;
  if (rc == SQLITE_BUSY)
    throw StoreError(what_ + " " + sqlite3_db_filename(db_, "main") +
                     " 正被另一个程序读取，删除的内容还留在文件中；请关闭读取它的程序（包括本程序打开的窗口）后重新清空。");
  Throw(db_, what_ + "清空日志");
}

Transaction::Transaction(Connection& db, std::string_view doing) : db_(db), doing_(doing) {
  db_.exec("begin immediate", doing_);
}

Transaction::~Transaction() {
  if (open_) sqlite3_exec(db_.db_, "rollback", nullptr, nullptr, nullptr);
}

void Transaction::commit(std::string_view doing) {
  db_.exec("commit", doing.empty() ? doing_ : doing);
  open_ = false;
}

void Transaction::rollback(std::string_view doing) {
  open_ = false;
  db_.exec("rollback", doing.empty() ? doing_ : doing);
}

}  // namespace fc::store
