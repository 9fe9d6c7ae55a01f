#include "pipeline/ArchiveIntake.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "pipeline/SourceFiles.h"
#include "pipeline/WorkDirs.h"
#include "store/Store.h"
#include "text/Text.h"

namespace fc::pipeline {

namespace fs = std::filesystem;

// One entry decompressed ahead into the staging directory, and what
// identified it in the archive.
struct StagedEntry {
  zip_uint64_t index;  // position in the archive
  std::string name;    // name as stored
  uint64_t size;       // uncompressed size as stored, and the file's
  fs::path file;       // complete and checked against the archive's checksum
};

// What the prefetch thread made of one archive file, as it then stood.
// Staged files that are not taken are deleted with it.
struct StagedArchive {
  struct stat archive {};            // the archive file when it was read
  std::vector<StagedEntry> entries;  // in archive order, only those decompressed

  StagedArchive() = default;
  StagedArchive(const StagedArchive&) = delete;
  StagedArchive& operator=(const StagedArchive&) = delete;
  ~StagedArchive() {
    std::error_code ec;
    for (const StagedEntry& e : entries) fs::remove(e.file, ec);
  }

  const StagedEntry* find(zip_uint64_t index, std::string_view name, uint64_t size) const {
    for (const StagedEntry& e : entries)
      if (e.index == index) return e.name == name && e.size == size ? &e : nullptr;
    return nullptr;
  }
};

namespace {

constexpr uint64_t kMaxEntrySize = uint64_t{4} << 30;
// Beside workdir's files, in a directory no entry can land as (a name
// holding a backslash is a file inside a folder).
constexpr const char* kStagingDir = "\\prefetch";
// Free space left aside when staging, beyond twice what all archives hold.
constexpr uint64_t kStagingMargin = uint64_t{1} << 30;

struct ZipCloser {
  void operator()(zip_t* za) const { zip_discard(za); }
};
struct ZipFileCloser {
  void operator()(zip_file_t* zf) const { zip_fclose(zf); }
};
using ZipArchive = std::unique_ptr<zip_t, ZipCloser>;
using ZipEntry = std::unique_ptr<zip_file_t, ZipFileCloser>;

// The archive at `path` opened for reading, or null when it cannot be read
// or is not a regular file (a named pipe put in its place is not waited
// for); `opened`, when given, gets the file as it was opened.
ZipArchive OpenArchive(const fs::path& path, struct stat* opened = nullptr) {
  int fd = OpenRegularFile(path);
  if (fd < 0) return nullptr;
  int error = 0;
  zip_t* za = opened && fstat(fd, opened) != 0 ? nullptr : zip_fdopen(fd, 0, &error);
  if (!za) close(fd);
  return ZipArchive(za);
}

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

uint64_t FreeSpace(const fs::path& dir) {
  std::error_code ec;
  fs::space_info info = fs::space(dir, ec);
  return ec ? 0 : info.available;
}

// An entry that the unpacking tool would leave directly in workdir: it
// counts as a file of the archive whether or not it is safe to write.
struct ArchiveFile {
  std::string name;       // its name in workdir
  uint64_t size = 0;      // uncompressed size as stored
  bool writable = false;  // an ordinary, unencrypted file that fits the disk
};

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

// Adds `name` to `names` unless a spelling of it is there; true when added.
bool AddDistinctName(std::vector<std::string>& names, const std::string& name) {
  for (const std::string& n : names)
    if (text::EqualsNoCase(n, name)) return false;
  names.push_back(name);
  return true;
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

// Lands one entry in workdir under `name`, replacing an earlier spelling;
// the staged file when it was decompressed ahead. False when the entry could
// not be decompressed whole (nothing of it is left then).
bool LandEntry(zip_t* za, zip_uint64_t index, uint64_t size, const std::string& name,
               const fs::path& workdir, const StagedEntry* staged) {
  std::error_code ec;
  if (staged) {
    std::optional<fs::path> earlier = FindFileNoCase(workdir, name);
    if (earlier && earlier->filename() != name) fs::remove(*earlier, ec);
    fs::rename(staged->file, workdir / name, ec);
    if (!ec) return true;
  }
  std::optional<fs::path> temp = MakeTempFile(workdir, "unzip");
  if (!temp) return false;
  if (!ExtractTo(za, index, size, *temp)) {
    fs::remove(*temp, ec);
    return false;
  }
  std::optional<fs::path> earlier = FindFileNoCase(workdir, name);
  if (earlier && earlier->filename() != name) fs::remove(*earlier, ec);
  fs::rename(*temp, workdir / name, ec);
  if (!ec) return true;
  fs::remove(*temp, ec);
  return false;
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

// What the acceptable entries of `archive` hold together, uncompressed.
uint64_t UnpackedSize(const fs::path& archive, const fs::path& workdir) {
  ZipArchive za = OpenArchive(archive);
  if (!za) return 0;
  uint64_t total = 0;
  for (zip_int64_t i = 0, n = zip_get_num_entries(za.get(), 0); i < n; ++i) {
    std::optional<ArchiveFile> file = ArchiveFileAt(za.get(), static_cast<zip_uint64_t>(i), workdir);
    if (file && file->writable) total += file->size;
  }
  return total;
}

// A new empty file; false when it cannot be made.
bool CreateEmpty(const fs::path& file) {
  int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  return fd >= 0 && close(fd) == 0;
}

// Decompresses into `staging` what UnpackArchive would land first: the
// entries it would write, up to the archive's second distinct file. Files are named
// by archive `number` and entry, so no two stagings of a run share a name.
std::shared_ptr<StagedArchive> Stage(const fs::path& archive, size_t number, const fs::path& workdir,
                                     const fs::path& staging) {
  auto staged = std::make_shared<StagedArchive>();
  ZipArchive za = OpenArchive(archive, &staged->archive);
  if (!za) return staged;
  std::vector<std::string> names;
  zip_int64_t count = zip_get_num_entries(za.get(), 0);
  for (zip_int64_t i = 0; i < count && names.size() < 2; ++i) {
    zip_uint64_t index = static_cast<zip_uint64_t>(i);
    std::optional<ArchiveFile> entry = ArchiveFileAt(za.get(), index, workdir);
    if (!entry) continue;
    AddDistinctName(names, entry->name);
    if (!entry->writable) continue;
    fs::path file = staging / (std::to_string(number) + "." + std::to_string(index));
    if (!CreateEmpty(file)) break;
    staged->entries.push_back({index, entry->name, entry->size, file});
    if (!ExtractTo(za.get(), index, entry->size, file)) {
      staged->entries.pop_back();
      std::error_code ec;
      fs::remove(file, ec);
    }
  }
  return staged;
}

}  // namespace

// The caller unpacks archives in their order, each one itself unless the
// thread has claimed it; the thread claims the largest archive after the
// caller's that nobody has claimed and decompresses it into the staging
// directory, from which the caller renames the files in at once. With the
// first archive the caller's, the two work side by side from the start, and
// with the longest decompressions begun first the caller, working through the
// smaller archives meanwhile, seldom waits for the thread at the end. The
// thread stages nothing unless the disk has room for every archive twice
// over, so no entry is ever judged against a disk the thread has filled.
struct ArchivePrefetch::Impl {
  enum class Claim { Free, Caller, Thread, Staged };
  struct Slot {
    Claim claim = Claim::Free;
    std::shared_ptr<StagedArchive> staged;  // once Staged
  };

  fs::path workdir;
  fs::path staging;  // workdir/\prefetch, removed with everything in it at the end
  std::vector<fs::path> archives;
  std::vector<Slot> slots;  // per archive
  std::vector<size_t> largestFirst;  // archives after the first, by compressed size (thread only)
  std::mutex mutex;
  std::condition_variable changed;
  size_t passed = 0;        // archives the caller has taken or skipped
  size_t cursor = 0;        // no archive before this one in largestFirst is free
  bool stopping = false;
  std::thread thread;

  bool roomToStage() const {
    uint64_t total = 0;
    for (const fs::path& archive : archives) total += UnpackedSize(archive, workdir);
    std::error_code ec;
    fs::create_directory(staging, ec);
    return fs::is_directory(staging, ec) && FreeSpace(workdir) >= 2 * total + kStagingMargin;
  }

  // Decompression time follows the compressed bytes closely.
  void orderBySize() {
    std::vector<uint64_t> sizes;
    for (const fs::path& archive : archives) {
      std::error_code ec;
      uint64_t size = fs::file_size(archive, ec);
      sizes.push_back(ec ? 0 : size);
    }
    for (size_t i = 1; i < archives.size(); ++i) largestFirst.push_back(i);
    std::stable_sort(largestFirst.begin(), largestFirst.end(),
                     [&](size_t a, size_t b) { return sizes[a] > sizes[b]; });
  }

  // The next archive for the thread, or slots.size() when none is left. An
  // archive once claimed or passed is never free again, so the cursor only
  // moves on.
  size_t nextFree() {
    auto isFree = [&](size_t i) { return i >= passed && slots[i].claim == Claim::Free; };
    while (cursor < largestFirst.size() && !isFree(largestFirst[cursor])) ++cursor;
    return cursor < largestFirst.size() ? largestFirst[cursor] : slots.size();
  }

  void work() {
    if (!roomToStage()) return;
    orderBySize();
    std::unique_lock lock(mutex);
    for (;;) {
      changed.wait(lock, [&] { return stopping || nextFree() < slots.size(); });
      if (stopping) return;
      size_t index = nextFree();
      slots[index].claim = Claim::Thread;
      lock.unlock();
      std::shared_ptr<StagedArchive> result = Stage(archives[index], index, workdir, staging);
      lock.lock();
      slots[index].claim = Claim::Staged;
      if (index >= passed) slots[index].staged = std::move(result);
      changed.notify_all();
      if (result) {  // the caller went past it: its files go, outside the lock
        lock.unlock();
        result.reset();
        lock.lock();
      }
    }
  }

  std::shared_ptr<StagedArchive> take(size_t index) {
    std::unique_lock lock(mutex);
    for (size_t j = passed; j < index; ++j) slots[j].staged.reset();
    Slot& slot = slots[index];
    if (slot.claim == Claim::Free) slot.claim = Claim::Caller;
    changed.wait(lock, [&] { return slot.claim != Claim::Thread; });
    passed = index + 1;
    changed.notify_all();
    return std::move(slot.staged);
  }
};

ArchivePrefetch::ArchivePrefetch(fs::path workdir, std::vector<fs::path> archives)
    : impl_(std::make_unique<Impl>()) {
  impl_->staging = workdir / kStagingDir;
  impl_->workdir = std::move(workdir);
  impl_->archives = std::move(archives);
  impl_->slots.resize(impl_->archives.size());
  RemoveArchiveStaging(impl_->workdir);  // left by a run that was killed
  impl_->thread = std::thread([this] { impl_->work(); });
}

ArchivePrefetch::~ArchivePrefetch() {
  {
    std::lock_guard lock(impl_->mutex);
    impl_->stopping = true;
  }
  impl_->changed.notify_all();
  impl_->thread.join();
  impl_->slots.clear();
  RemoveArchiveStaging(impl_->workdir);
}

void RemoveArchiveStaging(const fs::path& workdir) {
  std::error_code ec;
  fs::remove_all(workdir / kStagingDir, ec);
}

std::shared_ptr<const StagedArchive> ArchivePrefetch::take(const fs::path& archive) {
  Impl& p = *impl_;
  for (size_t index = p.passed; index < p.archives.size(); ++index)
    if (p.archives[index] == archive) return p.take(index);
  return nullptr;
}

std::vector<std::string> UnpackArchive(const fs::path& archive, const fs::path& workdir,
                                       const StagedArchive* staged) {
  EmptyWorkDir(workdir);
  std::vector<std::string> withheld;
  struct stat now {};
  ZipArchive za = OpenArchive(archive, &now);
  if (!za) return withheld;
  if (staged && IdentityOf(now) != IdentityOf(staged->archive)) staged = nullptr;
  std::vector<std::string> names;  // the archive's files so far, one spelling each
  zip_int64_t count = zip_get_num_entries(za.get(), 0);
  for (zip_int64_t i = 0; i < count && names.size() < 2; ++i) {
    zip_uint64_t index = static_cast<zip_uint64_t>(i);
    std::optional<ArchiveFile> file = ArchiveFileAt(za.get(), index, workdir);
    if (!file) continue;
    AddDistinctName(names, file->name);
    if (!file->writable) {
      withheld.push_back(file->name);
      continue;
    }
    const StagedEntry* ahead = staged ? staged->find(index, file->name, file->size) : nullptr;
    if (!LandEntry(za.get(), index, file->size, file->name, workdir, ahead)) withheld.push_back(file->name);
  }
  return withheld;
}

int CheckZipFile(StructureContext& ctx, const fs::path& workdir, const std::string& sourceDir,
                 const std::string& fileName, int fileId, ArchivePrefetch* prefetch) {
  std::optional<fs::path> archive = FindFileNoCase(sourceDir, fileName);
  std::vector<std::string> withheld;
  if (archive) {
    std::shared_ptr<const StagedArchive> staged = prefetch ? prefetch->take(*archive) : nullptr;
    withheld = UnpackArchive(*archive, workdir, staged.get());
  } else {
    EmptyWorkDir(workdir);
  }
  std::vector<fs::path> files = OrdinaryFiles(workdir);
  // The files that landed and those withheld for safety count alike: the
  // archive holds what it holds, whatever this program dared to write.
  std::vector<std::string> names;
  for (const fs::path& file : files) AddDistinctName(names, file.filename().string());
  for (const std::string& name : withheld) AddDistinctName(names, name);
  if (names.size() > 1) return AddArchiveProblem(ctx, fileId, 1, kZipManyFiles);
  if (files.empty()) return AddArchiveProblem(ctx, fileId, 3, kZipUnreadable);
  if (!text::EqualsNoCase(files[0].filename().string(), SwapLastThree(fileName, "DBF")))
    return AddArchiveProblem(ctx, fileId, 2, kZipWrongName);
  return CheckDbfStructure(ctx, files[0], fileId);
}

}  // namespace fc::pipeline
