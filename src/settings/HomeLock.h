// settings/HomeLock.h - the exclusive lock a check run, or anything else that
// changes what a run works on (forgetting the home's customer data), holds on
// the application home.
//
//   fc::settings::HomeLock lock(home.home);
//   if (lock.busy()) refuse("a check is running");
//   else if (!lock.held()) fail(lock.error());
//
// A platform::FileLock on `.filingcheck.lock` in the home: released however
// the holder ends (the process dying included), a second holder, in this
// process or another, refused at once instead of waiting, a link in the lock
// file's place refused. This unit gives the operator's words for each.
#pragma once

#include <filesystem>
#include <string>

#include "platform/FileLock.h"

namespace fc::settings {

class HomeLock {
 public:
  explicit HomeLock(const std::filesystem::path& home);

  bool held() const { return lock_.held(); }
  // Another holder has the lock (a check is running on the home).
  bool busy() const { return lock_.failure() == platform::LockFailure::Busy; }
  // Why the lock is not held, for a check that wanted to start.
  const std::string& error() const { return error_; }

 private:
  platform::FileLock lock_;
  std::string error_;
};

}  // namespace fc::settings
