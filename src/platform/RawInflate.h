// platform/RawInflate.h - inflating a raw deflate stream (a deflated ZIP
// entry's bytes as stored) a buffer at a time, with the CRC-32 of what it
// yields (ZIP's, gzip's).
//
//   std::optional<uint32_t> crc = fc::platform::InflateRaw(
//       [&](uint8_t* buffer, size_t size) { return readStored(buffer, size); },
//       [&](const uint8_t* data, size_t size) { return write(data, size); });
//   const bool whole = crc && *crc == entry.crc;
//
// InflateRaw is the fastest the system has: ISA-L on Linux, several times
// faster than zlib; zlib on Windows, where there is no ISA-L.
// InflateRawWithZlib is zlib's on every system, to hold the other to.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

namespace fc::platform {

// Fills `buffer` with up to `size` bytes of the stream: how many, 0 at its
// end, -1 when it cannot be read.
using RawSource = std::function<int64_t(uint8_t* buffer, size_t size)>;
// Takes the next `size` inflated bytes; false stops the inflating.
using InflatedSink = std::function<bool(const uint8_t* data, size_t size)>;

// The CRC-32 of the inflated bytes, all handed to `write`, once the stream
// has reached its final block (what follows it is not inflated); nothing
// when the stream is cut short or corrupt, or `read` or `write` fails.
std::optional<uint32_t> InflateRaw(const RawSource& read, const InflatedSink& write);
std::optional<uint32_t> InflateRawWithZlib(const RawSource& read, const InflatedSink& write);

}  // namespace fc::platform
