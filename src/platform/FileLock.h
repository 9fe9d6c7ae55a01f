// platform/FileLock.h - an exclusive lock on a file, taken at once or not at
// all, for one holder at a time of something on disk (the application home).
//
//   fc::platform::FileLock lock(home / ".filingcheck.lock");
//   if (lock.held()) work();
//   else if (lock.failure() == fc::platform::LockFailure::Busy) refuse("in use");
//   else if (lock.linkRefused()) fail("a link stands at the lock file");
//   else fail(fc::platform::SystemReason(lock.error().value()));
//
// The lock file is made when missing, never reached through a link (a link at
// its place is refused and left as it is), and has the owner's rights alone.
// The lock belongs to the open file, so it is released when the FileLock goes
// or the process ends however it ends, and a second holder, in this process or
// another, is refused at once instead of waiting.
#pragma once

#include <filesystem>
#include <memory>
#include <system_error>

namespace fc::platform {

enum class LockFailure {
  None,  // the lock is held
  Open,  // the lock file could not be made or opened
  Busy,  // another holder has the lock
  Lock,  // the lock file is open, the system would not lock it
};

class FileLock {
 public:
  explicit FileLock(const std::filesystem::path& file);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool held() const { return failure_ == LockFailure::None; }
  LockFailure failure() const { return failure_; }
  // The system's failure for LockFailure::Open and LockFailure::Lock.
  const std::error_code& error() const { return error_; }
  bool linkRefused() const { return error_ == std::errc::too_many_symbolic_link_levels; }

 private:
  struct Handle;  // the open lock file, as the system has it
  std::unique_ptr<Handle> handle_;
  LockFailure failure_ = LockFailure::None;
  std::error_code error_;
};

}  // namespace fc::platform
