// platform/FileLockLinux.cpp - FileLock.h on Linux: the lock file is opened
// with O_NOFOLLOW (a link fails with ELOOP) and narrowed to 0600 through its
// descriptor, and the lock is an flock, which the open file carries.
#include "platform/FileLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace fc::platform {

namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

// The lock file open for writing, an ordinary file with the owner's rights
// alone whatever the umask; -1 with errno set (EISDIR for anything but an
// ordinary file).
int OpenLockFile(const std::filesystem::path& file) {
  const int fd = ::open(file.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) errno = EISDIR;
  else if (::fchmod(fd, 0600) == 0) return fd;
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return -1;
}

}  // namespace

struct FileLock::Handle {
  int fd;
};

FileLock::FileLock(const std::filesystem::path& file) {
  const int fd = OpenLockFile(file);
  if (fd < 0) {
    failure_ = LockFailure::Open;
    error_ = LastError();
    return;
  }
  if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
    handle_ = std::make_unique<Handle>(Handle{fd});
    return;
  }
  failure_ = errno == EWOULDBLOCK ? LockFailure::Busy : LockFailure::Lock;
  if (failure_ == LockFailure::Lock) error_ = LastError();
  ::close(fd);
}

FileLock::~FileLock() {
  if (handle_) ::close(handle_->fd);
}

}  // namespace fc::platform
