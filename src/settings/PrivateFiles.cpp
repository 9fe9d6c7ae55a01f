#include "settings/PrivateFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/SystemReason.h"

namespace fc::settings {

namespace fs = std::filesystem;

namespace {

constexpr mode_t kPrivateDirMode = S_IRWXU;
constexpr mode_t kPrivateFileMode = S_IRUSR | S_IWUSR;
// Far beyond any settings file; a huge file put in one's place is not read.
constexpr size_t kMostSettingsBytes = size_t{1} << 20;

// mkdir(2) with the private mode, narrowed explicitly since the umask may
// leave less than the owner's rights; true when made or already there.
bool MakeOneDir(const fs::path& dir) {
  if (::mkdir(dir.c_str(), kPrivateDirMode) == 0) return ::chmod(dir.c_str(), kPrivateDirMode) == 0;
  return errno == EEXIST;
}

}  // namespace

bool MakePrivateDir(const fs::path& dir, std::error_code& ec) {
  ec.clear();
  // Each missing parent is made here rather than by create_directories,
  // which would make it 0777 less the umask.
  fs::path made;
  for (const fs::path& part : dir) {
    made /= part;
    if (made == made.root_path()) continue;
    if (!MakeOneDir(made)) {
      ec = std::error_code(errno, std::generic_category());
      return false;
    }
  }
  if (!fs::is_directory(dir, ec)) return false;
  // Others lose every right; the owner's own stay as they are, so that a home
  // its owner made read-only is refused for that, not quietly made writable.
  fs::permissions(dir, fs::perms::group_all | fs::perms::others_all, fs::perm_options::remove, ec);
  return !ec;
}

std::string PrivateDirFailureText(const fs::path& dir, const std::error_code& ec) {
  std::error_code statEc;
  const fs::file_status status = fs::status(dir, statEc);
  if (!fs::exists(status)) return "无法创建目录" + dir.string() + "：" + platform::SystemReason(ec.value());
  if (!fs::is_directory(status)) return dir.string() + "已是一个文件，不是目录";
  if (ec.value() == EROFS) return "目录" + dir.string() + "在只读的文件系统上，无法写入";
  return "目录" + dir.string() + "无法设为仅本用户可访问：" + platform::SystemReason(ec.value());
}

int OpenPrivateFile(const fs::path& file, int flags) {
  const int fd = ::open(file.c_str(), flags | O_CREAT | O_NOFOLLOW | O_CLOEXEC, kPrivateFileMode);
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && !S_ISREG(st.st_mode)) errno = EISDIR;
  else if (::fchmod(fd, kPrivateFileMode) == 0) return fd;
  const int saved = errno;
  ::close(fd);
  errno = saved;
  return -1;
}

void MakePrivateFile(const fs::path& file) {
  if (EntryAt(file) == HomeEntry::File) ::fchmodat(AT_FDCWD, file.c_str(), kPrivateFileMode, AT_SYMLINK_NOFOLLOW);
}

HomeEntry EntryAt(const fs::path& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return errno == ENOENT ? HomeEntry::Missing : HomeEntry::Other;
  if (S_ISLNK(st.st_mode)) return HomeEntry::Link;
  if (S_ISREG(st.st_mode)) return HomeEntry::File;
  return S_ISDIR(st.st_mode) ? HomeEntry::Directory : HomeEntry::Other;
}

std::optional<std::string> ReadPrivateFile(const fs::path& file) {
  // O_NONBLOCK: a named pipe in the file's place is not waited for.
  const int fd = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> text;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && static_cast<size_t>(st.st_size) <= kMostSettingsBytes) {
    text.emplace(static_cast<size_t>(st.st_size), '\0');
    ssize_t n = 0;
    size_t done = 0;
    while (done < text->size() && ((n = ::read(fd, text->data() + done, text->size() - done)) > 0 || (n < 0 && errno == EINTR)))
      if (n > 0) done += static_cast<size_t>(n);
    if (n < 0) text.reset();
    else text->resize(done);
  }
  ::close(fd);
  return text;
}

std::string LinkRefusedText(const fs::path& path) {
  return path.string() + "是一个符号链接，本程序不经链接读写应用目录中的文件，它指向的文件没有被改动；请删除这个链接后重试。";
}

bool NarrowHome(const fs::path& home) {
  struct stat st {};
  if (::stat(home.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
  if ((st.st_mode & (S_IRWXG | S_IRWXO)) == 0) return false;
  return ::chmod(home.c_str(), st.st_mode & S_IRWXU) == 0;
}

std::string NarrowedHomeText(const fs::path& home) {
  return "应用目录" + home.string() + "原来其他用户也能读取，已改为只有本用户可以访问。";
}

}  // namespace fc::settings
