// query/SharedPass.h - several count queries of one table answered together,
// in one pass over its records that can be cut into pieces for many threads.
//
// A table's rules mostly count the records that pass a where, each reading
// every record of the table; together they read each record once. add()
// compiles a query and takes it in when it is a count(*) without group by over
// the pass's table (the first query's); any other query is for the caller to
// answer on its own. scan() reads one piece of the records for every query
// taken in; pieces may be scanned on several threads at once, each thread
// with its own compiled copy of the queries. answer() then gives what
// Session::count would have, the records behind it in the capture.
//
//   SharedPass pass(session);
//   for (auto& q : queries) q.shared = pass.add(q.sql, q.capture);   // QueryError
//   parallel::ForEach(pass.pieces(), threads, [&](size_t p) { pass.scan(p); });
//   int32_t n = pass.answer(0);                      // QueryError, dbf::TableChanged
//
// A query that fails while a piece is scanned (a value out of range, say)
// makes scan() throw; the pass is then void and its queries are best asked
// one by one, so that the failure is that of the query that meets it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

namespace fc::query {

class Session;
struct RecordCapture;

class SharedPass {
 public:
  explicit SharedPass(Session& session);
  ~SharedPass();
  SharedPass(const SharedPass&) = delete;
  SharedPass& operator=(const SharedPass&) = delete;

  // Compiles `sql` (QueryError as Session::count); true when the pass
  // answers it, describing the records behind it into `capture` when not null.
  bool add(std::string_view sql, RecordCapture* capture);
  size_t size() const;

  // The pieces of the table's records; each is scanned once, on any thread.
  size_t pieces() const;
  void scan(size_t piece);

  // Once every piece is scanned: the count of the i-th query taken in.
  int32_t answer(size_t i);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace fc::query
