// platform/OverwriteFileLinux.cpp - OverwriteFile.h on Linux: O_TRUNC with
// O_NOFOLLOW (a link fails with ELOOP).
#include "platform/OverwriteFile.h"

#include <fcntl.h>
#include <unistd.h>

namespace fc::platform {

OverwriteFile::OverwriteFile(const std::filesystem::path& path)
    : file_(::open(path.c_str(), O_WRONLY | O_TRUNC | O_NOFOLLOW | O_CLOEXEC)) {}

OverwriteFile::~OverwriteFile() { close(); }

bool OverwriteFile::write(const uint8_t* data, size_t size) {
  while (file_ != -1 && size > 0) {
    const ssize_t written = ::write(static_cast<int>(file_), data, size);
    if (written < 0) return false;
    data += written;
    size -= static_cast<size_t>(written);
  }
  return file_ != -1;
}

bool OverwriteFile::close() {
  if (file_ == -1) return false;
  const int fd = static_cast<int>(file_);
  file_ = -1;
  return ::close(fd) == 0;
}

}  // namespace fc::platform
