// platform/RawInflateZlib.cpp - InflateRawWithZlib: zlib's inflate with
// negative window bits (a raw stream, no zlib header) and its crc32.
#include <zlib.h>

#include <vector>

#include "platform/RawInflate.h"

namespace fc::platform {

namespace {

constexpr size_t kOutput = size_t{1} << 20;  // inflated bytes handed on at a time
constexpr size_t kInput = kOutput / 4;

struct InflateEnd {
  z_stream& stream;
  ~InflateEnd() { inflateEnd(&stream); }
};

}  // namespace

std::optional<uint32_t> InflateRawWithZlib(const RawSource& read, const InflatedSink& write) {
  std::vector<uint8_t> in(kInput), buffer(kOutput);
  z_stream stream = {};
  if (inflateInit2(&stream, -MAX_WBITS) != Z_OK) return std::nullopt;
  InflateEnd ending{stream};
  uLong crc = crc32(0, nullptr, 0);
  bool end = false;  // the raw stream is read to its end
  for (;;) {
    if (stream.avail_in == 0 && !end) {
      const int64_t n = read(in.data(), in.size());
      if (n < 0) return std::nullopt;
      end = n == 0;
      stream.next_in = in.data();
      stream.avail_in = static_cast<uInt>(n);
    }
    stream.next_out = buffer.data();
    stream.avail_out = static_cast<uInt>(buffer.size());
    const int status = inflate(&stream, Z_NO_FLUSH);
    if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) return std::nullopt;
    if (status == Z_BUF_ERROR && end) return std::nullopt;  // cut short: no progress with nothing more to read
    const size_t got = buffer.size() - stream.avail_out;
    crc = crc32(crc, buffer.data(), static_cast<uInt>(got));
    if (!write(buffer.data(), got)) return std::nullopt;
    if (status == Z_STREAM_END) return static_cast<uint32_t>(crc);
  }
}

}  // namespace fc::platform
