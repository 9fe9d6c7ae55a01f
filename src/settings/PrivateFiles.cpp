#include "settings/PrivateFiles.h"

#include <cerrno>

#include "platform/Files.h"
#include "platform/PrivateAccess.h"
#include "platform/SystemReason.h"
#include "platform/Utf8Paths.h"

namespace fc::settings {

namespace fs = std::filesystem;

namespace {

// Far beyond any settings file; a huge file put in one's place is not read.
constexpr size_t kMostSettingsBytes = size_t{1} << 20;

}  // namespace

bool MakePrivateDir(const fs::path& dir, std::error_code& ec) {
  ec.clear();
  // Each missing parent is made here rather than by create_directories,
  // which would make it 0777 less the umask.
  fs::path made;
  for (const fs::path& part : dir) {
    made /= part;
    if (made == made.root_path()) continue;
    if ((ec = platform::MakePrivateDirectory(made))) return false;
    // A file where a parent should be is told as such on every system
    // (Windows would only say that the folder below it cannot be found).
    if (made != dir && !fs::is_directory(made, ec)) {
      ec = std::make_error_code(std::errc::not_a_directory);
      return false;
    }
  }
  if (!fs::is_directory(dir, ec)) return false;
  // Others lose every right; the owner's own stay as they are, so that a home
  // its owner made read-only is refused for that, not quietly made writable.
  ec = platform::RemoveOthersRights(dir);
  return !ec;
}

std::string PrivateDirFailureText(const fs::path& dir, const std::error_code& ec) {
  std::error_code statEc;
  const fs::file_status status = fs::status(dir, statEc);
  if (!fs::exists(status)) return "无法创建目录" + platform::Utf8Of(dir) + "：" + platform::SystemReason(ec.value());
  if (!fs::is_directory(status)) return platform::Utf8Of(dir) + "已是一个文件，不是目录";
  if (ec.value() == EROFS) return "目录" + platform::Utf8Of(dir) + "在只读的文件系统上，无法写入";
  return "目录" + platform::Utf8Of(dir) + "无法设为仅本用户可访问：" + platform::SystemReason(ec.value());
}

void MakePrivateFile(const fs::path& file) {
  if (EntryAt(file) == HomeEntry::File) platform::MakeFilePrivate(file);
}

HomeEntry EntryAt(const fs::path& path) { return platform::KindAt(path); }

std::optional<std::string> ReadPrivateFile(const fs::path& file) {
  // A named pipe in the file's place is not waited for.
  const int fd = platform::OpenForReading(file, platform::Links::Refuse);
  if (fd < 0) return std::nullopt;
  std::optional<std::string> text;
  const std::optional<platform::FileFacts> facts = platform::FactsOf(fd);
  if (facts && static_cast<size_t>(facts->size) <= kMostSettingsBytes) {
    text.emplace(static_cast<size_t>(facts->size), '\0');
    int64_t n = 0;
    size_t done = 0;
    while (done < text->size() && (n = platform::ReadSome(fd, text->data() + done, text->size() - done)) > 0)
      done += static_cast<size_t>(n);
    if (n < 0) text.reset();
    else text->resize(done);
  }
  platform::CloseFile(fd);
  return text;
}

std::string LinkRefusedText(const fs::path& path) {
  return platform::Utf8Of(path) + "是一个符号链接，本程序不经链接读写应用目录中的文件，它指向的文件没有被改动；请删除这个链接后重试。";
}

bool NarrowHome(const fs::path& home) {
  return platform::OthersMayAccess(home) && platform::NarrowToOwner(home);
}

std::string NarrowedHomeText(const fs::path& home) {
  return "应用目录" + platform::Utf8Of(home) + "原来其他用户也能读取，已改为只有本用户可以访问。";
}

}  // namespace fc::settings
