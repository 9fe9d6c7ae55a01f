// support/Zip.h - ZIP archives for tests, written and read with libzip.
//
//   fc::test::ZipWriter(dir / "X.ZIP")
//       .add("X.DBF", dbfBytes)
//       .addSymlink("evil", "/etc/passwd")
//       .write();
//   std::map<std::string, std::string> entries = fc::test::ReadZip(dir / "X.ZIP");
//
// Entries are deflated unless stored(); names are written as given (so a
// test can make "../x" or "/abs" entries that a careful unpacker must refuse).
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/TempDir.h"  // ReadFileBytes, to compare an entry with its file

namespace fc::test {

class ZipWriter {
 public:
  explicit ZipWriter(std::filesystem::path archive);
  ZipWriter& add(const std::string& name, const std::string& bytes);
  // Adds the bytes of a file on disk under `name`.
  ZipWriter& addFile(const std::string& name, const std::filesystem::path& file);
  ZipWriter& addDirectory(const std::string& name);  // "sub/"
  ZipWriter& addSymlink(const std::string& name, const std::string& target);
  ZipWriter& addEncrypted(const std::string& name, const std::string& bytes);  // AES-256
  // The last entry added is stored instead of deflated.
  ZipWriter& stored();
  // Writes the archive; throws std::runtime_error on failure.
  void write();

 private:
  struct Entry {
    std::string name;   // as written into the archive
    std::string bytes;  // content (a symlink's target)
    enum Kind { File, Directory, Symlink } kind = File;
    bool encrypted = false;
    bool deflate = true;
  };
  std::filesystem::path archive_;
  std::vector<Entry> entries_;
};

// name -> content of every file entry; throws std::runtime_error when the
// archive cannot be read.
std::map<std::string, std::string> ReadZip(const std::filesystem::path& archive);

// The compression method and modification time of one entry.
struct ZipEntryInfo {
  int method = -1;     // ZIP_CM_*
  int64_t mtime = 0;   // seconds since the epoch (DOS time, 2-second steps)
};
ZipEntryInfo InspectZipEntry(const std::filesystem::path& archive, const std::string& name);

}  // namespace fc::test
