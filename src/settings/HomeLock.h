// settings/HomeLock.h - the exclusive lock a check run, or anything else that
// changes what a run works on (forgetting the home's customer data), holds on
// the application home.
//
//   fc::settings::HomeLock lock(home.home);
//   if (lock.busy()) refuse("a check is running");
//   else if (!lock.held()) fail(lock.error());
//
// An flock on `.filingcheck.lock` in the home. The lock belongs to the open
// file, so it is released however the holder ends (the process dying
// included), and a second holder, in this process or another, is refused at
// once instead of waiting. A link in the lock file's place is refused.
#pragma once

#include <filesystem>
#include <string>

namespace fc::settings {

class HomeLock {
 public:
  explicit HomeLock(const std::filesystem::path& home);
  ~HomeLock();
  HomeLock(const HomeLock&) = delete;
  HomeLock& operator=(const HomeLock&) = delete;

  bool held() const { return fd_ >= 0; }
  // Another holder has the lock (a check is running on the home).
  bool busy() const { return busy_; }
  // Why the lock is not held, for a check that wanted to start.
  const std::string& error() const { return error_; }

 private:
  int fd_ = -1;
  bool busy_ = false;
  std::string error_;
};

}  // namespace fc::settings
