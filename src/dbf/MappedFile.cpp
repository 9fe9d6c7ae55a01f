#include "dbf/MappedFile.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
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
  if (file->size_ > 0) {  // mmap refuses an empty range
    void* p = mmap(nullptr, file->size_, PROT_READ, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED) {
      ::close(fd);
      error = "无法读取文件" + name;
      return nullptr;
    }
    file->data_ = static_cast<const uint8_t*>(p);
    file->fd_ = fd;
    file->slot_ = Register(reinterpret_cast<uintptr_t>(p), file->size_);
    if (file->slot_ < 0) {
      error = "无法读取文件" + name + "：同时打开的文件太多";
      return nullptr;
    }
    madvise(p, file->size_, MADV_SEQUENTIAL);
    return file;
  }
  ::close(fd);
  return file;
}

MappedFile::~MappedFile() {
  if (slot_ >= 0) Unregister(slot_);  // before the range can be reused
  if (data_) munmap(const_cast<uint8_t*>(data_), size_);
  if (fd_ >= 0) ::close(fd_);
}

bool MappedFile::changed() const { return slot_ >= 0 && gSlots[slot_].changed.load(); }

void MappedFile::read(size_t offset, size_t size, uint8_t* out) const {
  size_t done = 0;
  while (fd_ >= 0 && done < size) {
    const ssize_t n = pread(fd_, out + done, size - done, static_cast<off_t>(offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  if (done == size) return;
  std::memset(out + done, 0, size - done);
  if (slot_ >= 0) gSlots[slot_].changed.store(true);
}

}  // namespace fc::dbf
