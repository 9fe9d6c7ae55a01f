#include "dbf/MappedFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>

namespace fc::dbf {

namespace {

// Mappings open at the same time; a further open() is refused.
constexpr int kSlots = 1024;

// One registered mapping. The SIGBUS handler may run on any thread at any
// moment, so it takes no lock: it reads a slot's range between two reads of
// `sequence` and trusts it only when both gave the same even number (a
// writer holds the number odd while it changes the range). The range of a
// mapping being read never changes, so the handler always finds it.
struct Slot {
  std::atomic<bool> taken{false};     // owned by a MappedFile
  std::atomic<uint64_t> sequence{0};  // odd while begin and end change
  std::atomic<uintptr_t> begin{0};    // the mapped pages [begin, end); empty when free
  std::atomic<uintptr_t> end{0};
  std::atomic<bool> changed{false};   // the handler put zero pages in
};

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<uint64_t>::is_always_lock_free &&
                  std::atomic<uintptr_t>::is_always_lock_free,
              "the SIGBUS handler needs lock-free atomics");

Slot gSlots[kSlots];
struct sigaction gPrevious;  // the SIGBUS action before ours
uintptr_t gPageSize = 4096;
std::once_flag gInstalled;

void SetRange(Slot& slot, uintptr_t begin, uintptr_t end) {
  slot.sequence.fetch_add(1);
  slot.begin.store(begin);
  slot.end.store(end);
  slot.sequence.fetch_add(1);
}

// The live slot whose range holds `address`, or null. Async-signal-safe.
Slot* SlotHolding(uintptr_t address) {
  for (Slot& slot : gSlots) {
    uint64_t before = slot.sequence.load();
    if (before & 1) continue;  // being set up or torn down: nobody reads it
    uintptr_t begin = slot.begin.load(), end = slot.end.load();
    if (slot.sequence.load() == before && address >= begin && address < end) return &slot;
  }
  return nullptr;
}

// A signal that is not ours goes to the action installed before ours; the
// default one is restored and the signal raised again, so it ends the
// process as it would have without us.
void PassOn(int signal, siginfo_t* info, void* context) {
  if (gPrevious.sa_flags & SA_SIGINFO) {
    gPrevious.sa_sigaction(signal, info, context);
    return;
  }
  if (gPrevious.sa_handler != SIG_DFL && gPrevious.sa_handler != SIG_IGN) {
    gPrevious.sa_handler(signal);
    return;
  }
  struct sigaction fallback = {};
  fallback.sa_handler = SIG_DFL;
  sigaction(signal, &fallback, nullptr);
  raise(signal);  // blocked in here: delivered when the handler returns
}

// A read of a page that is gone: zero pages from it to the end of its
// mapping (the file ends before it, so everything after is gone too), and
// the read resumes on them.
void OnSigbus(int signal, siginfo_t* info, void* context) {
  const int savedErrno = errno;
  const uintptr_t address = reinterpret_cast<uintptr_t>(info->si_addr);
  Slot* slot = info->si_code == BUS_ADRERR ? SlotHolding(address) : nullptr;
  if (slot) {
    const uintptr_t page = address & ~(gPageSize - 1);
    void* zeros = mmap(reinterpret_cast<void*>(page), slot->end.load() - page, PROT_READ,
                       MAP_FIXED | MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (zeros != MAP_FAILED) {
      slot->changed.store(true);
      errno = savedErrno;
      return;
    }
  }
  errno = savedErrno;
  PassOn(signal, info, context);
}

void InstallHandler() {
  gPageSize = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
  sigaction(SIGBUS, nullptr, &gPrevious);
  struct sigaction action = {};
  action.sa_sigaction = OnSigbus;
  action.sa_flags = SA_SIGINFO | SA_ONSTACK;
  sigemptyset(&action.sa_mask);
  sigaction(SIGBUS, &action, nullptr);
}

// The slot now guarding the pages of `size` bytes from `begin`, or -1 when
// every slot is taken.
int Register(uintptr_t begin, size_t size) {
  std::call_once(gInstalled, InstallHandler);
  const uintptr_t end = begin + ((size + gPageSize - 1) & ~(gPageSize - 1));
  for (int i = 0; i < kSlots; ++i) {
    bool free = false;
    if (!gSlots[i].taken.compare_exchange_strong(free, true)) continue;
    gSlots[i].changed.store(false);
    SetRange(gSlots[i], begin, end);
    return i;
  }
  return -1;
}

void Unregister(int slot) {
  SetRange(gSlots[slot], 0, 0);
  gSlots[slot].taken.store(false);
}

}  // namespace

// One mapping of a file, guarded by its slot until it is unmapped.
struct MappedFile::Region {
  const uint8_t* data = nullptr;
  size_t size = 0;
  int slot = -1;  // the mapping's entry in the handler's registry, -1 when nothing is mapped
  int fd = -1;    // the file, for reads that bypass the mapping

  Region() = default;
  Region(const Region&) = delete;
  Region& operator=(const Region&) = delete;
  ~Region() {
    if (slot >= 0) Unregister(slot);  // before the range can be reused
    if (data) munmap(const_cast<uint8_t*>(data), size);
    if (fd >= 0) ::close(fd);
  }
  bool changed() const { return slot >= 0 && gSlots[slot].changed.load(); }
};

namespace {

// What tells one version of a file from another without reading it.
struct FileKey {
  dev_t device;
  ino_t inode;
  off_t size;
  time_t seconds;  // modification time
  long nanoseconds;
  auto operator<=>(const FileKey&) const = default;
};

std::mutex gReuseLock;  // guards the two below
int gReusers = 0;       // live MappingReuse objects
std::map<FileKey, std::shared_ptr<MappedFile::Region>>* gKept = nullptr;  // while gReusers > 0

FileKey KeyOf(const struct stat& st) {
  return {st.st_dev, st.st_ino, st.st_size, st.st_mtim.tv_sec, st.st_mtim.tv_nsec};
}

// The kept mapping of `key`, unless none is kept or the one kept found its
// file changed.
std::shared_ptr<MappedFile::Region> KeptRegion(const FileKey& key) {
  std::lock_guard lock(gReuseLock);
  if (!gKept) return nullptr;
  auto it = gKept->find(key);
  if (it == gKept->end() || it->second->changed()) return nullptr;
  return it->second;
}

// Mappings kept at most: each holds a slot and an open file, and a run of
// many groups must not run out of either. Past it, the kept ones are let go.
constexpr size_t kMostKept = 64;

void Keep(const FileKey& key, const std::shared_ptr<MappedFile::Region>& region) {
  std::map<FileKey, std::shared_ptr<MappedFile::Region>> dropped;
  std::lock_guard lock(gReuseLock);
  if (!gKept) return;
  if (gKept->size() >= kMostKept) dropped.swap(*gKept);
  (*gKept)[key] = region;
}

// Lets go of every kept mapping, so that those no MappedFile uses free their
// slots; true when there was any.
bool DropKept() {
  std::map<FileKey, std::shared_ptr<MappedFile::Region>> dropped;
  {
    std::lock_guard lock(gReuseLock);
    if (gKept) dropped.swap(*gKept);
  }
  return !dropped.empty();
}

}  // namespace

MappingReuse::MappingReuse() {
  std::lock_guard lock(gReuseLock);
  if (gReusers++ == 0) gKept = new std::map<FileKey, std::shared_ptr<MappedFile::Region>>();
}

MappingReuse::~MappingReuse() {
  std::map<FileKey, std::shared_ptr<MappedFile::Region>>* dropped = nullptr;
  {
    std::lock_guard lock(gReuseLock);
    if (--gReusers == 0) std::swap(dropped, gKept);
  }
  delete dropped;  // unmaps what no open MappedFile still shares
}

std::unique_ptr<MappedFile> MappedFile::open(const std::filesystem::path& path, std::string& error) {
  const std::string name = path.filename().string();
  // Without O_NONBLOCK, opening a named pipe waits for a writer.
  int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    error = "无法打开文件" + name;
    return nullptr;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    error = "无法读取文件" + name + "：不是普通文件";
    return nullptr;
  }
  std::unique_ptr<MappedFile> file(new MappedFile());
  file->size_ = static_cast<size_t>(st.st_size);
  if (file->size_ == 0) {  // mmap refuses an empty range
    ::close(fd);
    return file;
  }
  const FileKey key = KeyOf(st);
  file->region_ = KeptRegion(key);
  if (file->region_) {
    ::close(fd);
    file->data_ = file->region_->data;
    return file;
  }
  void* p = mmap(nullptr, file->size_, PROT_READ, MAP_PRIVATE, fd, 0);
  if (p == MAP_FAILED) {
    ::close(fd);
    error = "无法读取文件" + name;
    return nullptr;
  }
  auto region = std::make_shared<Region>();
  region->data = static_cast<const uint8_t*>(p);
  region->size = file->size_;
  region->fd = fd;
  region->slot = Register(reinterpret_cast<uintptr_t>(p), file->size_);
  if (region->slot < 0 && DropKept()) region->slot = Register(reinterpret_cast<uintptr_t>(p), file->size_);
  if (region->slot < 0) {
    error = "无法读取文件" + name + "：同时打开的文件太多";
    return nullptr;
  }
  madvise(p, file->size_, MADV_SEQUENTIAL);
  file->region_ = region;
  file->data_ = region->data;
  Keep(key, region);
  return file;
}

MappedFile::~MappedFile() = default;

bool MappedFile::changed() const { return region_ && region_->changed(); }

void MappedFile::read(size_t offset, size_t size, uint8_t* out) const {
  size_t done = 0;
  while (region_ && done < size) {
    const ssize_t n = pread(region_->fd, out + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  if (done == size) return;
  std::memset(out + done, 0, size - done);
  if (region_ && region_->slot >= 0) gSlots[region_->slot].changed.store(true);
}

}  // namespace fc::dbf
