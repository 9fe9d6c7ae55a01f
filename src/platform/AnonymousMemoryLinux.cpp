// platform/AnonymousMemoryLinux.cpp - AnonymousMemory.h on Linux: anonymous
// private maps, madvise(MADV_HUGEPAGE) and madvise(MADV_POPULATE_WRITE)
// (a kernel without the latter refuses it, and the pages fault in as used).
#include "platform/AnonymousMemory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace fc::platform {

namespace {

// madvise(advice) over the whole `unit`-aligned pieces within [data, data + bytes).
void AdviseWithin(const void* data, size_t bytes, size_t unit, int advice) {
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(data) + unit - 1) & ~(unit - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes) & ~(unit - 1);
  if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, advice);
}

}  // namespace

void* AllocateZeroed(size_t bytes) {
  void* p = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  return p == MAP_FAILED ? nullptr : p;
}

void FreeZeroed(void* data, size_t bytes) { munmap(data, bytes); }

void AdviseHugePages(const void* data, size_t bytes) { AdviseWithin(data, bytes, kHugePage, MADV_HUGEPAGE); }

void Prefault(const void* data, size_t bytes) {
  static const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  AdviseWithin(data, bytes, page, MADV_POPULATE_WRITE);
}

}  // namespace fc::platform
