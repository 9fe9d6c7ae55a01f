// The two raw inflaters of fc::platform on streams zlib deflated: both give
// back the very bytes and their CRC-32, and both refuse a stream cut short,
// a corrupt one and a writer that stops.
#include "platform/RawInflate.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <random>
#include <string>

namespace fc::platform {
namespace {

using Inflater = std::optional<uint32_t> (*)(const RawSource&, const InflatedSink&);
const Inflater kInflaters[] = {InflateRaw, InflateRawWithZlib};

std::string Deflate(const std::string& bytes) {
  z_stream stream = {};
  EXPECT_EQ(deflateInit2(&stream, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  std::string out(deflateBound(&stream, bytes.size()), '\0');
  stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  stream.avail_in = static_cast<uInt>(bytes.size());
  stream.next_out = reinterpret_cast<Bytef*>(out.data());
  stream.avail_out = static_cast<uInt>(out.size());
  EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
  out.resize(stream.total_out);
  deflateEnd(&stream);
  return out;
}

uint32_t Crc(const std::string& bytes) {
  return static_cast<uint32_t>(crc32(0, reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

// Inflates `stream`, handed over in pieces of at most `piece` bytes, into `out`.
std::optional<uint32_t> Inflate(Inflater inflater, const std::string& stream, std::string& out,
                                size_t piece = 100000, size_t refuseAfter = SIZE_MAX) {
  size_t at = 0;
  out.clear();
  return inflater(
      [&](uint8_t* buffer, size_t size) {
        const size_t n = std::min({size, piece, stream.size() - at});
        std::copy_n(stream.data() + at, n, buffer);
        at += n;
        return static_cast<int64_t>(n);
      },
      [&](const uint8_t* data, size_t size) {
        out.append(reinterpret_cast<const char*>(data), size);
        return out.size() <= refuseAfter;
      });
}

TEST(RawInflate, BothInflatersGiveBackTheBytesAndTheirCrc) {
  std::mt19937 random(7);
  std::string noise(size_t{3} << 20, '\0');  // incompressible, several output buffers
  for (char& c : noise) c = static_cast<char>(random());
  std::string records;
  for (int i = 0; records.size() < (size_t{5} << 20); ++i) records += "Z" + std::to_string(i) + "        客户全称   20080808";
  for (const std::string& bytes : {std::string(), noise, records}) {
    const std::string stream = Deflate(bytes);
    for (Inflater inflater : kInflaters) {
      std::string out;
      EXPECT_EQ(Inflate(inflater, stream, out, 777), Crc(bytes)) << bytes.size();
      EXPECT_TRUE(out == bytes) << bytes.size();
    }
  }
}

TEST(RawInflate, BothRefuseAStreamCutShortOrCorruptAndAWriterThatStops) {
  std::string records;
  for (int i = 0; records.size() < (size_t{2} << 20); ++i) records += "Z" + std::to_string(i) + " 客户";
  const std::string stream = Deflate(records);
  std::string corrupt = stream;
  for (size_t i = corrupt.size() / 2; i < corrupt.size() / 2 + 64; ++i) corrupt[i] = static_cast<char>(~corrupt[i]);
  for (Inflater inflater : kInflaters) {
    std::string out;
    EXPECT_FALSE(Inflate(inflater, stream.substr(0, stream.size() - 3), out));
    EXPECT_FALSE(Inflate(inflater, std::string(), out));
    const std::optional<uint32_t> crc = Inflate(inflater, corrupt, out);
    EXPECT_TRUE(!crc || *crc != Crc(records));
    EXPECT_FALSE(Inflate(inflater, stream, out, 100000, 1000));
  }
}

}  // namespace
}  // namespace fc::platform
