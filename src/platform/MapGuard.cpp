// platform/MapGuard.cpp - MapGuard.h, the same on every system: fixed slots
// of lock-free atomics, so that a signal handler may read them.
#include "platform/MapGuard.h"

#include <atomic>

namespace fc::platform {

namespace {

// One registered range. The handler reads a slot's range between two reads
// of `sequence` and trusts it only when both gave the same even number (a
// writer holds the number odd while it changes the range). The range of a
// map being read never changes, so the handler always finds it.
struct Slot {
  std::atomic<bool> taken{false};     // owned by a map
  std::atomic<uint64_t> sequence{0};  // odd while begin and end change
  std::atomic<uintptr_t> begin{0};    // the mapped pages [begin, end); empty when free
  std::atomic<uintptr_t> end{0};
  std::atomic<bool> changed{false};   // the handler put zero pages in, or a read came short
};

static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<uint64_t>::is_always_lock_free &&
                  std::atomic<uintptr_t>::is_always_lock_free,
              "the fault handler needs lock-free atomics");

Slot gSlots[kGuardSlots];

void SetRange(Slot& slot, uintptr_t begin, uintptr_t end) {
  slot.sequence.fetch_add(1);
  slot.begin.store(begin);
  slot.end.store(end);
  slot.sequence.fetch_add(1);
}

}  // namespace

int GuardRange(uintptr_t begin, uintptr_t end) {
  for (int i = 0; i < kGuardSlots; ++i) {
    bool free = false;
    if (!gSlots[i].taken.compare_exchange_strong(free, true)) continue;
    gSlots[i].changed.store(false);
    SetRange(gSlots[i], begin, end);
    return i;
  }
  return -1;
}

void ReleaseRange(int slot) {
  SetRange(gSlots[slot], 0, 0);
  gSlots[slot].taken.store(false);
}

int SlotHolding(uintptr_t address) {
  for (int i = 0; i < kGuardSlots; ++i) {
    const Slot& slot = gSlots[i];
    const uint64_t before = slot.sequence.load();
    if (before & 1) continue;  // being set up or torn down: nobody reads it
    const uintptr_t begin = slot.begin.load(), end = slot.end.load();
    if (slot.sequence.load() == before && address >= begin && address < end) return i;
  }
  return -1;
}

uintptr_t GuardedBegin(int slot) { return gSlots[slot].begin.load(); }
uintptr_t GuardedEnd(int slot) { return gSlots[slot].end.load(); }
void MarkChanged(int slot) { gSlots[slot].changed.store(true); }
bool Changed(int slot) { return gSlots[slot].changed.load(); }

}  // namespace fc::platform
