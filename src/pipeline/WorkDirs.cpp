#include "pipeline/WorkDirs.h"

#include <algorithm>

#include "naming/PortableNames.h"
#include "platform/FileReplace.h"
#include "platform/PrivateAccess.h"
#include "platform/Utf8Paths.h"
#include "settings/PrivateFiles.h"
#include "text/Text.h"

namespace fc::pipeline {

namespace fs = std::filesystem;

namespace {

bool IsOrdinaryFile(const fs::directory_entry& entry) {
  std::error_code ec;
  return entry.is_regular_file(ec);
}

}  // namespace

std::string SwapLastThree(std::string_view fileName, std::string_view ending) {
  return std::string(fileName.substr(0, fileName.size() < 3 ? 0 : fileName.size() - 3)) + std::string(ending);
}

std::vector<fs::path> FilesNamedAlike(const fs::path& dir, std::string_view name) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
    if (naming::SameNameOnWindows(platform::Utf8Of(it->path().filename()), name) && IsOrdinaryFile(*it))
      files.push_back(it->path());
  std::sort(files.begin(), files.end());
  return files;
}

std::optional<fs::path> FindFileNoCase(const fs::path& dir, std::string_view name) {
  std::optional<fs::path> found;
  for (const fs::path& file : FilesNamedAlike(dir, name)) {
    const std::string spelling = platform::Utf8Of(file.filename());
    if (spelling == name) return file;
    if (!found && text::EqualsNoCase(spelling, name)) found = file;
  }
  return found;
}

void EmptyWorkDir(const fs::path& dir) {
  // A link in the directory's place is never listed through.
  if (settings::EntryAt(dir) != settings::HomeEntry::Directory) return;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code statEc;
    if (it->symlink_status(statEc).type() == fs::file_type::directory) continue;
    std::error_code removeEc;
    fs::remove(it->path(), removeEc);
  }
}

bool PrepareWorkDir(const fs::path& dir, std::string& error) {
  std::error_code ec;
  const settings::HomeEntry entry = settings::EntryAt(dir);
  // A link is the one thing put right: the link goes, never what it points to.
  if (entry == settings::HomeEntry::Link) fs::remove(dir, ec);
  if (entry == settings::HomeEntry::Directory) EmptyWorkDir(dir);
  if (!ec && settings::MakePrivateDir(dir, ec)) return true;
  error = "无法创建工作目录" + platform::Utf8Of(dir) + ": " + (ec ? ec.message() : "已有同名文件");
  return false;
}

bool ClearScratchDir(const fs::path& dir, std::string& error) {
  std::error_code ec;
  switch (settings::EntryAt(dir)) {
    case settings::HomeEntry::Missing:
      return true;
    case settings::HomeEntry::Link:
      fs::remove(dir, ec);
      break;
    case settings::HomeEntry::Directory:
      for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) fs::remove_all(it->path(), ec);
      break;
    default:
      break;
  }
  if (!ec) return true;
  error = "无法清空工作目录" + platform::Utf8Of(dir) + ": " + ec.message();
  return false;
}

std::optional<fs::path> MakeTempFile(const fs::path& dir, std::string_view stem) {
  return platform::MakePrivateTempFile(dir, "." + std::string(stem) + ".");
}

bool LinkOrCopyFile(const fs::path& from, const fs::path& to) {
  std::error_code ec;
  // A hard link to a symbolic link would be the link itself, which read
  // from `to`'s directory may point elsewhere or nowhere: take its file.
  const fs::path file = fs::is_symlink(from, ec) ? fs::canonical(from, ec) : from;
  fs::remove(to, ec);
  fs::create_hard_link(file, to, ec);
  if (!ec) return true;
  // A copy takes its source's mode; in the home it is private.
  return static_cast<bool>(platform::WriteFileByName(to, [&](const fs::path& temp, std::string&) {
    // Copied onto no file: MinGW's copy_file refuses to overwrite one, whatever it is told.
    fs::remove(temp, ec);
    return fs::copy_file(file, temp, ec);
  }, {.access = platform::Access::OwnerOnly}));
}

}  // namespace fc::pipeline
