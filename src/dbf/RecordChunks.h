// dbf/RecordChunks.h - a pass over many records of a table, a chunk at a time
// read into a buffer of the calling thread.
//
// Reading a mapped table touches each of its pages, and the first touch of a
// page of a new mapping costs a page fault; on a virtual machine that is a
// trip to the host, worth many times the bytes. A pass over the whole table
// therefore reads it with read(2) instead, a chunk of records at a time into
// a buffer that stays in the cache and is reused: the cost is then a copy
// from the page cache. Single records (a lookup, the records behind a
// finding) are still read through the mapping.
//
//   fc::dbf::RecordChunks chunks(table, 0, table.recordCount());
//   for (RecordChunks::Chunk c; chunks.next(c);)
//     for (uint32_t k = 0; k < c.count; ++k) use(c.first + k, c.records + k * table.recordLength());
//   if (table.changed()) discardThePass();   // what is gone reads as zeros
//
// A chunk's bytes last until the next call of next(). Passes may nest (each
// takes its own buffer) and run on many threads at once.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace fc::dbf {

class Table;

class RecordChunks {
 public:
  // The records of index [begin, end) of `table` (end beyond the table: to its end).
  RecordChunks(const Table& table, uint32_t begin, uint32_t end);
  ~RecordChunks();  // gives the buffer back to the spares
  RecordChunks(const RecordChunks&) = delete;
  RecordChunks& operator=(const RecordChunks&) = delete;

  struct Chunk {
    uint32_t first = 0;               // index of its first record
    uint32_t count = 0;               // records in it, at least one
    const uint8_t* records = nullptr; // count * recordLength() bytes
  };
  // The next chunk; false when the pass is done.
  bool next(Chunk& chunk);

 private:
  const Table& table_;
  uint32_t next_;                                 // first record of the next chunk
  uint32_t end_;                                  // one past the last record
  uint32_t perChunk_;                             // records per chunk
  std::unique_ptr<std::vector<uint8_t>> buffer_;  // taken from the spares
};

}  // namespace fc::dbf
