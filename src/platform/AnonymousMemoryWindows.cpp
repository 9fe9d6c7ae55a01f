// platform/AnonymousMemoryWindows.cpp - AnonymousMemory.h on Windows:
// committed pages from VirtualAlloc. The hints do nothing: large pages need
// a privilege (SeLockMemoryPrivilege) an operator's account does not have,
// and there is no call that faults in fresh private pages at once.
#include "platform/AnonymousMemory.h"

#include <windows.h>

namespace fc::platform {

void* AllocateZeroed(size_t bytes) { return VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE); }

void FreeZeroed(void* data, size_t) { VirtualFree(data, 0, MEM_RELEASE); }

void AdviseHugePages(const void*, size_t) {}

void Prefault(const void*, size_t) {}

}  // namespace fc::platform
