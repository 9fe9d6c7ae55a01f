#include "pipeline/ZipEntries.h"

#include <fcntl.h>
#include <unistd.h>

#include "pipeline/SourceFiles.h"
#include "text/Text.h"

namespace fc::pipeline {

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kMaxEntrySize = uint64_t{4} << 30;

struct ZipFileCloser {
  void operator()(zip_file_t* zf) const { zip_fclose(zf); }
};
using ZipEntry = std::unique_ptr<zip_file_t, ZipFileCloser>;

// Where an entry named `name` would land: its file name directly in workdir
// ("./X.DBF" lands as "X.DBF"), or nothing for a directory, a file inside a
// folder of its own, and a name that is absolute or climbs out of workdir.
std::optional<std::string> LandingName(std::string_view name) {
  while (name.substr(0, 2) == "./") name.remove_prefix(2);
  if (name.empty() || name == "." || name == "..") return std::nullopt;
  if (name.find_first_of("/\\") != std::string_view::npos) return std::nullopt;
  return std::string(name);
}

// Unix archivers store the file mode in the high half of the external
// attributes; anything but a regular file (links, devices) is not unpacked.
bool IsSpecialFile(zip_t* za, zip_uint64_t index) {
  zip_uint8_t opsys = 0;
  zip_uint32_t attributes = 0;
  if (zip_file_get_external_attributes(za, index, 0, &opsys, &attributes) != 0) return true;
  if (opsys != ZIP_OPSYS_UNIX) return false;
  mode_t type = (attributes >> 16) & S_IFMT;
  return type != 0 && type != S_IFREG;
}

bool WriteAll(int fd, const char* data, size_t n) {
  while (n > 0) {
    ssize_t written = write(fd, data, n);
    if (written < 0) return false;
    data += written;
    n -= static_cast<size_t>(written);
  }
  return true;
}

}  // namespace

ZipArchive OpenArchive(const fs::path& path, struct stat* opened) {
  int fd = OpenRegularFile(path);
  if (fd < 0) return nullptr;
  int error = 0;
  zip_t* za = opened && fstat(fd, opened) != 0 ? nullptr : zip_fdopen(fd, 0, &error);
  if (!za) close(fd);
  return ZipArchive(za);
}

uint64_t FreeSpace(const fs::path& dir) {
  std::error_code ec;
  fs::space_info info = fs::space(dir, ec);
  return ec ? 0 : info.available;
}

std::optional<ArchiveFile> ArchiveFileAt(zip_t* za, zip_uint64_t index, const fs::path& workdir) {
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(za, index, 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME)) return std::nullopt;
  std::optional<std::string> name = LandingName(st.name);
  if (!name) return std::nullopt;
  ArchiveFile file{*name, st.size, (st.valid & ZIP_STAT_SIZE) != 0};
  if (IsSpecialFile(za, index)) file.writable = false;
  if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE) file.writable = false;
  if (st.size > kMaxEntrySize || st.size > FreeSpace(workdir)) file.writable = false;
  return file;
}

void VisitArchiveFiles(zip_t* za, const fs::path& workdir,
                       const std::function<bool(zip_uint64_t index, const ArchiveFile& file)>& visit) {
  std::vector<std::string> names;  // the archive's files so far, one spelling each
  zip_int64_t count = zip_get_num_entries(za, 0);
  for (zip_int64_t i = 0; i < count && names.size() < 2; ++i) {
    zip_uint64_t index = static_cast<zip_uint64_t>(i);
    std::optional<ArchiveFile> file = ArchiveFileAt(za, index, workdir);
    if (!file) continue;
    AddDistinctName(names, file->name);
    if (!visit(index, *file)) return;
  }
}

bool AddDistinctName(std::vector<std::string>& names, const std::string& name) {
  for (const std::string& n : names)
    if (text::EqualsNoCase(n, name)) return false;
  names.push_back(name);
  return true;
}

bool ExtractTo(zip_t* za, zip_uint64_t index, uint64_t size, const fs::path& target) {
  ZipEntry entry(zip_fopen_index(za, index, 0));
  if (!entry) return false;
  int fd = open(target.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
  if (fd < 0) return false;
  std::vector<char> buffer(1 << 16);
  uint64_t total = 0;
  bool ok = true;
  for (;;) {
    zip_int64_t n = zip_fread(entry.get(), buffer.data(), buffer.size());
    if (n == 0) break;
    if (n > 0) total += static_cast<uint64_t>(n);
    // A stream longer than its entry claims is cut off and the entry dropped.
    if (n < 0 || total > size || !WriteAll(fd, buffer.data(), static_cast<size_t>(n))) {
      ok = false;
      break;
    }
  }
  if (close(fd) != 0) ok = false;
  return ok && total == size;
}

}  // namespace fc::pipeline
