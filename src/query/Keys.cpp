#include "query/Keys.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

#include "dbf/Table.h"
#include "platform/AnonymousMemory.h"
#include "query/Scan.h"
#include "query/PaddedText.h"

namespace fc::query {
namespace {

constexpr char kNullMark = 0;
constexpr char kValueMark = 1;

// Collects a key on the stack and hands it to the string in one append:
// a key is a few short pieces, and per-piece string appends cost more than
// the pieces themselves.
class KeyWriter {
 public:
  explicit KeyWriter(std::string& out) : out_(out) { out_.clear(); }
  ~KeyWriter() { flush(); }
  KeyWriter(const KeyWriter&) = delete;
  KeyWriter& operator=(const KeyWriter&) = delete;

  void put(char c) {
    if (n_ == sizeof buf_) flush();
    buf_[n_++] = c;
  }
  void put(std::string_view s) {
    if (n_ + s.size() > sizeof buf_) {
      flush();
      if (s.size() > sizeof buf_) {
        out_.append(s);
        return;
      }
    }
    std::memcpy(buf_ + n_, s.data(), s.size());
    n_ += s.size();
  }
  void putLength(size_t n) {
    if (n < 255) return put(static_cast<char>(n));
    uint32_t n32 = static_cast<uint32_t>(n);
    put(static_cast<char>(255));
    put(std::string_view(reinterpret_cast<const char*>(&n32), sizeof n32));
  }

 private:
  void flush() {
    out_.append(buf_, n_);
    n_ = 0;
  }

  std::string& out_;
  char buf_[256];
  size_t n_ = 0;
};

// One 64x64->128 multiply folded to 64 bits: the mixing step of wyhash.
uint64_t Mix(uint64_t a, uint64_t b) {
  unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
  return static_cast<uint64_t>(p) ^ static_cast<uint64_t>(p >> 64);
}

uint64_t Load8(const char* p) {
  uint64_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

uint64_t Load4(const char* p) {
  uint32_t v;
  std::memcpy(&v, p, sizeof v);
  return v;
}

// Up to 16 bytes as two words, read with fixed-size loads that may overlap
// (as wyhash does): a load of a variable size would be a byte loop whose
// stores the next load then waits for.
void LoadShort(const char* p, size_t n, uint64_t& a, uint64_t& b) {
  if (n >= 4) {
    const size_t skip = (n >> 3) << 2;  // 4 when n >= 8: the middle bytes are read too
    a = (Load4(p) << 32) | Load4(p + skip);
    b = (Load4(p + n - 4) << 32) | Load4(p + n - 4 - skip);
  } else if (n > 0) {
    auto byte = [&](size_t i) { return uint64_t{static_cast<uint8_t>(p[i])}; };
    a = (byte(0) << 16) | (byte(n >> 1) << 8) | byte(n - 1);
    b = 0;
  } else {
    a = b = 0;
  }
}

}  // namespace

void PrepareLargeBuffer(const void* data, size_t bytes) {
  platform::AdviseHugePages(data, bytes);
  platform::Prefault(data, bytes);
}

void PrefaultAhead::keepBytes(const void* data, size_t usedBytes, size_t capacityBytes) {
  constexpr size_t kStep = size_t{16} << 20;
  if (usedBytes + kStep / 2 <= done_ || done_ >= capacityBytes) return;
  const size_t from = std::max(done_, usedBytes);
  done_ = std::min(capacityBytes, from + kStep);
  platform::Prefault(static_cast<const char*>(data) + from, done_ - from);
}

KeyEncoder::KeyEncoder(std::vector<Value> parts) : parts_(std::move(parts)) {
  for (const Value& part : parts_) columns_.push_back(part.text ? part.text->asColumn() : nullptr);
  for (const ColumnRef* c : columns_) {
    if (!c) {
      fixedWidth_ = 0;
      break;
    }
    fixedWidth_ += c->length + (c->nullMask ? 1 : 0);
  }
}

std::string_view KeyEncoder::tableKey(const Row& row, std::string& scratch) {
  if (fixedWidth_ == 0) {
    encode(row, scratch);
    return scratch;
  }
  scratch.resize(fixedWidth_);
  char* out = scratch.data();
  for (const ColumnRef* c : columns_) {
    // A NULL part is its mark and zeros: the bytes under it mean nothing.
    const bool null = c->isNull(row);
    if (c->nullMask) *out++ = null ? kNullMark : kValueMark;
    if (null)
      std::memset(out, 0, c->length);
    else
      std::memcpy(out, c->bytes(row).data(), c->length);
    out += c->length;
  }
  return scratch;
}

bool KeyEncoder::encode(const Row& row, std::string& out) {
  KeyWriter key(out);
  bool complete = true;
  for (size_t i = 0; i < parts_.size(); ++i) {
    Value& part = parts_[i];
    std::string_view s;
    bool present;
    if (const ColumnRef* c = columns_[i]) {  // a plain column: no need for a virtual call
      present = !c->isNull(row);
      if (present) s = c->bytes(row);
    } else if (part.text) {
      present = part.text->eval(row, s);
    } else {
      Decimal d;
      present = part.num->eval(row, d);
      if (present) {
        d = Normalized(d);
        key.put(kValueMark);
        key.put(std::string_view(reinterpret_cast<const char*>(&d.units), sizeof d.units));
        key.put(static_cast<char>(d.scale));
        continue;
      }
    }
    if (!present) {
      key.put(kNullMark);
      complete = false;
      continue;
    }
    s = TrimRight(s);
    key.put(kValueMark);
    key.putLength(s.size());
    key.put(s);
  }
  return complete;
}

int KeyEncoder::order(const Row& a, const Row& b) {
  for (Value& part : parts_) {
    int o = 0;
    if (part.num) {
      Decimal x, y;
      const bool hasX = part.num->eval(a, x), hasY = part.num->eval(b, y);
      o = hasX && hasY ? Order(x, y) : int(hasX) - int(hasY);
    } else {
      std::string_view x, y;
      const bool hasX = part.text->eval(a, x);
      std::string first(x);  // the view lasts only until the next evaluation
      const bool hasY = part.text->eval(b, y);
      o = hasX && hasY ? ComparePadded(first, y) : int(hasX) - int(hasY);
    }
    if (o != 0) return o;
  }
  return 0;
}

uint32_t HashKey(std::string_view key) { return static_cast<uint32_t>(HashKey64(key)); }

uint64_t HashKey64(std::string_view key) {
  constexpr uint64_t k0 = 0xa0761d6478bd642full, k1 = 0xe7037ed1a0b428dbull, k2 = 0x8ebc6af09c88c6e3ull;
  const char* p = key.data();
  size_t n = key.size();
  uint64_t h = k0 ^ n, a, b;
  if (n <= 16) {
    LoadShort(p, n, a, b);
  } else {
    for (; n > 16; p += 16, n -= 16) h = Mix(Load8(p) ^ k1, Load8(p + 8) ^ h);
    a = Load8(p + n - 16);  // the last 16 bytes, overlapping those already mixed
    b = Load8(p + n - 8);
  }
  h = Mix(a ^ k1, b ^ h ^ k2);
  return Mix(h, k1 ^ key.size());
}

// At most three quarters full: linear probing stays short, and a table of
// ten million keys stays within 128 MiB of slots.
KeyTable::KeyTable(size_t expected) { allocate(std::bit_ceil(std::max<size_t>(16, expected * 4 / 3 + 1))); }

KeyTable::~KeyTable() { release(); }

void KeyTable::clear() {
  std::memset(static_cast<void*>(slots_), 0, (size_t{mask_} + 1) * sizeof(Slot));
  size_ = 0;
}

// Zeroed memory. Large tables get transparent huge pages (with a random
// probe per record, small pages would cost a TLB miss almost every time),
// faulted in at once: keys land all over a table, so every page is wanted.
void KeyTable::allocate(size_t count) {
  if (count > (size_t{1} << 31)) throw std::bad_alloc();
  mask_ = static_cast<uint32_t>(count - 1);
  size_t bytes = count * sizeof(Slot);
  if (bytes < platform::kHugePage) {
    slots_ = static_cast<Slot*>(std::calloc(count, sizeof(Slot)));
    if (!slots_) throw std::bad_alloc();
    mapped_ = 0;
    return;
  }
  bytes = (bytes + platform::kHugePage - 1) / platform::kHugePage * platform::kHugePage;
  void* p = platform::AllocateZeroed(bytes);
  if (!p) throw std::bad_alloc();
  PrepareLargeBuffer(p, bytes);
  slots_ = static_cast<Slot*>(p);
  mapped_ = bytes;
}

void KeyTable::release() {
  if (mapped_)
    platform::FreeZeroed(slots_, mapped_);
  else
    std::free(slots_);
  slots_ = nullptr;
}

void KeyTable::grow() {
  Slot* old = slots_;
  size_t oldMapped = mapped_, oldCount = size_t{mask_} + 1;
  allocate(oldCount * 2);
  for (size_t i = 0; i < oldCount; ++i) {
    if (old[i].valuePlus1 == 0) continue;
    uint32_t j = old[i].hash & mask_;
    while (slots_[j].valuePlus1 != 0) j = (j + 1) & mask_;
    slots_[j] = old[i];
  }
  if (oldMapped)
    platform::FreeZeroed(old, oldMapped);
  else
    std::free(old);
}

RowIndex::RowIndex(const dbf::Table& table, int depth, PredPtr filter, KeyEncoder keys)
    : base_(table.recordCount() ? table.record(0) : nullptr),
      stride_(table.recordLength()),
      count_(table.recordCount()),
      table_(table.recordCount()) {
  std::string key[kBatch];
  uint32_t hash[kBatch];
  bool complete[kBatch];
  ScanBatches(table, depth, Row{}, filter.get(), [&](const Row* rows, const uint32_t* index, int n) {
    passed_ += static_cast<uint32_t>(n);
    for (int k = 0; k < n; ++k) {
      complete[k] = keys.encode(rows[k], key[k]);
      hash[k] = HashKey(key[k]);
      table_.prefetch(hash[k]);
    }
    // Room for as many keys as records, of about the first one's length (up
    // to a limit, past which the store grows as it must): reserved, the
    // memory is faulted in a step at a time as keys arrive.
    constexpr size_t kLargestReserve = size_t{1} << 30;
    if (store_.capacity() == 0) {
      store_.reserve(std::min(kLargestReserve, size_t{count_} * (kHeader + key[0].size() + 8)));
      platform::AdviseHugePages(store_.data(), store_.capacity());
    }
    storeAhead_.keep(store_);
    for (int k = 0; k < n; ++k) {
      if (complete[k])
        add(index[k], key[k], hash[k]);
      else
        hasNullKey_ = true;  // NULL equals nothing: such a record is never found
    }
    return true;
  });
}

uint32_t RowIndex::firstRecordAt(uint32_t at) const {
  uint32_t r;
  std::memcpy(&r, store_.data() + at, sizeof r);
  return r;
}

std::string_view RowIndex::keyAt(uint32_t at) const {
  uint32_t n;
  std::memcpy(&n, store_.data() + at + 4, sizeof n);
  return {store_.data() + at + kHeader, n};
}

void RowIndex::add(uint32_t index, const std::string& key, uint32_t hash) {
  size_t at = store_.size();
  if (at + kHeader + key.size() >= KeyTable::kNone) throw std::bad_alloc();  // offsets are 32-bit
  bool isNew;
  uint32_t found = table_.insert(
      hash, [&](uint32_t a) { return keyAt(a) == key; }, static_cast<uint32_t>(at), isNew);
  if (isNew) {
    uint32_t header[2] = {index, static_cast<uint32_t>(key.size())};
    const char* bytes = reinterpret_cast<const char*>(header);
    store_.insert(store_.end(), bytes, bytes + kHeader);
    store_.insert(store_.end(), key.begin(), key.end());
    return;
  }
  uint32_t head = firstRecordAt(found);
  if (next_.empty()) {
    next_.reserve(count_);
    PrepareLargeBuffer(next_.data(), count_ * sizeof(uint32_t));
    next_.assign(count_, KeyTable::kNone);
  }
  next_[index] = next_[head];
  next_[head] = index;
}

}  // namespace fc::query
