#include "pipeline/ArchivePrefetch.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>

#include "pipeline/ZipEntries.h"
#include "platform/Files.h"
#include "settings/PrivateFiles.h"

namespace fc::pipeline {

namespace fs = std::filesystem;

namespace {

// Staged files wait beside workdir, where no entry can land. (A folder in
// workdir would need a name no entry can take; "\prefetch" is one on Linux,
// but on Windows it names a folder at the root of the drive.)
fs::path StagingDirOf(const fs::path& workdir) {
  fs::path staging = workdir;
  return staging += ".prefetch";
}
// Free space left aside when staging, beyond twice what all archives hold.
constexpr uint64_t kStagingMargin = uint64_t{1} << 30;

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
  int fd = settings::OpenPrivateFile(file, platform::Opening::Truncate);
  return fd >= 0 && platform::CloseFile(fd) == 0;
}

// Decompresses into `staging` what UnpackArchive would land: the archive's
// only file, when it is safe to write. Files are named
// by archive `number` and entry, so no two stagings of a run share a name.
std::shared_ptr<StagedArchive> Stage(const fs::path& archive, size_t number, const fs::path& workdir,
                                     const fs::path& staging) {
  auto staged = std::make_shared<StagedArchive>();
  ZipArchive za = OpenArchive(archive, &staged->archive);
  if (!za) return staged;
  VisitArchiveFiles(za.get(), workdir, [&](zip_uint64_t index, const ArchiveFile& entry) {
    if (!entry.writable) return;
    fs::path file = staging / (std::to_string(number) + "." + std::to_string(index));
    if (!CreateEmpty(file)) return;
    staged->entries.push_back({index, entry.name, entry.size, file});
    if (!ExtractTo(za.get(), index, file)) {
      staged->entries.pop_back();
      std::error_code ec;
      fs::remove(file, ec);
    }
  });
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
  fs::path staging;  // workdir.prefetch, removed with everything in it at the end
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
    return settings::MakePrivateDir(staging, ec) && FreeSpace(workdir) >= 2 * total + kStagingMargin;
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
  impl_->staging = StagingDirOf(workdir);
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
  fs::remove_all(StagingDirOf(workdir), ec);
}

std::shared_ptr<const StagedArchive> ArchivePrefetch::take(const fs::path& archive) {
  Impl& p = *impl_;
  for (size_t index = p.passed; index < p.archives.size(); ++index)
    if (p.archives[index] == archive) return p.take(index);
  return nullptr;
}

}  // namespace fc::pipeline
