#include "query/Catalog.h"

#include <system_error>
#include <vector>

#include "dbf/Table.h"
#include "platform/Utf8Paths.h"
#include "query/Session.h"
#include "text/Text.h"

namespace fc::query {
namespace {

namespace fs = std::filesystem;

// The DBF files of `dir`, or an error message.
bool ListTables(const fs::path& dir, std::vector<fs::path>& out, std::string& error) {
  std::error_code ec;
  fs::file_status status = fs::status(dir, ec);
  if (!fs::exists(status)) {
    error = "目录不存在: " + platform::Utf8Of(dir);
    return false;
  }
  if (!fs::is_directory(status)) {
    error = "不是目录: " + platform::Utf8Of(dir);
    return false;
  }
  fs::directory_iterator it(dir, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    if (text::ToLower(platform::Utf8Of(p.extension())) == ".dbf" && it->is_regular_file(ec)) out.push_back(p);
  }
  if (ec) {
    error = "无法读取目录 " + platform::Utf8Of(dir) + ": " + ec.message();
    return false;
  }
  return true;
}

}  // namespace

Catalog::Catalog() = default;
Catalog::~Catalog() = default;

bool Catalog::open(const fs::path& dir, std::string& error) {
  close();
  std::vector<fs::path> files;
  if (!ListTables(dir, files, error)) return false;
  std::vector<TableFile> tables;
  for (const fs::path& file : files) tables.push_back({platform::Utf8Of(file.stem()), file});
  return open(tables, error);
}

bool Catalog::open(const std::vector<TableFile>& tables, std::string& error) {
  close();
  for (const auto& [tableName, file] : tables) {
    std::string name = platform::Utf8Of(file.filename());
    std::string why;
    auto table = dbf::Table::open(file, why);
    if (!table) {
      error = why.find(name) != std::string::npos ? why : name + ": " + why;
      close();
      return false;
    }
    std::string key = text::ToLower(tableName);
    files_[key].push_back(name);
    tables_[key] = std::move(table);
  }
  open_ = true;
  return true;
}

void Catalog::close() {
  indexes_.clear();  // indexes point into the mapped tables
  tables_.clear();
  files_.clear();
  open_ = false;
}

const dbf::Table& Catalog::table(std::string_view name) const {
  std::string key = text::ToLower(name);
  auto it = tables_.find(key);
  if (it != tables_.end() && files_.at(key).size() > 1) {
    std::string list;
    for (const std::string& f : files_.at(key)) list += (list.empty() ? "" : ", ") + f;
    throw QueryError("表名不唯一: " + std::string(name) + " 对应多个文件 " + list);
  }
  if (it == tables_.end()) throw QueryError("表不存在: " + std::string(name));
  return *it->second;
}

void Catalog::throwIfChanged() const {
  for (const auto& [name, table] : tables_)
    if (table->changed()) throw dbf::TableChanged(table->path());
}

std::shared_ptr<RowIndex> Catalog::index(const std::string& key,
                                         const std::function<std::shared_ptr<RowIndex>()>& build) {
  IndexSlot* slot = nullptr;
  {
    std::lock_guard lock(indexesLock_);
    std::unique_ptr<IndexSlot>& held = indexes_[key];
    if (!held) held = std::make_unique<IndexSlot>();
    slot = held.get();
  }
  std::call_once(slot->built, [&] { slot->index = build(); });
  return slot->index;
}

}  // namespace fc::query
