#include "RawZip.h"

#include <zlib.h>

#include <stdexcept>

namespace fc::robustness {

namespace {

constexpr uint32_t kZip64Mark = 0xFFFFFFFF;
constexpr size_t kChunk = 1 << 20;  // bytes of zeros per repeated deflate block

void Put16(std::string& out, uint16_t v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>(v >> 8);
}

void Put32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

void Put64(std::string& out, uint64_t v) {
  Put32(out, static_cast<uint32_t>(v));
  Put32(out, static_cast<uint32_t>(v >> 32));
}

bool NeedsZip64(const RawEntry& e) { return e.size >= kZip64Mark || e.data.size() >= kZip64Mark; }

std::string Zip64Extra(const RawEntry& e) {
  if (!NeedsZip64(e)) return {};
  std::string extra;
  Put16(extra, 0x0001);
  Put16(extra, 16);
  Put64(extra, e.size);
  Put64(extra, e.data.size());
  return extra;
}

// The fields that local and central headers share, from "version needed" on.
void PutCommon(std::string& out, const RawEntry& e) {
  bool zip64 = NeedsZip64(e);
  Put16(out, zip64 ? 45 : 20);
  Put16(out, e.flags);
  Put16(out, e.method);
  Put16(out, 0x4000);  // 08:00:00
  Put16(out, 0x3908);  // 2008-08-08
  Put32(out, e.crc);
  Put32(out, zip64 ? kZip64Mark : static_cast<uint32_t>(e.data.size()));
  Put32(out, zip64 ? kZip64Mark : static_cast<uint32_t>(e.size));
  Put16(out, static_cast<uint16_t>(e.name.size()));
  Put16(out, static_cast<uint16_t>(Zip64Extra(e).size()));
}

uint32_t Crc(uint32_t crc, const std::string& bytes) {
  return static_cast<uint32_t>(crc32(crc, reinterpret_cast<const Bytef*>(bytes.data()),
                                     static_cast<uInt>(bytes.size())));
}

// Raw deflate of `in` with the given flush, appended to `out`.
void Deflate(z_stream& z, const std::string& in, int flush, std::string& out) {
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
  z.avail_in = static_cast<uInt>(in.size());
  char buffer[1 << 14];
  do {
    z.next_out = reinterpret_cast<Bytef*>(buffer);
    z.avail_out = sizeof buffer;
    if (deflate(&z, flush) == Z_STREAM_ERROR) throw std::runtime_error("deflate failed");
    out.append(buffer, sizeof buffer - z.avail_out);
  } while (z.avail_out == 0 || z.avail_in > 0);
}

}  // namespace

RawEntry Stored(const std::string& name, const std::string& bytes) {
  return {name, bytes, 0, Crc(0, bytes), bytes.size()};
}

// After a full flush the compressor starts afresh, so every further chunk of
// zeros compresses to the same bytes: one chunk compressed, then repeated.
RawEntry DeflateBomb(const std::string& name, uint64_t size) {
  z_stream z{};
  if (deflateInit2(&z, 9, Z_DEFLATED, -15, 9, Z_DEFAULT_STRATEGY) != Z_OK)
    throw std::runtime_error("deflateInit2 failed");
  const std::string zeros(kChunk, '\0');
  std::string first, repeated, tail;
  Deflate(z, zeros, Z_FULL_FLUSH, first);
  Deflate(z, zeros, Z_FULL_FLUSH, repeated);
  Deflate(z, zeros.substr(0, size % kChunk), Z_FINISH, tail);
  deflateEnd(&z);
  const uint64_t chunks = size / kChunk;
  RawEntry e{name, chunks > 0 ? first : std::string(), 8, 0, size};
  uint32_t zerosCrc = Crc(0, zeros);
  uint32_t crc = 0;
  for (uint64_t i = 0; i < chunks; ++i) {
    if (i > 0) e.data += repeated;
    crc = static_cast<uint32_t>(crc32_combine(crc, zerosCrc, static_cast<z_off_t>(kChunk)));
  }
  e.data += tail;
  e.crc = Crc(crc, zeros.substr(0, size % kChunk));
  return e;
}

std::string RawZipBytes(const std::vector<RawEntry>& entries) {
  std::string out, central;
  for (const RawEntry& e : entries) {
    uint32_t offset = static_cast<uint32_t>(out.size());
    Put32(out, 0x04034b50);
    PutCommon(out, e);
    out += e.name + Zip64Extra(e) + e.data;
    Put32(central, 0x02014b50);
    Put16(central, 0x031E);  // made by Unix, version 3.0
    PutCommon(central, e);
    Put16(central, 0);  // comment length
    Put16(central, 0);  // disk
    Put16(central, 0);  // internal attributes
    Put32(central, e.mode << 16);
    Put32(central, offset);
    central += e.name + Zip64Extra(e);
  }
  uint32_t centralAt = static_cast<uint32_t>(out.size());
  out += central;
  Put32(out, 0x06054b50);
  Put16(out, 0);
  Put16(out, 0);
  Put16(out, static_cast<uint16_t>(entries.size()));
  Put16(out, static_cast<uint16_t>(entries.size()));
  Put32(out, static_cast<uint32_t>(central.size()));
  Put32(out, centralAt);
  Put16(out, 0);
  return out;
}

}  // namespace fc::robustness
