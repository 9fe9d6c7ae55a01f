// platform/ScratchFilesLinux.cpp - ScratchFiles.h on Linux: memory files,
// reached by path through /proc/self/fd, gone when their descriptors close.
#include "platform/ScratchFiles.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace fc::platform {

struct ScratchFiles::Held {
  std::vector<int> fds;
};

ScratchFiles::ScratchFiles() : held_(std::make_unique<Held>()) {}

ScratchFiles::~ScratchFiles() {
  for (int fd : held_->fds) ::close(fd);
}

std::filesystem::path ScratchFiles::create(const std::string& name, std::error_code& ec) {
  const int fd = memfd_create(name.c_str(), MFD_CLOEXEC);
  if (fd < 0) {
    ec.assign(errno, std::generic_category());
    return {};
  }
  ec.clear();
  held_->fds.push_back(fd);
  return "/proc/self/fd/" + std::to_string(fd);
}

}  // namespace fc::platform
