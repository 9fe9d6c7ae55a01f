// platform/FileLockLinux.cpp - FileLock.h on Linux: the lock file is a
// private file (PrivateAccess.h: a link fails with ELOOP, the rights are
// narrowed to 0600), and the lock is an flock, which the open file carries.
#include "platform/FileLock.h"

#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "platform/PrivateAccess.h"

namespace fc::platform {

namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

}  // namespace

struct FileLock::Handle {
  int fd;
};

FileLock::FileLock(const std::filesystem::path& file) {
  const int fd = OpenPrivateFile(file, Opening::Keep);
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
