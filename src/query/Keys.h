// query/Keys.h - hash keys over record values: the key bytes of a row, their
// hash, and an open-addressing table from keys to dense ids.
//
// A KeyEncoder turns the values of some expressions on one row into a byte
// string that is equal exactly when the values are equal with the rules'
// meaning: texts without trailing blanks, numbers in normal form, NULL as a
// value of its own. Group by, in-subqueries and exists lookups all use it, so
// they agree with `=` on what "the same" is.
//
// A KeyTable stores only a 32-bit hash and an id per slot. To tell keys with
// equal hashes apart it asks the caller, who re-reads the key of that id from
// the mapped records; nothing of a key is copied into the table.
//
//   KeyTable table(expected);
//   bool isNew;
//   uint32_t id = table.insert(HashKey(key), [&](uint32_t id) { return keyOf(id) == key; }, isNew);
#pragma once

#include <cstdint>
#include <cstdlib>
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
  explicit KeyEncoder(std::vector<Value> parts) : parts_(std::move(parts)) {}

  // Replaces `out` with the key of `row`; false when some part is NULL (the
  // key is complete all the same, with a NULL mark for that part).
  bool encode(const Row& row, std::string& out);
  size_t size() const { return parts_.size(); }

 private:
  std::vector<Value> parts_;
};

uint32_t HashKey(std::string_view key);

class KeyTable {
 public:
  static constexpr uint32_t kNone = UINT32_MAX;

  // Room for `expected` keys without growing; the memory is reserved but only
  // touched where keys land.
  explicit KeyTable(size_t expected);

  // The id of the key with `hash` for which same(id) holds, or kNone.
  template <typename Same>
  uint32_t find(uint32_t hash, Same&& same) const {
    for (uint32_t i = hash & mask_;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.idPlus1 == 0) return kNone;
      if (s.hash == hash && same(s.idPlus1 - 1)) return s.idPlus1 - 1;
    }
  }

  // The id of the key; a new key gets the next id (size() before the call).
  template <typename Same>
  uint32_t insert(uint32_t hash, Same&& same, bool& isNew) {
    isNew = false;
    uint32_t i = hash & mask_;
    for (;; i = (i + 1) & mask_) {
      const Slot& s = slots_[i];
      if (s.idPlus1 == 0) break;
      if (s.hash == hash && same(s.idPlus1 - 1)) return s.idPlus1 - 1;
    }
    isNew = true;
    slots_[i] = Slot{hash, ++size_};
    if (size_ * 2 > mask_) grow();
    return size_ - 1;
  }

  uint32_t size() const { return size_; }

 private:
  struct Slot {
    uint32_t hash;     // the key's hash
    uint32_t idPlus1;  // 0 marks an empty slot
  };
  struct Free {
    void operator()(Slot* p) const { std::free(p); }
  };

  void grow();

  std::unique_ptr<Slot[], Free> slots_;
  uint32_t mask_ = 0;  // slot count - 1, a power of two - 1
  uint32_t size_ = 0;  // keys stored
};

// The records of one table for which a filter holds, looked up by key. Built
// once, it owns its filter and key expressions and evaluates them on a row
// of its own, so a session can keep it for later queries.
class RowIndex {
 public:
  RowIndex(const dbf::Table& table, int depth, PredPtr filter, KeyEncoder keys);

  // No record passed the filter.
  bool empty() const { return passed_ == 0; }
  // Some record that passed the filter has a NULL key part.
  bool hasNullKey() const { return hasNullKey_; }

  // Calls visit(record) for each indexed record whose key is `key`, until a
  // call returns true; returns whether one did.
  template <typename Visit>
  bool forEachMatch(std::string_view key, Visit&& visit) {
    uint32_t id = table_.find(HashKey(key), [&](uint32_t id) { return keyOf(first_[id]) == key; });
    if (id == KeyTable::kNone) return false;
    for (uint32_t e = first_[id]; e != KeyTable::kNone; e = next_[e])
      if (visit(record(rows_[e]))) return true;
    return false;
  }

 private:
  const uint8_t* record(uint32_t index) const { return base_ + static_cast<size_t>(index) * stride_; }
  std::string_view keyOf(uint32_t entry);

  const uint8_t* base_ = nullptr;  // first record of the mapped table
  size_t stride_ = 0;              // record length
  int depth_;                      // level the expressions read
  PredPtr filter_;                 // records must pass it to be indexed
  KeyEncoder keys_;                // the indexed expressions
  Row row_;                        // where keys are evaluated
  std::string scratch_;            // key of a stored record, for comparison
  KeyTable table_;                 // key -> id
  std::vector<uint32_t> first_;    // id -> first entry
  std::vector<uint32_t> rows_;     // entry -> record index
  std::vector<uint32_t> next_;     // entry -> next entry of the same key
  uint32_t passed_ = 0;            // records that passed the filter
  bool hasNullKey_ = false;
};

}  // namespace fc::query
