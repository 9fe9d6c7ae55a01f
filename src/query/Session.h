// query/Session.h - the DBF query session: FoxPro-dialect SQL over a directory
// of DBF tables, as the data rules use it.
//
// Every *.DBF file of the directory is a table named by its file name without
// extension, letter case ignored. Queries have the FoxPro meaning of the rules:
// blank-padded text equality, exact decimals, blank numerics as 0, NULL only
// from _NullFlags bits, three-valued logic, deleted records invisible.
//
//   fc::query::Session session;
//   std::string error;
//   if (!session.open(dir, error)) { show(error); }
//   int n = session.count("select count(*) from khjbxx where sjrq='20080808'");
//   int g = session.rows("select count(*) from khjbxx group by zjzh");
//   RecordCapture capture;                                   // query/Capture.h
//   int d = session.rows("select count(*) from khjbxx group by zjzh", capture);
//   session.close();
//
// A query that cannot run (syntax, unknown table or column, an unsupported
// construct) throws QueryError naming the cause. open() validates and maps
// every table of the directory; files copied in later are seen by the next
// open(). Hash indexes built for one query (an exists over khjbxx, say) are
// kept until close() and serve later queries that need the same one.
//
// A table whose file shrinks or fails under a query (another program
// truncates it) makes that query throw dbf::TableChanged naming the file,
// instead of answering from what was left of it.
//
// open() and close() belong to one thread; between them, queries may run on
// several threads at once (the tables are only read, and a hash index is
// built once whoever needs it first).
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fc::query {

struct Plan;
struct RecordCapture;

class QueryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A table that belongs to no directory: the name queries give it, and its file.
struct TableFile {
  std::string name;
  std::filesystem::path file;
};

// A fully fetched result, values as display texts (UTF-8; NULL as "NULL").
struct ResultSet {
  std::vector<std::string> columns;
  std::vector<std::vector<std::string>> rows;
};

class Session {
 public:
  Session();
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // False with `error` set when the directory is missing or
  // unreadable, or holds a DBF that cannot be read.
  bool open(const std::filesystem::path& dir, std::string& error);
  // The same over the tables `tables` names, wherever their files are.
  bool open(const std::vector<TableFile>& tables, std::string& error);
  bool isOpen() const;
  // What a count query counts: the first column of the first row as a
  // 32-bit integer. QueryError, never a made-up number, when there is no row
  // or the value is NULL, not a whole number, or outside the 32-bit range.
  int32_t count(std::string_view sql);
  // The number of rows of the fully fetched result (counted, not fetched);
  // QueryError beyond the 32-bit range.
  int32_t rows(std::string_view sql);
  // The same, describing into `capture` the records behind the result
  // (query/Capture.h), gathered in the pass that counts.
  int32_t count(std::string_view sql, RecordCapture& capture);
  int32_t rows(std::string_view sql, RecordCapture& capture);
  // The whole result, for operators looking into a table.
  ResultSet run(std::string_view sql);
  // At most the first `maxRows` rows of it, for a look into a large table.
  ResultSet run(std::string_view sql, size_t maxRows);
  // Does nothing when the session is not open.
  void close();

 private:
  friend class SharedPass;
  // What SharedPass needs of the session: a compiled query, the check that
  // no table changed under its reads, and a count as count() answers it.
  Plan plan(std::string_view sql);
  void throwIfChanged() const;
  static int32_t countAnswer(int64_t n);

  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace fc::query
