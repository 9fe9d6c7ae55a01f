#include "dbf/RecordChunks.h"

#include <algorithm>

#include "dbf/Table.h"

namespace fc::dbf {

namespace {

// Bytes read at a time: a chunk stays in the core's own cache while the pass
// works through it.
constexpr size_t kChunkBytes = size_t{256} << 10;

// Buffers a thread's passes have finished with, ready for its next ones, so
// that a pass touches no fresh memory.
thread_local std::vector<std::unique_ptr<std::vector<uint8_t>>> tSpares;

}  // namespace

RecordChunks::RecordChunks(const Table& table, uint32_t begin, uint32_t end)
    : table_(table), next_(begin), end_(std::min(end, table.recordCount())) {
  const size_t length = std::max<size_t>(1, table.recordLength());
  perChunk_ = static_cast<uint32_t>(std::max<size_t>(1, kChunkBytes / length));
  if (!tSpares.empty()) {
    buffer_ = std::move(tSpares.back());
    tSpares.pop_back();
  } else {
    buffer_ = std::make_unique<std::vector<uint8_t>>();
  }
}

RecordChunks::~RecordChunks() { tSpares.push_back(std::move(buffer_)); }

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
