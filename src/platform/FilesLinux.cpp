// platform/FilesLinux.cpp - Files.h on Linux: open(2) with O_NONBLOCK (a
// named pipe is not waited for), O_CLOEXEC and, when links are refused,
// O_NOFOLLOW; facts from fstat(2) and stat(2), the time from st_mtim.
#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace fc::platform {

namespace {

FileFacts FactsFrom(const struct stat& st) {
  return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino), static_cast<int64_t>(st.st_size),
          {static_cast<int64_t>(st.st_mtim.tv_sec), static_cast<int64_t>(st.st_mtim.tv_nsec)}, S_ISREG(st.st_mode)};
}

}  // namespace

int OpenForReading(const std::filesystem::path& file, Links links) {
  const int flags = O_RDONLY | O_NONBLOCK | O_CLOEXEC | (links == Links::Refuse ? O_NOFOLLOW : 0);
  const int fd = ::open(file.c_str(), flags);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) return fd;
  ::close(fd);
  errno = EISDIR;
  return -1;
}

int OpenToWait(const std::filesystem::path& file) { return ::open(file.c_str(), O_RDONLY | O_CLOEXEC); }

int64_t ReadSome(int fd, void* buffer, size_t size) {
  for (;;) {
    const ssize_t n = ::read(fd, buffer, size);
    if (n >= 0 || errno != EINTR) return n;
  }
}

int64_t ReadAt(int fd, void* buffer, size_t size, uint64_t offset) {
  for (;;) {
    const ssize_t n = ::pread(fd, buffer, size, static_cast<off_t>(offset));
    if (n >= 0 || errno != EINTR) return n;
  }
}

void AdviseSequential(int fd) { ::posix_fadvise(fd, 0, 0, POSIX_FADV_SEQUENTIAL); }

int CloseFile(int fd) { return ::close(fd); }

FILE* DuplicateAsStream(int fd) {
  const int copy = ::dup(fd);
  FILE* stream = copy < 0 ? nullptr : ::fdopen(copy, "rb");
  if (stream || copy < 0) return stream;
  const int saved = errno;
  ::close(copy);
  errno = saved;
  return nullptr;
}

std::optional<FileFacts> FactsOf(int fd) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return std::nullopt;
  return FactsFrom(st);
}

std::optional<FileFacts> FactsAt(const std::filesystem::path& path) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  return FactsFrom(st);
}

EntryKind KindAt(const std::filesystem::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? EntryKind::Missing : EntryKind::Other;
  if (S_ISLNK(st.st_mode)) return EntryKind::Link;
  if (S_ISREG(st.st_mode)) return EntryKind::File;
  return S_ISDIR(st.st_mode) ? EntryKind::Directory : EntryKind::Other;
}

std::error_code MayCreateIn(const std::filesystem::path& dir) {
  if (::access(dir.c_str(), W_OK | X_OK) == 0) return {};
  return {errno, std::generic_category()};
}

bool IsTerminal(FILE* stream) { return ::isatty(::fileno(stream)) == 1; }

FILE* OpenStream(const std::filesystem::path& file, const char* mode) {
  return std::fopen(file.c_str(), (std::string(mode) + "e").c_str());
}

std::string NarrowPathOf(const std::filesystem::path& path) { return path.native(); }

std::string StoredFileName(std::string_view name) { return std::string(name); }

}  // namespace fc::platform
