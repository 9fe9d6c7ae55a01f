// support/TempDir.h - a fresh directory under the system's temporary
// directory, removed with everything in it when the object goes away.
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

}  // namespace fc::test
