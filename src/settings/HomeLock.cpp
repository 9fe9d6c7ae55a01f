#include "settings/HomeLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "settings/PrivateFiles.h"

namespace fc::settings {

namespace {

constexpr const char* kLockFile = ".filingcheck.lock";

}  // namespace

HomeLock::HomeLock(const std::filesystem::path& home) {
  const std::filesystem::path file = home / kLockFile;
  fd_ = OpenPrivateFile(file, O_RDWR);
  if (fd_ < 0) {
    error_ = errno == ELOOP ? LinkRefusedText(file) : "无法创建锁文件" + file.string() + ": " + std::strerror(errno);
    return;
  }
  if (flock(fd_, LOCK_EX | LOCK_NB) == 0) return;
  busy_ = errno == EWOULDBLOCK;
  error_ = busy_ ? "另一个检查正在使用" + home.string() + "运行，请等它结束后再开始检查。"
                 : "无法锁定" + file.string() + ": " + std::strerror(errno);
  close(fd_);
  fd_ = -1;
}

HomeLock::~HomeLock() {
  if (fd_ >= 0) close(fd_);
}

}  // namespace fc::settings
