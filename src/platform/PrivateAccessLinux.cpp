// platform/PrivateAccessLinux.cpp - PrivateAccess.h on Linux: modes 0700 and
// 0600 set explicitly after creation (the umask may leave less than the
// owner's rights), files opened with O_NOFOLLOW and narrowed through their
// descriptor.
#include "platform/PrivateAccess.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace fc::platform {

namespace fs = std::filesystem;

namespace {

constexpr mode_t kPrivateDirMode = S_IRWXU;
constexpr mode_t kPrivateFileMode = S_IRUSR | S_IWUSR;

std::error_code LastError() { return {errno, std::generic_category()}; }

}  // namespace

std::error_code MakePrivateDirectory(const fs::path& dir) {
  if (::mkdir(dir.c_str(), kPrivateDirMode) == 0)
    return ::chmod(dir.c_str(), kPrivateDirMode) == 0 ? std::error_code() : LastError();
  return errno == EEXIST ? std::error_code() : LastError();
}

std::error_code RemoveOthersRights(const fs::path& dir) {
  std::error_code ec;
  fs::permissions(dir, fs::perms::group_all | fs::perms::others_all, fs::perm_options::remove, ec);
  return ec;
}

bool OthersMayAccess(const fs::path& dir) {
  struct stat st {};
  return ::stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && (st.st_mode & (S_IRWXG | S_IRWXO)) != 0;
}

bool NarrowToOwner(const fs::path& dir) {
  struct stat st {};
  return ::stat(dir.c_str(), &st) == 0 && ::chmod(dir.c_str(), st.st_mode & S_IRWXU) == 0;
}

int OpenPrivateFile(const fs::path& file, Opening opening) {
  const int access = opening == Opening::Keep ? O_RDWR : O_WRONLY | O_TRUNC;
  const int fd = ::open(file.c_str(), access | O_CREAT | O_NOFOLLOW | O_CLOEXEC, kPrivateFileMode);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) errno = EISDIR;
  else if (::fchmod(fd, kPrivateFileMode) == 0) return fd;
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return -1;
}

void MakeFilePrivate(const fs::path& file) {
  ::fchmodat(AT_FDCWD, file.c_str(), kPrivateFileMode, AT_SYMLINK_NOFOLLOW);
}

std::optional<fs::path> MakePrivateTempFile(const fs::path& dir, std::string_view prefix) {
  std::string pattern = (dir / (std::string(prefix) + "XXXXXX")).string();
  const int fd = ::mkostemp(pattern.data(), O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  ::fchmod(fd, kPrivateFileMode);  // mkostemp's 0600 is narrowed further by a strict umask
  ::close(fd);
  return fs::path(pattern);
}

}  // namespace fc::platform
