// platform/FileMapWindows.cpp - FileMap.h on Windows: a view of the file
// (MapViewOfFile, from a multiple of the allocation granularity), and a
// vectored exception handler (GCC has no __try) for a read that faults in a
// view: EXCEPTION_IN_PAGE_ERROR when the file cannot give the page (Wine
// reports a file cut short under its view as an access violation). A view is
// readable throughout, so either fault there means its file is gone. The
// handler puts committed zero pages in place of the whole view (a view is
// unmapped whole) and lets the read resume on them.
//
// Another thread reading the same view while it is swapped faults with an
// access violation in the gap; the swap is done under a lock, so that
// thread's handler waits for it and then resumes on the zeros too.
#include "platform/FileMap.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/MapGuard.h"

namespace fc::platform {

namespace {

uint64_t gGranularity = 65536;  // where a view may start
uintptr_t gPageSize = 4096;
std::once_flag gInstalled;
std::mutex gSwapping;                    // one view swapped for zeros at a time
std::atomic<bool> gZeroed[kGuardSlots];  // the slot's view is zero pages now

// The view of `slot` unmapped and committed zero pages at its place.
bool ZeroView(int slot) {
  void* base = reinterpret_cast<void*>(GuardedBegin(slot));
  if (!UnmapViewOfFile(base)) return false;
  return VirtualAlloc(base, GuardedEnd(slot) - GuardedBegin(slot), MEM_RESERVE | MEM_COMMIT, PAGE_READONLY) == base;
}

LONG CALLBACK OnFault(EXCEPTION_POINTERS* info) {
  const EXCEPTION_RECORD& fault = *info->ExceptionRecord;
  if (fault.ExceptionCode != EXCEPTION_IN_PAGE_ERROR && fault.ExceptionCode != EXCEPTION_ACCESS_VIOLATION)
    return EXCEPTION_CONTINUE_SEARCH;
  if (fault.NumberParameters < 2 || fault.ExceptionInformation[0] != 0) return EXCEPTION_CONTINUE_SEARCH;  // not a read
  const int slot = SlotHolding(static_cast<uintptr_t>(fault.ExceptionInformation[1]));
  if (slot < 0) return EXCEPTION_CONTINUE_SEARCH;
  std::lock_guard<std::mutex> lock(gSwapping);
  if (!gZeroed[slot].load() && ZeroView(slot)) {
    gZeroed[slot].store(true);
    MarkChanged(slot);
  }
  return gZeroed[slot].load() ? EXCEPTION_CONTINUE_EXECUTION : EXCEPTION_CONTINUE_SEARCH;
}

void InstallHandler() {
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  gGranularity = system.dwAllocationGranularity;
  gPageSize = system.dwPageSize;
  AddVectoredExceptionHandler(1, OnFault);
}

HANDLE Handle(intptr_t file) { return reinterpret_cast<HANDLE>(file); }

// The file for reading, whoever else has it open; a directory opens too
// (FILE_FLAG_BACKUP_SEMANTICS), to be refused as not a regular file.
HANDLE OpenForReading(const std::filesystem::path& path) {
  return CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
}

// A file on a disk, not a directory, pipe or device; its size in `size`.
bool IsRegularFile(HANDLE file, uint64_t& size) {
  BY_HANDLE_FILE_INFORMATION facts;
  if (GetFileType(file) != FILE_TYPE_DISK || !GetFileInformationByHandle(file, &facts)) return false;
  if (facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
  size = (uint64_t{facts.nFileSizeHigh} << 32) | facts.nFileSizeLow;
  return true;
}

// A read-only view of `length` bytes of `file` from `from`; null when refused.
void* MapView(HANDLE file, uint64_t from, size_t length) {
  HANDLE mapping = CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
  if (!mapping) return nullptr;
  void* view = MapViewOfFile(mapping, FILE_MAP_READ, static_cast<DWORD>(from >> 32), static_cast<DWORD>(from), length);
  CloseHandle(mapping);  // the view keeps the mapping alive
  return view;
}

}  // namespace

std::unique_ptr<FileMap> FileMap::open(const std::filesystem::path& path, MapFailure& failure, uint64_t offset,
                                       uint64_t length) {
  std::call_once(gInstalled, InstallHandler);
  const HANDLE file = OpenForReading(path);
  if (file == INVALID_HANDLE_VALUE) {
    failure = MapFailure::Open;
    return nullptr;
  }
  std::unique_ptr<FileMap> map(new FileMap());
  map->file_ = reinterpret_cast<intptr_t>(file);
  uint64_t fileSize = 0;
  if (!IsRegularFile(file, fileSize)) {
    failure = MapFailure::NotRegular;
    return nullptr;
  }
  map->place(fileSize, offset, length, gGranularity);
  if (map->size_ == 0) {  // a mapping of an empty range is refused
    CloseHandle(file);
    map->file_ = -1;
    return map;
  }
  void* view = MapView(file, map->offset_ - map->offset_ % gGranularity, map->mapped_);
  if (!view) {
    failure = MapFailure::Map;
    return nullptr;
  }
  map->base_ = view;
  map->data_ = static_cast<const uint8_t*>(view) + (map->mapped_ - map->size_);
  const uintptr_t begin = reinterpret_cast<uintptr_t>(view);
  map->slot_ = GuardRange(begin, begin + ((map->mapped_ + gPageSize - 1) & ~(gPageSize - 1)));
  if (map->slot_ < 0) {
    failure = MapFailure::TooMany;
    return nullptr;
  }
  gZeroed[map->slot_].store(false);
  return map;
}

FileMap::~FileMap() {
  bool zeroed = false;
  if (slot_ >= 0) {
    std::lock_guard<std::mutex> lock(gSwapping);  // no swap of this view is under way
    zeroed = gZeroed[slot_].load();
    ReleaseRange(slot_);  // before the range can be reused
  }
  if (base_ && zeroed) VirtualFree(base_, 0, MEM_RELEASE);
  else if (base_) UnmapViewOfFile(base_);
  if (file_ != -1) CloseHandle(Handle(file_));
}

void FileMap::read(size_t offset, size_t size, uint8_t* out) const {
  size_t done = 0;
  while (file_ != -1 && done < size) {
    const uint64_t at = offset_ + offset + done;
    OVERLAPPED where = {};
    where.Offset = static_cast<DWORD>(at);
    where.OffsetHigh = static_cast<DWORD>(at >> 32);
    DWORD n = 0;
    const DWORD want = static_cast<DWORD>(std::min<size_t>(size - done, DWORD{1} << 30));
    if (!ReadFile(Handle(file_), out + done, want, &n, &where) || n == 0) break;
    done += n;
  }
  if (done == size) return;
  std::memset(out + done, 0, size - done);
  if (slot_ >= 0) MarkChanged(slot_);
}

}  // namespace fc::platform
