#include "query/Keys.h"

#include <bit>
#include <cstring>
#include <new>

#include "dbf/Table.h"
#include "query/Text.h"

namespace fc::query {
namespace {

constexpr char kNullMark = 0;
constexpr char kValueMark = 1;

void AppendLength(std::string& out, size_t n) {
  if (n < 255) {
    out.push_back(static_cast<char>(n));
    return;
  }
  uint32_t n32 = static_cast<uint32_t>(n);
  out.push_back(static_cast<char>(255));
  out.append(reinterpret_cast<const char*>(&n32), sizeof n32);
}

// One 64x64->128 multiply folded to 64 bits: the mixing step of wyhash.
uint64_t Mix(uint64_t a, uint64_t b) {
  unsigned __int128 p = static_cast<unsigned __int128>(a) * b;
  return static_cast<uint64_t>(p) ^ static_cast<uint64_t>(p >> 64);
}

uint64_t Load(const char* p, size_t n) {
  uint64_t v = 0;
  std::memcpy(&v, p, n);
  return v;
}

}  // namespace

bool KeyEncoder::encode(const Row& row, std::string& out) {
  out.clear();
  bool complete = true;
  for (Value& part : parts_) {
    if (part.text) {
      std::string_view s;
      if (!part.text->eval(row, s)) {
        out.push_back(kNullMark);
        complete = false;
        continue;
      }
      s = TrimRight(s);
      out.push_back(kValueMark);
      AppendLength(out, s.size());
      out.append(s);
      continue;
    }
    Decimal d;
    if (!part.num->eval(row, d)) {
      out.push_back(kNullMark);
      complete = false;
      continue;
    }
    d = Normalized(d);
    out.push_back(kValueMark);
    out.append(reinterpret_cast<const char*>(&d.units), sizeof d.units);
    out.push_back(static_cast<char>(d.scale));
  }
  return complete;
}

uint32_t HashKey(std::string_view key) {
  constexpr uint64_t k0 = 0xa0761d6478bd642full, k1 = 0xe7037ed1a0b428dbull, k2 = 0x8ebc6af09c88c6e3ull;
  const char* p = key.data();
  size_t n = key.size();
  uint64_t h = k0 ^ n;
  for (; n >= 16; p += 16, n -= 16) h = Mix(Load(p, 8) ^ k1, Load(p + 8, 8) ^ h);
  uint64_t a = n > 8 ? Load(p, 8) : Load(p, n);
  uint64_t b = n > 8 ? Load(p + 8, n - 8) : 0;
  h = Mix(a ^ k1, b ^ h ^ k2);
  return static_cast<uint32_t>(Mix(h, k1 ^ key.size()));
}

KeyTable::KeyTable(size_t expected) {
  size_t slots = std::bit_ceil(std::max<size_t>(16, expected * 2 + 1));
  if (slots > (size_t{1} << 31)) throw std::bad_alloc();
  // calloc hands out untouched zero pages for large blocks; only the pages
  // that keys land on are ever faulted in.
  slots_.reset(static_cast<Slot*>(std::calloc(slots, sizeof(Slot))));
  if (!slots_) throw std::bad_alloc();
  mask_ = static_cast<uint32_t>(slots - 1);
}

void KeyTable::grow() {
  size_t slots = (size_t{mask_} + 1) * 2;
  if (slots > (size_t{1} << 31)) throw std::bad_alloc();
  std::unique_ptr<Slot[], Free> old = std::move(slots_);
  size_t oldCount = size_t{mask_} + 1;
  slots_.reset(static_cast<Slot*>(std::calloc(slots, sizeof(Slot))));
  if (!slots_) throw std::bad_alloc();
  mask_ = static_cast<uint32_t>(slots - 1);
  for (size_t i = 0; i < oldCount; ++i) {
    if (old[i].idPlus1 == 0) continue;
    uint32_t j = old[i].hash & mask_;
    while (slots_[j].idPlus1 != 0) j = (j + 1) & mask_;
    slots_[j] = old[i];
  }
}

RowIndex::RowIndex(const dbf::Table& table, int depth, PredPtr filter, KeyEncoder keys)
    : base_(table.record(0)),
      stride_(table.recordLength()),
      depth_(depth),
      filter_(std::move(filter)),
      keys_(std::move(keys)),
      table_(table.recordCount()) {
  std::string key;
  const uint32_t count = table.recordCount();
  for (uint32_t i = 0; i < count; ++i) {
    const uint8_t* rec = record(i);
    if (rec[0] == '*') continue;  // deleted
    row_.rec[depth_] = rec;
    if (filter_ && filter_->test(row_) != Tri::True) continue;
    ++passed_;
    if (!keys_.encode(row_, key)) {
      hasNullKey_ = true;  // NULL equals nothing: such a record is never found
      continue;
    }
    bool isNew;
    uint32_t id = table_.insert(HashKey(key), [&](uint32_t id) { return keyOf(first_[id]) == key; }, isNew);
    uint32_t entry = static_cast<uint32_t>(rows_.size());
    rows_.push_back(i);
    if (isNew) {
      first_.push_back(entry);
      next_.push_back(KeyTable::kNone);
      continue;
    }
    next_.push_back(first_[id]);
    first_[id] = entry;
  }
}

std::string_view RowIndex::keyOf(uint32_t entry) {
  row_.rec[depth_] = record(rows_[entry]);
  keys_.encode(row_, scratch_);
  return scratch_;
}

}  // namespace fc::query
