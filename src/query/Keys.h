// query/Keys.h - hash keys over record values: the key bytes of a row, their
// hash, an open-addressing table, and an index of a table's records by key.
//
// A KeyEncoder turns the values of some expressions on one row into a byte
// string that is equal exactly when the values are equal with the rules'
// meaning: texts without trailing blanks, numbers in normal form, NULL as a
// value of its own. Group by, in-subqueries and exists lookups all use it, so
// they agree with `=` on what "the same" is.
//
// A KeyTable slot holds a 32-bit hash and a 32-bit value (a group number, a
// record number). To tell keys with equal hashes apart it asks the caller,
// who re-reads the key behind that value from the mapped records; nothing of
// a key is copied into the table.
//
//   KeyTable table(expected);
//   bool isNew;
//   uint32_t v = table.insert(HashKey(key), [&](uint32_t v) { return keyOf(v) == key; }, next, isNew);
//
// Lookups are memory-bound: callers with many keys at hand prefetch() them
// all before looking any up.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "query/Eval.h"

namespace fc::dbf {
class Table;
}

namespace fc::query {

class KeyEncoder {
 public:
  KeyEncoder() = default;
  explicit KeyEncoder(std::vector<Value> parts);

  // Replaces `out` with the key of `row`; false when some part is NULL (the
  // key is complete all the same, with a NULL mark for that part).
  bool encode(const Row& row, std::string& out);
  // A key of `row` for comparing with keys this encoder gives for other rows
  // of the same table (a group by), never with another encoder's: equal
  // exactly when encode()'s keys are. When every part is a plain column it
  // is the columns' bytes side by side, taken without trimming or copying
  // piece by piece: each column has one width, so trailing blanks pad alike.
  // The view lasts until the next call with the same `scratch`.
  std::string_view tableKey(const Row& row, std::string& scratch);
  // <0, 0 or >0 as the key of `a` sorts before, with or after that of `b`:
  // part by part, NULL first, texts as `<` compares them, numbers by value.
  int order(const Row& a, const Row& b);

 private:
  std::vector<Value> parts_;
  std::vector<const ColumnRef*> columns_;  // per part: the column it reads plainly, or null
  size_t fixedWidth_ = 0;  // bytes of tableKey() when every part is a plain column, else 0
};

uint32_t HashKey(std::string_view key);
// The whole 64 bits the 32-bit hash is the low half of, for callers that
// need more bits than a KeyTable slot holds (to spread keys over partitions
// with bits the slots do not compare).
uint64_t HashKey64(std::string_view key);

// Huge pages and all pages faulted in at once (platform/AnonymousMemory.h),
// for a large buffer that will be filled whole.
void PrepareLargeBuffer(const void* data, size_t bytes);

// Keeps a vector that fills from its start faulted in a step ahead of its
// writer: not page by page, and not before the pages are wanted (a filter
// may pass few of the records a vector was reserved for).
//
//   PrefaultAhead ahead;
//   ... before each batch is appended: ahead.keep(v);
class PrefaultAhead {
 public:
  template <typename T>
  void keep(const std::vector<T>& v) {
    keepBytes(v.data(), v.size() * sizeof(T), v.capacity() * sizeof(T));
  }

 private:
  void keepBytes(const void* data, size_t usedBytes, size_t capacityBytes);

  size_t done_ = 0;  // bytes from the start faulted in so far
};

class KeyTable {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  // Room for `expected` keys without growing; the memory is reserved but only
  // touched where keys land.
  explicit KeyTable(size_t expected);
  ~KeyTable();
  KeyTable(const KeyTable&) = delete;
  KeyTable& operator=(const KeyTable&) = delete;

  void prefetch(uint32_t hash) const { __builtin_prefetch(&slots_[hash & mask_]); }

  // Empties the table, keeping its memory, for another set of at most as
  // many keys as it was made for.
  void clear();

  // The value stored for the key with `hash` for which same(value) holds, or kNone.
  template <typename Same>
  uint32_t find(uint32_t hash, Same&& same) const {
    for (uint32_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.valuePlus1 == 0) return kNone;
      if (s.hash == hash && same(s.valuePlus1 - 1)) return s.valuePlus1 - 1;
    }
  }

  // The value of the first slot with `hash`, whatever its key: what find()
  // will most likely compare with, worth prefetching.
  uint32_t firstWithHash(uint32_t hash) const {
    for (uint32_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.valuePlus1 == 0 || s.hash == hash) return s.valuePlus1 - 1;
    }
  }

  // The value stored for the key; a new key gets `value` (below kNone).
  template <typename Same>
  uint32_t insert(uint32_t hash, Same&& same, uint32_t value, bool& isNew) {
    isNew = false;
    uint32_t i = hash & mask_;
    for (;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.valuePlus1 == 0) break;
      if (s.hash == hash && same(s.valuePlus1 - 1)) return s.valuePlus1 - 1;
    }
    isNew = true;
    slots_[i] = Slot{hash, value + 1};
    if (++size_ > mask_ / 4 * 3) grow();
    return value;
  }

 private:
  struct Slot {
    uint32_t hash;        // the key's hash
    uint32_t valuePlus1;  // 0 marks an empty slot
  };

  void allocate(size_t count);
  void release();
  void grow();

  Slot* slots_ = nullptr;  // zeroed memory for mask_ + 1 slots
  size_t mapped_ = 0;      // bytes mapped for slots_, 0 when it came from calloc
  uint32_t mask_ = 0;      // slot count - 1, a power of two - 1
  uint32_t size_ = 0;      // keys stored
};

// The records of one table for which a filter holds, looked up by key. Built
// once from its filter and key expressions, it keeps each distinct key's
// bytes, so a session can keep it for later queries and a lookup compares
// stored bytes instead of evaluating the key of a record again.
class RowIndex {
 public:
  RowIndex(const dbf::Table& table, int depth, PredPtr filter, KeyEncoder keys);

  // No record passed the filter.
  bool empty() const { return passed_ == 0; }
  // Some record that passed the filter has a NULL key part.
  bool hasNullKey() const { return hasNullKey_; }

  // Brings what a lookup of `hash` reads into the cache: first the slot
  // (prefetchSlot), then, once that has arrived, the stored key it names.
  void prefetchSlot(uint32_t hash) const { table_.prefetch(hash); }
  void prefetchRecord(uint32_t hash) const {
    uint32_t at = table_.firstWithHash(hash);
    if (at == KeyTable::kNone) return;
    __builtin_prefetch(store_.data() + at);  // a key often straddles two cache lines
    __builtin_prefetch(store_.data() + at + 64);
  }

  // Calls visit(record) for each indexed record whose key is `key` (with
  // hash `hash`), until a call returns true; returns whether one did.
  template <typename Visit>
  bool forEachMatch(std::string_view key, uint32_t hash, Visit&& visit) const {
    uint32_t at = table_.find(hash, [&](uint32_t at) { return keyAt(at) == key; });
    if (at == KeyTable::kNone) return false;
    for (uint32_t r = firstRecordAt(at); r != KeyTable::kNone; r = next_.empty() ? KeyTable::kNone : next_[r])
      if (visit(record(r))) return true;
    return false;
  }

 private:
  // A stored key: its first record (4 bytes), its length (4 bytes), its bytes.
  static constexpr size_t kHeader = 8;

  const uint8_t* record(uint32_t index) const { return base_ + static_cast<size_t>(index) * stride_; }
  uint32_t firstRecordAt(uint32_t at) const;
  std::string_view keyAt(uint32_t at) const;
  void add(uint32_t index, const std::string& key, uint32_t hash);

  const uint8_t* base_ = nullptr;  // first record of the mapped table
  size_t stride_ = 0;              // record length
  uint32_t count_ = 0;             // records in the table
  std::vector<char> store_;        // every distinct key once; the key table holds offsets into it
  KeyTable table_;                 // key -> offset of its stored key
  std::vector<uint32_t> next_;     // record -> next record of the same key; empty until a key repeats
  PrefaultAhead storeAhead_;       // keeps store_ faulted in ahead of the keys
  uint32_t passed_ = 0;            // records that passed the filter
  bool hasNullKey_ = false;
};

}  // namespace fc::query
