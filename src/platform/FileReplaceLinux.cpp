// platform/FileReplaceLinux.cpp - FileReplace.h on Linux: the temporary is an
// unnamed file (O_TMPFILE) where the file system has them, else a new file
// opened with O_NOFOLLOW; its bytes are synced before it takes the name, and
// the directory after, so the new name survives a power cut as well.
#include "platform/FileReplace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "platform/TempPath.h"

namespace fc::platform {

namespace fs = std::filesystem;

namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

bool IsLink(const fs::path& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

mode_t CreationMode(Access access) { return access == Access::OwnerOnly ? 0600 : 0666; }

// The descriptor made an ordinary file with the rights asked for; false with errno set.
bool Settle(int fd, Access access) {
  struct stat st {};
  if (::fstat(fd, &st) != 0) return false;
  if (!S_ISREG(st.st_mode)) {
    errno = EISDIR;
    return false;
  }
  return access != Access::OwnerOnly || ::fchmod(fd, 0600) == 0;
}

class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// A named temporary removed unless it took the file's name.
class TempFile {
 public:
  explicit TempFile(fs::path path) : path_(std::move(path)) {}
  TempFile(const TempFile&) = delete;
  TempFile& operator=(const TempFile&) = delete;
  ~TempFile() {
    if (owned_) ::unlink(path_.c_str());
  }
  const fs::path& path() const { return path_; }
  void release() { owned_ = false; }

 private:
  fs::path path_;
  bool owned_ = true;
};

class DescriptorOutput final : public Output {
 public:
  explicit DescriptorOutput(int fd) : fd_(fd) {}
  bool write(const void* bytes, size_t size) override {
    const char* at = static_cast<const char*>(bytes);
    while (size > 0) {
      const ssize_t n = ::write(fd_, at, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        if (n == 0) errno = EIO;
        return false;
      }
      at += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

 private:
  int fd_;
};

// The modification time asked for, then the bytes on the disk.
bool Finish(int fd, const WriteOptions& options) {
  if (options.modified) {
    const struct timespec times[2] = {{0, UTIME_NOW},
                                      {static_cast<time_t>(options.modified->seconds),
                                       static_cast<long>(options.modified->nanoseconds)}};
    if (::futimens(fd, times) != 0) return false;
  }
  return ::fsync(fd) == 0;
}

// The directory's entries on the disk; a file system that cannot sync a
// directory has its name anyway, so a failure here is not the write's.
void SyncDirectory(const fs::path& dir) {
  const int fd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

// Gives the named temporary the file's name; true when done or when a file
// that must stay was there (`kept`), false with errno set otherwise. Done,
// the temporary's name is gone.
bool TakeName(const fs::path& temp, const fs::path& file, Existing existing, bool& kept) {
  if (existing == Existing::Replace) return ::rename(temp.c_str(), file.c_str()) == 0;
  if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, file.c_str(), RENAME_NOREPLACE) == 0) return true;
  if (errno != EINVAL && errno != ENOSYS) return (kept = errno == EEXIST);
  // A file system without the no-replace rename: a hard link never replaces.
  if (::link(temp.c_str(), file.c_str()) == 0) return ::unlink(temp.c_str()), true;
  if (errno == EEXIST) return (kept = true);
  struct stat st {};
  if (::lstat(file.c_str(), &st) == 0) return (kept = true);
  return ::rename(temp.c_str(), file.c_str()) == 0;
}

WriteResult Failed(std::error_code error, const fs::path& at) { return {error, "", at, false}; }

WriteResult Named(const fs::path& temp, const fs::path& file, const WriteOptions& options) {
  WriteResult result;
  if (!TakeName(temp, file, options.existing, result.kept)) return Failed(LastError(), file);
  SyncDirectory(file.parent_path());
  return result;
}

// An unnamed file in the file's directory, or -1 where there are none.
int OpenUnnamed(const fs::path& file, Access access) {
  const fs::path dir = file.parent_path().empty() ? fs::path(".") : file.parent_path();
  const int fd = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, CreationMode(access));
  if (fd >= 0 && !Settle(fd, access)) {
    ::close(fd);
    return -1;
  }
  return fd;
}

// Names the finished unnamed file `fd`: straight at the file when none is
// there (a link never replaces, and a process killed at any moment leaves no
// name of its own behind), else under a temporary name renamed over it.
WriteResult NameUnnamed(int fd, const fs::path& file, const WriteOptions& options) {
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, file.c_str(), AT_SYMLINK_FOLLOW) == 0) {
    SyncDirectory(file.parent_path());
    return {};
  }
  if (options.existing == Existing::Keep)
    return errno == EEXIST ? WriteResult{{}, "", file, true} : Failed(LastError(), file);
  if (errno != EEXIST) return Failed(LastError(), file);
  TempFile temp(TempPath(file, TempName::Hidden));
  if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temp.path().c_str(), AT_SYMLINK_FOLLOW) != 0) {
    temp.release();
    return Failed(LastError(), file);
  }
  WriteResult result = Named(temp.path(), file, options);
  if (result && !result.kept) temp.release();
  return result;
}

// Opens the named temporary for writing: a new file, or for a fixed name
// the one an interrupted write left; -1 with errno set. What is not this
// write's own (a link, another's file, a pipe at the fixed name) is left
// where it is.
int OpenNamedTemp(TempFile& temp, const WriteOptions& options) {
  const bool fixed = options.tempName == TempName::Fixed;
  const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC | (fixed ? O_TRUNC : O_EXCL);
  const int fd = ::open(temp.path().c_str(), flags, CreationMode(options.access));
  if (fd >= 0 && Settle(fd, options.access)) return fd;
  const int error = errno;
  if (fd >= 0) ::close(fd);
  if (fd < 0 || fixed) temp.release();
  errno = error;
  return -1;
}

// Writes `content` to the open temporary `fd`; the failure, if any.
std::optional<WriteResult> Fill(int fd, const Content& content, const WriteOptions& options, const fs::path& file) {
  DescriptorOutput out(fd);
  std::string reason;
  errno = 0;
  if (!content(out, reason)) {
    if (!reason.empty()) return WriteResult{{}, reason, file, false};
    return Failed(errno ? LastError() : std::make_error_code(std::errc::io_error), file);
  }
  if (!Finish(fd, options)) return Failed(LastError(), file);
  return std::nullopt;
}

}  // namespace

WriteResult WriteFileThrough(const fs::path& file, const Content& content, const WriteOptions& options) {
  if (IsLink(file)) return Failed(std::make_error_code(std::errc::too_many_symbolic_link_levels), file);
  if (options.tempName == TempName::Hidden) {
    if (const int unnamed = OpenUnnamed(file, options.access); unnamed >= 0) {
      Descriptor fd(unnamed);
      if (std::optional<WriteResult> failure = Fill(fd.get(), content, options, file)) return *failure;
      return NameUnnamed(fd.get(), file, options);
    }
  }
  TempFile temp(TempPath(file, options.tempName));
  Descriptor fd(OpenNamedTemp(temp, options));
  if (fd.get() < 0) return Failed(LastError(), temp.path());
  if (std::optional<WriteResult> failure = Fill(fd.get(), content, options, file)) return *failure;
  if (!fd.close()) return Failed(LastError(), file);
  WriteResult result = Named(temp.path(), file, options);
  if (result && !result.kept) temp.release();
  return result;
}

WriteResult WriteFileByName(const fs::path& file, const ContentByName& content, const WriteOptions& options) {
  if (IsLink(file)) return Failed(std::make_error_code(std::errc::too_many_symbolic_link_levels), file);
  TempFile temp(TempPath(file, options.tempName));
  if (Descriptor made(OpenNamedTemp(temp, options)); made.get() < 0) return Failed(LastError(), temp.path());
  std::string reason;
  if (!content(temp.path(), reason)) return {{}, reason.empty() ? "写入失败" : reason, file, false};
  // The library may have made the file anew: it is looked at again, never through a link.
  Descriptor written(::open(temp.path().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (written.get() < 0 || !Settle(written.get(), options.access) || !Finish(written.get(), options))
    return Failed(LastError(), file);
  // A close can still fail the write (a network file system reports there),
  // as it does on Windows: the file must not take the name then.
  if (!written.close()) return Failed(LastError(), file);
  WriteResult result = Named(temp.path(), file, options);
  if (result && !result.kept) temp.release();
  return result;
}

}  // namespace fc::platform
