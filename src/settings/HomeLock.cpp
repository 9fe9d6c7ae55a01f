#include "settings/HomeLock.h"

#include "platform/SystemReason.h"
#include "platform/Utf8Paths.h"
#include "settings/PrivateFiles.h"

namespace fc::settings {

namespace {

constexpr const char* kLockFile = ".filingcheck.lock";

std::string FailureText(const std::filesystem::path& home, const std::filesystem::path& file,
                        const platform::FileLock& lock) {
  switch (lock.failure()) {
    case platform::LockFailure::None: return {};
    case platform::LockFailure::Busy: return "另一个检查正在使用" + platform::Utf8Of(home) + "运行，请等它结束后再开始检查。";
    case platform::LockFailure::Lock: return "无法锁定" + platform::Utf8Of(file) + "：" + platform::SystemReason(lock.error().value());
    case platform::LockFailure::Open: break;
  }
  if (lock.linkRefused()) return LinkRefusedText(file);
  // A lock file left by an earlier run that cannot be opened (a home on
  // read-only media, say) is not one that cannot be made.
  const char* failed = EntryAt(file) == HomeEntry::Missing ? "无法创建锁文件" : "无法打开锁文件";
  return failed + platform::Utf8Of(file) + "：" + platform::SystemReason(lock.error().value());
}

}  // namespace

HomeLock::HomeLock(const std::filesystem::path& home)
    : lock_(home / kLockFile), error_(FailureText(home, home / kLockFile, lock_)) {}

}  // namespace fc::settings
