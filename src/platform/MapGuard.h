// platform/MapGuard.h - the registry of mapped ranges that the fault handler
// of FileMap consults: a fault at an address in a registered range is a read
// of a file that went away under its map, anywhere else it is not ours.
//
//   const int slot = fc::platform::GuardRange(begin, end);  // -1: every slot taken
//   ... in the handler: const int hit = fc::platform::SlotHolding(address);
//   ... if (hit >= 0) { replace the pages; fc::platform::MarkChanged(hit); }
//   fc::platform::ReleaseRange(slot);  // before the range is unmapped
//
// The handler may run on any thread at any moment (on Linux in a signal), so
// SlotHolding takes no lock and is async-signal-safe.
#pragma once

#include <cstdint>

namespace fc::platform {

// Ranges guarded at the same time; a further map is refused.
constexpr int kGuardSlots = 1024;

// A free slot now guarding [begin, end), changed() false; -1 when none is free.
int GuardRange(uintptr_t begin, uintptr_t end);
void ReleaseRange(int slot);
// The live slot whose range holds `address`, or -1.
int SlotHolding(uintptr_t address);
uintptr_t GuardedBegin(int slot);
uintptr_t GuardedEnd(int slot);
void MarkChanged(int slot);
bool Changed(int slot);

}  // namespace fc::platform
