#include "dbf/RecordChunks.h"

#include <algorithm>
#include <mutex>

#include "dbf/Table.h"

namespace fc::dbf {

namespace {

// Bytes read at a time: a chunk stays in the core's own cache while the pass
// works through it.
constexpr size_t kChunkBytes = size_t{256} << 10;

// Buffers the passes have finished with, ready for the next ones, so that a
// pass touches no fresh memory. One pool for the process, not one per thread:
// a thread_local object with a destructor is not safe on every system (with
// MinGW's emulated thread storage it may be destroyed after its memory is
// gone), and a pass takes its buffer once, so the lock costs nothing.
class SpareBuffers {
 public:
  std::unique_ptr<std::vector<uint8_t>> take() {
    std::lock_guard<std::mutex> hold(lock_);
    if (spares_.empty()) return std::make_unique<std::vector<uint8_t>>();
    std::unique_ptr<std::vector<uint8_t>> buffer = std::move(spares_.back());
    spares_.pop_back();
    return buffer;
  }
  void giveBack(std::unique_ptr<std::vector<uint8_t>> buffer) {
    std::lock_guard<std::mutex> hold(lock_);
    spares_.push_back(std::move(buffer));
  }

 private:
  std::mutex lock_;
  std::vector<std::unique_ptr<std::vector<uint8_t>>> spares_;
};

SpareBuffers& Spares() {
  static SpareBuffers spares;
  return spares;
}

}  // namespace

RecordChunks::RecordChunks(const Table& table, uint32_t begin, uint32_t end)
    : table_(table), next_(begin), end_(std::min(end, table.recordCount())) {
  const size_t length = std::max<size_t>(1, table.recordLength());
  perChunk_ = static_cast<uint32_t>(std::max<size_t>(1, kChunkBytes / length));
  buffer_ = Spares().take();
}

RecordChunks::~RecordChunks() { Spares().giveBack(std::move(buffer_)); }

bool RecordChunks::next(Chunk& chunk) {
  if (next_ >= end_) return false;
  chunk.first = next_;
  chunk.count = std::min(perChunk_, end_ - next_);
  const size_t bytes = size_t{chunk.count} * table_.recordLength();
  if (buffer_->size() < bytes) buffer_->resize(bytes);
  table_.readRecords(chunk.first, chunk.count, buffer_->data());
  chunk.records = buffer_->data();
  next_ += chunk.count;
  return true;
}

}  // namespace fc::dbf
