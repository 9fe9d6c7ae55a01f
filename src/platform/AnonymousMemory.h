// platform/AnonymousMemory.h - zeroed memory straight from the system for
// large buffers, and the hints that make filling them cheap.
//
//   void* p = fc::platform::AllocateZeroed(bytes);  // null when refused
//   fc::platform::AdviseHugePages(p, bytes);
//   fc::platform::Prefault(p, bytes);
//   ... fill p ...
//   fc::platform::FreeZeroed(p, bytes);
//
// The hints take any buffer, from the heap too, and act on the whole pages
// within it; where the system has no such hint they do nothing.
#pragma once

#include <cstddef>

namespace fc::platform {

constexpr size_t kHugePage = size_t{2} << 20;  // a transparent huge page

// `bytes` of zeroed, page-aligned memory, or null.
void* AllocateZeroed(size_t bytes);
// Gives back what AllocateZeroed(bytes) returned.
void FreeZeroed(void* data, size_t bytes);

// Asks for transparent huge pages under a large buffer just reserved, before
// it is written: its pages are then faulted in 2 MiB at a time instead of
// 4 KiB, and a random access into it misses the TLB far less. Only a hint.
void AdviseHugePages(const void* data, size_t bytes);
// Faults in the pages of a buffer about to be filled, all in one call. A
// page fault per page can cost more than the work that fills the page (on
// a virtual machine, touching 256 MiB page by page took 60 times as long as
// this); pages already there cost nothing. Only a hint as well.
void Prefault(const void* data, size_t bytes);

}  // namespace fc::platform
