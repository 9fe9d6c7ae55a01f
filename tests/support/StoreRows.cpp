#include "support/StoreRows.h"

#include "store/Sqlite.h"

namespace fc::test {

SqlRows StoreRows(const std::filesystem::path& storeFile, std::string_view sql) {
  store::Connection db(storeFile, store::Access::Write, "检查结果库");
  SqlRows rows;
  for (store::Query q = db.prepare(sql); q.next();) {
    auto& row = rows.emplace_back();
    for (int i = 0; i < q.columns(); ++i) row.push_back(q.optionalText(i));
  }
  return rows;
}

SqlRows StoreRows(const store::Store& store, std::string_view sql) { return StoreRows(store.file(), sql); }

}  // namespace fc::test
