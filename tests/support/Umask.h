// support/Umask.h - a umask set for a scope, and a file's permission bits.
//
//   for (mode_t mask : {022, 000}) {
//     fc::test::UmaskScope scope(mask);
//     ... EXPECT_EQ(fc::test::Mode(file), 0600);
//   }
#pragma once

#include <sys/stat.h>

#include <filesystem>

namespace fc::test {

class UmaskScope {
 public:
  explicit UmaskScope(mode_t mask) : saved_(::umask(mask)) {}
  ~UmaskScope() { ::umask(saved_); }
  UmaskScope(const UmaskScope&) = delete;
  UmaskScope& operator=(const UmaskScope&) = delete;

 private:
  mode_t saved_;
};

// The permission bits of `path` (not following a symbolic link); -1 when it cannot be read.
inline int Mode(const std::filesystem::path& path) {
  std::error_code ec;
  const std::filesystem::file_status st = std::filesystem::symlink_status(path, ec);
  return ec ? -1 : static_cast<int>(st.permissions() & std::filesystem::perms::mask);
}

}  // namespace fc::test
