// support/TempDir.h - a fresh directory under the system's temporary
// directory (or another parent), removed with everything in it when the
// object goes away, and the bytes of a file. Names given as text are UTF-8
// on every system.
#pragma once

#include <filesystem>
#include <string>

namespace fc::test {

class TempDir {
 public:
  // Throws std::runtime_error when no directory can be made under `parent`.
  explicit TempDir(const std::filesystem::path& parent = std::filesystem::temp_directory_path());
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const;
  // Writes `bytes` to path()/name and returns the full path.
  std::filesystem::path write(const std::string& name, const std::string& bytes) const;

 private:
  std::filesystem::path path_;
};

// Reads a whole file (empty when it cannot be read).
std::string ReadFileBytes(const std::filesystem::path& file);

}  // namespace fc::test
