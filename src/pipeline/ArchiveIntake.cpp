#include "pipeline/ArchiveIntake.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "pipeline/WorkDirs.h"
#include "store/Store.h"

namespace fc::pipeline {

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kMaxEntrySize = uint64_t{4} << 30;

struct ZipCloser {
  void operator()(zip_t* za) const { zip_discard(za); }
};
struct ZipFileCloser {
  void operator()(zip_file_t* zf) const { zip_fclose(zf); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;
using ZipEntry = std::unique_ptr<zip_file_t, ZipFileCloser>;

// A plain file name: nothing that could lead out of workdir or name it.
bool IsPlainName(std::string_view name) {
  if (name.empty() || name == ".") return false;
  return name.find_first_of("/\\") == std::string_view::npos &&
         name.find("..") == std::string_view::npos;
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

uint64_t FreeSpace(const fs::path& dir) {
  std::error_code ec;
  fs::space_info info = fs::space(dir, ec);
  return ec ? 0 : info.available;
}

// The entry's name when it may be written, else nothing.
std::optional<std::string> WritableEntry(zip_t* za, zip_uint64_t index, const fs::path& workdir,
                                         uint64_t& size) {
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(za, index, 0, &st) != 0) return std::nullopt;
  if (!(st.valid & ZIP_STAT_NAME) || !(st.valid & ZIP_STAT_SIZE)) return std::nullopt;
  std::string_view name = st.name;
  if (!IsPlainName(name) || IsSpecialFile(za, index)) return std::nullopt;
  if ((st.valid & ZIP_STAT_ENCRYPTION_METHOD) && st.encryption_method != ZIP_EM_NONE)
    return std::nullopt;
  if (st.size > kMaxEntrySize || st.size > FreeSpace(workdir)) return std::nullopt;
  size = st.size;
  return std::string(name);
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

// Streams entry `index` into `target`; stops at the first byte beyond `size`.
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

// Lands one entry in workdir under `name`, replacing an earlier spelling.
void LandEntry(zip_t* za, zip_uint64_t index, uint64_t size, const std::string& name,
               const fs::path& workdir) {
  std::optional<fs::path> temp = MakeTempFile(workdir, "unzip");
  if (!temp) return;
  std::error_code ec;
  if (!ExtractTo(za, index, size, *temp)) {
    fs::remove(*temp, ec);
    return;
  }
  std::optional<fs::path> earlier = FindFileNoCase(workdir, name);
  if (earlier && earlier->filename() != name) fs::remove(*earlier, ec);
  fs::rename(*temp, workdir / name, ec);
  if (ec) fs::remove(*temp, ec);
}

std::vector<fs::path> OrdinaryFiles(const fs::path& dir) {
  std::vector<fs::path> files;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    std::error_code statEc;
    if (it->symlink_status(statEc).type() == fs::file_type::regular) files.push_back(it->path());
  }
  return files;
}

int AddArchiveProblem(StructureContext& ctx, int fileId, int errid, const char* text) {
  ctx.store.addErrRow(fileId, std::to_string(errid), text);
  return errid;
}

}  // namespace

void UnpackArchive(const fs::path& archive, const fs::path& workdir) {
  EmptyWorkDir(workdir);
  int error = 0;
  ZipArchive za(zip_open(archive.c_str(), ZIP_RDONLY, &error));
  if (!za) return;
  zip_int64_t count = zip_get_num_entries(za.get(), 0);
  for (zip_int64_t i = 0; i < count && OrdinaryFiles(workdir).size() < 2; ++i) {
    uint64_t size = 0;
    zip_uint64_t index = static_cast<zip_uint64_t>(i);
    if (std::optional<std::string> name = WritableEntry(za.get(), index, workdir, size))
      LandEntry(za.get(), index, size, *name, workdir);
  }
}

int CheckZipFile(StructureContext& ctx, const fs::path& workdir, const std::string& sourceDir,
                 const std::string& fileName, int fileId) {
  std::optional<fs::path> archive = FindFileNoCase(sourceDir, fileName);
  if (archive)
    UnpackArchive(*archive, workdir);
  else
    EmptyWorkDir(workdir);
  std::vector<fs::path> files = OrdinaryFiles(workdir);
  if (files.empty()) return AddArchiveProblem(ctx, fileId, 3, kZipUnreadable);
  if (files.size() > 1) return AddArchiveProblem(ctx, fileId, 1, kZipManyFiles);
  if (!SameNameNoCase(files[0].filename().string(), SwapLastThree(fileName, "DBF")))
    return AddArchiveProblem(ctx, fileId, 2, kZipWrongName);
  return CheckDbfStructure(ctx, files[0], fileId);
}

}  // namespace fc::pipeline
