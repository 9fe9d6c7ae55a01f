// query/Catalog.h - the tables of a session directory and the hash indexes
// built over them.
//
// open() lists the directory once: every *.DBF file (extension in any letter
// case) is opened, which validates its header and maps it, and becomes the
// table named by its file name without extension, letter case ignored. The
// tables stay mapped until close(), so a file copied into the directory later
// is seen by the next open(), not by this one.
//
//   Catalog catalog;
//   if (!catalog.open(dir, error)) report(error);
//   const dbf::Table& t = catalog.table("khjbxx");          // throws QueryError
//   auto index = catalog.index(key, [&] { return build(); }); // built once per open()
#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "query/Keys.h"
#include "query/Session.h"

namespace fc::dbf {
class Table;
}

namespace fc::query {

class Catalog {
 public:
  Catalog();
  ~Catalog();
  Catalog(const Catalog&) = delete;
  Catalog& operator=(const Catalog&) = delete;

  // False with `error` set (a Chinese message naming the directory or file)
  // when the directory cannot be listed or one of its DBF files cannot be read.
  bool open(const std::filesystem::path& dir, std::string& error);
  // The same over the tables `tables` names, wherever their files are.
  bool open(const std::vector<TableFile>& tables, std::string& error);
  bool isOpen() const { return open_; }
  void close();

  // The table `name` (letter case ignored); QueryError naming it when the
  // directory has no such table, or has two files that differ only in case.
  const dbf::Table& table(std::string_view name) const;

  // Throws dbf::TableChanged for the first table whose file changed under
  // its reads (dbf::Table::changed()).
  void throwIfChanged() const;

  // The index kept under `key`, built by `build` on first request. A key
  // must spell out everything the index depends on: table, filter, keys.
  // Queries on several threads may ask at once: the first builds, the others
  // wait for it, so an index is built once (a build that throws is retried
  // by the next request).
  std::shared_ptr<RowIndex> index(const std::string& key,
                                  const std::function<std::shared_ptr<RowIndex>()>& build);

 private:
  bool open_ = false;
  std::map<std::string, std::unique_ptr<dbf::Table>> tables_;  // by lower-case name
  std::map<std::string, std::vector<std::string>> files_;      // lower-case name -> file names
  struct IndexSlot {
    std::once_flag built;            // the build ran to its end
    std::shared_ptr<RowIndex> index;
  };
  std::mutex indexesLock_;                                     // guards indexes_, not the slots
  std::map<std::string, std::unique_ptr<IndexSlot>> indexes_;  // by key
};

}  // namespace fc::query
