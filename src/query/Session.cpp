#include "query/Session.h"

#include <limits>

#include "dbf/Table.h"
#include "query/Capture.h"
#include "query/Catalog.h"
#include "query/Compiler.h"
#include "query/Executor.h"
#include "query/Parser.h"
#include "text/Text.h"

namespace fc::query {
namespace {

int32_t ToInt32(int64_t v, const std::string& what) {
  if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
    throw QueryError("查询结果超出32位整数范围: " + what);
  return static_cast<int32_t>(v);
}

// A display text that holds an integer: digits with an optional sign and an
// optional fraction of zeros ("12", "-3", "5.00").
int32_t IntegerCell(const std::string& cell) {
  if (cell == "NULL") throw QueryError("查询结果为NULL, 不是整数");
  size_t i = cell.size() > 0 && cell[0] == '-' ? 1 : 0, digits = 0;
  int64_t v = 0;
  for (; i < cell.size() && text::IsDigit(cell[i]); ++i, ++digits) {
    if (digits == 18) throw QueryError("查询结果超出32位整数范围: " + cell);
    v = v * 10 + (cell[i] - '0');
  }
  if (i < cell.size() && cell[i] == '.')
    for (++i; i < cell.size() && cell[i] == '0'; ++i) {
    }
  if (digits == 0 || i != cell.size()) throw QueryError("查询结果不是整数: " + cell);
  return ToInt32(cell[0] == '-' ? -v : v, cell);
}

}  // namespace

struct Session::Impl {
  Catalog catalog;

  Plan plan(std::string_view sql) {
    if (!catalog.isOpen()) throw QueryError("查询会话未打开");
    return Compile(*Parse(sql), catalog);
  }

  // Runs `sql` through `answer`; a table that changed under it makes the
  // answer (or the failure that its zeros caused) void.
  template <typename Answer>
  auto guarded(std::string_view sql, Answer answer) {
    try {
      Plan p = plan(sql);
      auto result = answer(p);
      catalog.throwIfChanged();
      return result;
    } catch (const QueryError&) {
      catalog.throwIfChanged();
      throw;
    }
  }

  int32_t count(std::string_view sql, RecordCapture* capture) {
    return guarded(sql, [&](Plan& p) {
      Records behind;
      ResultSet r = Fetch(p, 1, capture ? &behind : nullptr);
      if (r.rows.empty()) throw QueryError("查询没有返回记录: " + std::string(sql));
      const int32_t n = IntegerCell(r.rows[0][0]);
      if (capture) Describe(p, behind, *capture);
      return n;
    });
  }

  int32_t rows(std::string_view sql, RecordCapture* capture) {
    return guarded(sql, [&](Plan& p) {
      Records behind;
      const int32_t n = ToInt32(CountRows(p, capture ? &behind : nullptr), std::string(sql));
      if (capture) Describe(p, behind, *capture);
      return n;
    });
  }
};

Session::Session() : impl_(std::make_unique<Impl>()) {}
Session::~Session() = default;

bool Session::open(const std::filesystem::path& dir, std::string& error) {
  return impl_->catalog.open(dir, error);
}

bool Session::open(const std::vector<TableFile>& tables, std::string& error) {
  return impl_->catalog.open(tables, error);
}

bool Session::isOpen() const { return impl_->catalog.isOpen(); }

int32_t Session::count(std::string_view sql) { return impl_->count(sql, nullptr); }

int32_t Session::rows(std::string_view sql) { return impl_->rows(sql, nullptr); }

int32_t Session::count(std::string_view sql, RecordCapture& capture) { return impl_->count(sql, &capture); }

int32_t Session::rows(std::string_view sql, RecordCapture& capture) {
  return impl_->rows(sql, &capture);
}

ResultSet Session::run(std::string_view sql) { return run(sql, std::numeric_limits<size_t>::max()); }

ResultSet Session::run(std::string_view sql, size_t maxRows) {
  return impl_->guarded(sql, [maxRows](Plan& plan) { return Fetch(plan, maxRows); });
}

void Session::close() { impl_->catalog.close(); }

Plan Session::plan(std::string_view sql) { return impl_->plan(sql); }

void Session::throwIfChanged() const { impl_->catalog.throwIfChanged(); }

int32_t Session::countAnswer(int64_t n) { return ToInt32(n, std::to_string(n)); }

}  // namespace fc::query
