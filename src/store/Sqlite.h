// store/Sqlite.h - a small owner of one SQLite connection and its prepared
// statements, for the tables that sit beside the check results (run facts,
// the run history). Every failure throws StoreError with its reason in
// Chinese (SqliteReason).
//
//   fc::store::Connection db(file, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, "运行历史");
//   db.exec("create table if not exists t (a text)");
//   fc::store::Query q = db.prepare("insert into t (a) values (?)");
//   q.bind(1, "x").run();
//   for (fc::store::Query s = db.prepare("select a from t"); s.next();) use(s.text(0));
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "store/Store.h"

struct sqlite3;
struct sqlite3_stmt;

namespace fc::store {

// Makes a database file of the application home and its journal files
// private (0600). SQLite creates a file as 0644 less the umask, and its
// -wal, -shm and -journal files take the database file's mode, so narrowing
// the database file as it is opened keeps all of them private.
void MakeDatabasePrivate(const std::filesystem::path& file);

// Why the last call on `db` failed, in the operator's words with what to do
// (a locked, read-only or damaged file, a full disk).
std::string SqliteReason(sqlite3* db);

// Refuses (StoreError) a link or anything but an ordinary file standing where
// the database file `file` of the home or one of its journal files (-wal,
// -shm, -journal) belongs; `what` names the database. Nothing there is no
// error: the file is made.
void RequireOrdinaryFile(const std::filesystem::path& file, const std::string& what);

// Copies every page of the write-ahead journal of `db` into the database file and empties the journal, so that rows overwritten
// by a secure delete are gone from both. Waits a little for readers; when
// another program still reads the file, throws StoreError saying so, for
// then the deleted values are still in it.
void TruncateJournal(sqlite3* db, const std::string& what);

class Query {
 public:
  Query(sqlite3* db, std::string_view sql, const std::string& what);
  Query(Query&&) noexcept;
  ~Query();

  Query& bind(int index, std::string_view text);
  Query& bind(int index, int64_t number);
  Query& bind(int index, double number);
  Query& bind(int index, const std::optional<int64_t>& number);  // NULL when empty
  // Steps to the next row; false at the end.
  bool next();
  // Steps once, expecting no rows.
  void run();

  std::string text(int column) const;  // "" for NULL
  int64_t integer(int column) const;
  double real(int column) const;
  std::optional<int64_t> optionalInteger(int column) const;

 private:
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
  std::string what_;
};

class Connection {
 public:
  // `what` names the database in error texts ("检查结果库", "运行历史").
  // A link in the file's place is refused, whatever `flags` say (a link
  // among the directories above it is the operator's and is followed).
  Connection(const std::filesystem::path& file, int flags, std::string what);
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  void exec(const char* sql);
  Query prepare(std::string_view sql);
  sqlite3* handle() const { return db_; }
  const std::string& what() const { return what_; }

 private:
  sqlite3* db_ = nullptr;
  std::string what_;
};

// begin immediate ... commit; rolled back when left by an exception.
class Transaction {
 public:
  explicit Transaction(Connection& db);
  ~Transaction();
  void commit();

 private:
  Connection& db_;
  bool open_ = true;
};

}  // namespace fc::store
