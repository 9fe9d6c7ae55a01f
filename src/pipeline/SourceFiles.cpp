#include "pipeline/SourceFiles.h"

#include <fcntl.h>
#include <unistd.h>

namespace fc::pipeline {

FileIdentity IdentityOf(const struct stat& st) {
  return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), static_cast<int64_t>(st.st_size),
          static_cast<int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path) {
  struct stat st;
  if (stat(path.c_str(), &st) != 0) return std::nullopt;
  return IdentityOf(st);
}

int OpenRegularFile(const std::filesystem::path& path) {
  // O_NONBLOCK: opening a named pipe would otherwise wait for a writer.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return -1;
  struct stat st;
  if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
  close(fd);
  return -1;
}

}  // namespace fc::pipeline
