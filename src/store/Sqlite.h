// store/Sqlite.h - the one owner of SQLite in the program: a connection to a
// database file of the application home and its prepared statements, for the
// check-run store, the run facts beside it and the run history. Every failure
// throws StoreError with its reason in the operator's words, named by what the
// connection holds and what was being done ("检查结果库写入问题记录失败：...").
//
//   fc::store::Connection db(file, fc::store::Access::Create, "运行历史");
//   db.exec("create table if not exists t (a text)");
//   fc::store::Query q = db.prepare("insert into t (a) values (?)");
//   q.bind(1, "x").run();
//   for (fc::store::Query s = db.prepare("select a from t"); s.next();) use(s.text(0));
//
// A statement is reset whenever a step ends or fails and after every run(), so
// a statement kept for reuse is always ready for its next bindings.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
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

// Refuses (StoreError) a link or anything but an ordinary file standing where
// the database file `file` of the home or one of its journal files (-wal,
// -shm, -journal) belongs; `what` names the database. Nothing there is no
// error: the file is made.
void RequireOrdinaryFile(const std::filesystem::path& file, const std::string& what);

class Query {
 public:
  Query(Query&&) noexcept;
  ~Query();

  Query& bind(int index, std::string_view text);
  Query& bind(int index, int number);
  Query& bind(int index, int64_t number);
  Query& bind(int index, double number);
  Query& bind(int index, const std::optional<int64_t>& number);  // NULL when empty
  // Steps to the next row; false at the end.
  bool next();
  // Steps once, any row it gives ignored.
  void run();
  // The same, naming `doing` in an error in place of what the statement was prepared for.
  void run(std::string_view doing);

  int columns() const;
  std::string text(int column) const;  // "" for NULL
  std::optional<std::string> optionalText(int column) const;
  int64_t integer(int column) const;
  double real(int column) const;
  std::optional<int64_t> optionalInteger(int column) const;

 private:
  friend class Connection;
  Query(sqlite3* db, std::string_view sql, std::string what, std::string_view doing);
  // Resets the statement after a failed step and throws with its reason.
  [[noreturn]] void fail(std::string_view doing);

  sqlite3* db_;                   // the connection's, which outlives the statement
  sqlite3_stmt* stmt_ = nullptr;  // owned; finalized with the query
  std::string what_;              // the connection's name for its database
  std::string doing_;             // what the statement does, in error texts
};

// How a connection opens its file.
enum class Access {
  Read,    // reads only
  Write,   // reads and writes a file that is there, leaving its mode alone
  Create,  // reads and writes, making the file when it is missing; made private once open
};

class Connection {
 public:
  // `what` names the database in error texts ("检查结果库", "运行历史") and
  // `fileWord` comes before the file's name when it cannot be opened. A link
  // in the file's place is refused, whatever `access` says (a link among the
  // directories above it is the operator's and is followed).
  Connection(const std::filesystem::path& file, Access access, std::string what, std::string_view fileWord = " ");
  ~Connection();
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  Connection(Connection&&) noexcept;

  // Runs one or more statements that return no rows.
  void exec(const std::string& sql, std::string_view doing = {});
  Query prepare(std::string_view sql, std::string_view doing = {});
  // The rowid of the latest row inserted on this connection.
  int64_t lastInsertId() const;
  // True when the latest failure says the file is not a database of this
  // program (not a database, damaged, or without a table or column a
  // statement names), rather than that it could not be read just now.
  bool failedAsForeign() const;
  // The operator's words for the latest failure.
  std::string failureReason() const;

  // Deletes with `erase` so that nothing deleted stays readable: the rows
  // overwritten, the file rebuilt and the journal emptied. Waits a little
  // for readers; when another program still reads the file, throws
  // StoreError saying so, for then the deleted values are still in it.
  void eraseForGood(std::string_view doing, const std::function<void()>& erase);

 private:
  friend class Transaction;
  void truncateJournal();

  sqlite3* db_ = nullptr;  // owned; closed with the connection
  std::string what_;       // names the database in error texts
};

// begin immediate ... commit; rolled back when left by an exception. `doing`
// names the work in the error of a failed begin, and of a failed commit or
// rollback unless they name their own.
class Transaction {
 public:
  explicit Transaction(Connection& db, std::string_view doing = {});
  ~Transaction();
  Transaction(const Transaction&) = delete;
  Transaction& operator=(const Transaction&) = delete;

  void commit(std::string_view doing = {});
  // Rolls back at once, throwing when that fails; the transaction is over either way.
  void rollback(std::string_view doing = {});

 private:
  Connection& db_;     // the connection it runs on
  std::string doing_;  // as begun
  bool open_ = true;   // neither committed nor rolled back yet
};

}  // namespace fc::store
