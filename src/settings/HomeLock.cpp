#include "settings/HomeLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "settings/PrivateFiles.h"
#include "platform/SystemReason.h"

namespace fc::settings {

namespace {

constexpr const char* kLockFile = ".filingcheck.lock";

}  // namespace

HomeLock::HomeLock(const std::filesystem::path& home) {
  const std::filesystem::path file = home / kLockFile;
  fd_ = OpenPrivateFile(file, O_RDWR);
  if (fd_ < 0) {
    const int reason = errno;
    // A lock file left by an earlier run that cannot be opened (a home on
    // read-only media, say) is not one that cannot be made.
    const char* failed = EntryAt(file) == HomeEntry::Missing ? "无法创建锁文件" : "无法打开锁文件";
    error_ = reason == ELOOP ? LinkRefusedText(file) : failed + file.string() + "：" + platform::SystemReason(reason);
    return;
  }
  if (flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
  busy_ = errno == EWOULDBLOCK;
  error_ = busy_ ? "另一个检查正在使用" + home.string() + "运行，请等它结束后再开始检查。"
                 : "无法锁定" + file.string() + "：" + platform::SystemReason(errno);
  close(fd_);
  fd_ = -1;
}

HomeLock::~HomeLock() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace fc::settings
