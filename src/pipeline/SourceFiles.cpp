#include "pipeline/SourceFiles.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

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

std::optional<std::string> UnreadableDirText(const std::string& dir) {
  DIR* listing = opendir(dir.c_str());
  if (listing) {
    closedir(listing);
    return std::nullopt;
  }
  std::string why;
  switch (errno) {
    case ENOENT: why = "目录不存在"; break;
    case ENOTDIR: why = "路径中有一项不是目录"; break;
    case EACCES: why = "没有读取权限"; break;
    case ENAMETOOLONG: why = "路径太长"; break;
    case ELOOP: why = "符号链接太多或成环"; break;
    default: why = std::strerror(errno);
  }
  return "无法读取目录" + dir + "：" + why;
}

}  // namespace fc::pipeline
