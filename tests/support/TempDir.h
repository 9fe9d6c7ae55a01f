// support/TempDir.h - a fresh directory under the system's temporary
// directory, removed with everything in it when the object goes away, and
// the bytes of a file.
#pragma once

#include <filesystem>
#include <string>

namespace fc::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // Writes `bytes` to path()/name and returns the full path.
  std::filesystem::path write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

// Reads a whole file (empty when it cannot be read).
std::string ReadFileBytes(const std::filesystem::path& file);

}  // namespace fc::test
