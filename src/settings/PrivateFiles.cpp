#include "settings/PrivateFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace fc::settings {

namespace fs = std::filesystem;

namespace {

constexpr fs::perms kPrivateDir = fs::perms::owner_all;
constexpr mode_t kPrivateFileMode = S_IRUSR | S_IWUSR;

}  // namespace

bool MakePrivateDir(const fs::path& dir, std::error_code& ec) {
  fs::create_directories(dir, ec);
  if (ec || !fs::is_directory(dir, ec)) return false;
  fs::permissions(dir, kPrivateDir, fs::perm_options::replace, ec);
  return !ec;
}

int OpenPrivateFile(const fs::path& file, int flags) {
  const int fd = ::open(file.c_str(), flags | O_CREAT | O_CLOEXEC, kPrivateFileMode);
  if (fd < 0 || ::fchmod(fd, kPrivateFileMode) == 0) return fd;
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return -1;
}

void MakePrivateFile(const fs::path& file) { ::chmod(file.c_str(), kPrivateFileMode); }

bool NarrowHome(const fs::path& home) {
  struct stat st {};
  if (::stat(home.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  if ((st.st_mode & (S_IRWXG | S_IRWXO)) == 0) return false;
  return ::chmod(home.c_str(), S_IRWXU) == 0;
}

std::string NarrowedHomeText(const fs::path& home) {
  return "应用目录" + home.string() + "原来其他用户也能读取，已改为只有本用户可以访问。";
}

}  // namespace fc::settings
