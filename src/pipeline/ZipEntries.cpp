#include "pipeline/ZipEntries.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "naming/PortableNames.h"
#include "pipeline/SourceFiles.h"
#include "platform/Files.h"
#include "platform/OverwriteFile.h"
#include "platform/RawInflate.h"

namespace fc::pipeline {

namespace fs = std::filesystem;

namespace {

constexpr uint64_t kMaxEntrySize = uint64_t{4} << 30;
constexpr size_t kChunk = size_t{1} << 20;  // bytes written at a time

struct ZipFileCloser {
  void operator()(zip_file_t* zf) const { zip_fclose(zf); }
};
using ZipEntry = std::unique_ptr<zip_file_t, ZipFileCloser>;

// A name that is absolute ("/etc/x", "\x") or holds a ".." segment would
// be written outside workdir, and one with a segment that Windows reads
// otherwise than it stands ("C:x", "CON", "X.DBF ") somewhere else than it
// says: on Windows "C:x" is not in workdir at all. Judged before the name
// meets a path, on both systems, for an archive travels between them. A ".."
// segment fails that test too: it ends in a dot.
bool IsUnsafeName(std::string_view name) {
  if (name.empty()) return false;
  if (name[0] == '/' || name[0] == '\\') return true;
  for (size_t begin = 0; begin <= name.size();) {
    const size_t end = std::min(name.find_first_of("/\\", begin), name.size());
    const std::string_view segment = name.substr(begin, end - begin);
    if (!segment.empty() && segment != "." && !naming::IsPortableFileName(segment)) return true;
    begin = end + 1;
  }
  return false;
}

// Where an entry named `name` would land: its file name directly in workdir
// ("./X.DBF" lands as "X.DBF"), or nothing for a directory, a file inside a
// folder of its own, and an unsafe name.
std::optional<std::string> LandingName(std::string_view name) {
  if (IsUnsafeName(name)) return std::nullopt;
  while (name.substr(0, 2) == "./") name.remove_prefix(2);
  if (name.empty() || name == ".") return std::nullopt;
  if (name.find_first_of("/\\") != std::string_view::npos) return std::nullopt;
  return std::string(name);
}

// A directory entry holds nothing to unpack: its name ends in "/" and it has
// no bytes.
bool IsDirectoryEntry(const zip_stat_t& st) {
  const std::string_view name = st.name;
  return !name.empty() && name.back() == '/' && (st.valid & ZIP_STAT_SIZE) && st.size == 0;
}

// Unix archivers store the file mode in the high half of the external
// attributes; anything but a regular file (links, devices) is not unpacked.
// The type bits are Unix's, whatever system reads the archive.
bool IsSpecialFile(zip_t* za, zip_uint64_t index) {
  constexpr zip_uint32_t kUnixType = 0170000, kUnixRegular = 0100000;
  zip_uint8_t opsys = 0;
  zip_uint32_t attributes = 0;
  if (zip_file_get_external_attributes(za, index, 0, &opsys, &attributes) != 0) return true;
  if (opsys != ZIP_OPSYS_UNIX) return false;
  const zip_uint32_t type = (attributes >> 16) & kUnixType;
  return type != 0 && type != kUnixRegular;
}

// Where an entry's bytes go: the target file, cut off at the size the entry
// claims, so that a stream longer than that is dropped rather than written.
struct EntryWriter {
  platform::OverwriteFile& file;  // the target, open for writing
  uint64_t size;                  // the uncompressed size the archive states
  uint64_t total = 0;             // bytes written so far

  bool write(const uint8_t* data, size_t n) {
    total += n;
    return total <= size && file.write(data, n);
  }
};

// The entry as libzip decompresses it, checking its CRC at the end.
bool Copy(zip_file_t* entry, EntryWriter& out) {
  std::vector<uint8_t> buffer(kChunk);
  for (;;) {
    zip_int64_t n = zip_fread(entry, buffer.data(), buffer.size());
    if (n == 0) return true;
    if (n < 0 || !out.write(buffer.data(), static_cast<size_t>(n))) return false;
  }
}

// A deflated entry, read raw and inflated by the system's fastest inflater
// (ISA-L on Linux: several times faster than zlib under libzip, and nearly
// every submitted entry is deflated). The stream must reach its final block
// and match the entry's CRC.
bool Inflate(zip_file_t* raw, uint32_t crc, EntryWriter& out) {
  const std::optional<uint32_t> got = platform::InflateRaw(
      [raw](uint8_t* buffer, size_t size) { return static_cast<int64_t>(zip_fread(raw, buffer, size)); },
      [&out](const uint8_t* data, size_t size) { return out.write(data, size); });
  return got && *got == crc;
}

}  // namespace

ZipArchive OpenArchive(const fs::path& path, FileIdentity* opened) {
  int fd = OpenRegularFile(path);
  if (fd < 0) return nullptr;
  const std::optional<platform::FileFacts> facts = opened ? platform::FactsOf(fd) : std::nullopt;
  if (facts) *opened = IdentityOf(*facts);
  int error = 0;
  zip_t* za = opened && !facts ? nullptr : zip_fdopen(fd, 0, &error);
  if (!za) platform::CloseFile(fd);
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

ArchiveTally VisitArchiveFiles(zip_t* za, const fs::path& workdir,
                               const std::function<void(zip_uint64_t index, const ArchiveFile& file)>& visit) {
  ArchiveTally tally;
  zip_uint64_t first = 0;
  const zip_int64_t count = zip_get_num_entries(za, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const zip_uint64_t index = static_cast<zip_uint64_t>(i);
    zip_stat_t st;
    zip_stat_init(&st);
    const bool named = zip_stat_index(za, index, 0, &st) == 0 && (st.valid & ZIP_STAT_NAME);
    if (named && IsDirectoryEntry(st)) continue;
    if (++tally.files == 1) first = index;
    if (!named || !IsUnsafeName(st.name)) continue;
    if (tally.unsafeCount++ < ArchiveTally::kUnsafeKept) tally.unsafeNames.emplace_back(st.name);
  }
  if (tally.files == 1)
    if (std::optional<ArchiveFile> file = ArchiveFileAt(za, first, workdir)) visit(first, *file);
  return tally;
}

bool ExtractTo(zip_t* za, zip_uint64_t index, const fs::path& target) {
  zip_stat_t st;
  zip_stat_init(&st);
  if (zip_stat_index(za, index, 0, &st) != 0) return false;
  const bool inflatable = (st.valid & ZIP_STAT_COMP_METHOD) && st.comp_method == ZIP_CM_DEFLATE &&
                          (st.valid & ZIP_STAT_CRC) && (st.valid & ZIP_STAT_ENCRYPTION_METHOD) &&
                          st.encryption_method == ZIP_EM_NONE;
  ZipEntry entry(zip_fopen_index(za, index, inflatable ? ZIP_FL_COMPRESSED : 0));
  if (!entry) return false;
  platform::OverwriteFile file(target);
  if (!file.isOpen()) return false;
  EntryWriter out{file, st.size};
  bool ok = inflatable ? Inflate(entry.get(), st.crc, out) : Copy(entry.get(), out);
  if (!file.close()) ok = false;
  return ok && out.total == st.size;
}

}  // namespace fc::pipeline
