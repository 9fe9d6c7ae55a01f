// platform/FileMapLinux.cpp - FileMap.h on Linux: mmap of the file, and a
// SIGBUS handler that maps anonymous zero pages over the range from the
// faulting page to the end of its map (the file ends before that page, so
// everything after it is gone too) and lets the read resume on them.
#include "platform/FileMap.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <mutex>

#include "platform/MapGuard.h"

namespace fc::platform {

namespace {

struct sigaction gPrevious;  // the SIGBUS action before ours
uintptr_t gPageSize = 4096;
std::once_flag gInstalled;

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

void OnSigbus(int signal, siginfo_t* info, void* context) {
  const int savedErrno = errno;
  const uintptr_t address = reinterpret_cast<uintptr_t>(info->si_addr);
  const int slot = info->si_code == BUS_ADRERR ? SlotHolding(address) : -1;
  if (slot >= 0) {
    const uintptr_t page = address & ~(gPageSize - 1);
    void* zeros = mmap(reinterpret_cast<void*>(page), GuardedEnd(slot) - page, PROT_READ,
                       MAP_FIXED | MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (zeros != MAP_FAILED) {
      MarkChanged(slot);
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

}  // namespace

std::unique_ptr<FileMap> FileMap::open(const std::filesystem::path& path, MapFailure& failure, uint64_t offset,
                                       uint64_t length) {
  std::call_once(gInstalled, InstallHandler);
  // Without O_NONBLOCK, opening a named pipe waits for a writer.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    failure = MapFailure::Open;
    return nullptr;
  }
  std::unique_ptr<FileMap> map(new FileMap());
  map->file_ = fd;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    failure = MapFailure::NotRegular;
    return nullptr;
  }
  map->place(static_cast<uint64_t>(st.st_size), offset, length, gPageSize);
  if (map->size_ == 0) {  // mmap refuses an empty range
    ::close(fd);
    map->file_ = -1;
    return map;
  }
  const off_t from = static_cast<off_t>(map->offset_ - map->offset_ % gPageSize);
  void* p = mmap(nullptr, map->mapped_, PROT_READ, MAP_PRIVATE, fd, from);
  if (p == MAP_FAILED) {
    failure = MapFailure::Map;
    return nullptr;
  }
  map->base_ = p;
  map->data_ = static_cast<const uint8_t*>(p) + (map->mapped_ - map->size_);
  const uintptr_t begin = reinterpret_cast<uintptr_t>(p);
  map->slot_ = GuardRange(begin, begin + ((map->mapped_ + gPageSize - 1) & ~(gPageSize - 1)));
  if (map->slot_ < 0) {
    failure = MapFailure::TooMany;
    return nullptr;
  }
  madvise(p, map->mapped_, MADV_SEQUENTIAL);
  return map;
}

FileMap::~FileMap() {
  if (slot_ >= 0) ReleaseRange(slot_);  // before the range can be reused
  if (base_) munmap(base_, mapped_);
  if (file_ >= 0) ::close(static_cast<int>(file_));
}

void FileMap::read(size_t offset, size_t size, uint8_t* out) const {
  size_t done = 0;
  while (file_ >= 0 && done < size) {
    const ssize_t n = pread(static_cast<int>(file_), out + done, size - done,
                            static_cast<off_t>(offset_ + offset + done));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  if (done == size) return;
  std::memset(out + done, 0, size - done);
  if (slot_ >= 0) MarkChanged(slot_);
}

}  // namespace fc::platform
