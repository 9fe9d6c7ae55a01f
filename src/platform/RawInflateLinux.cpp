// platform/RawInflateLinux.cpp - InflateRaw on Linux, by ISA-L.
#include <isa-l/igzip_lib.h>

#include <vector>

#include "platform/RawInflate.h"

namespace fc::platform {

namespace {

constexpr size_t kOutput = size_t{1} << 20;  // inflated bytes handed on at a time
constexpr size_t kInput = kOutput / 4;

}  // namespace

std::optional<uint32_t> InflateRaw(const RawSource& read, const InflatedSink& write) {
  std::vector<uint8_t> in(kInput), buffer(kOutput);
  inflate_state state;
  isal_inflate_init(&state);
  state.crc_flag = ISAL_GZIP_NO_HDR;  // the CRC-32 of gzip, which is ZIP's
  bool end = false;                   // the raw stream is read to its end
  while (state.block_state != ISAL_BLOCK_FINISH) {
    if (state.avail_in == 0 && !end) {
      const int64_t n = read(in.data(), in.size());
      if (n < 0) return std::nullopt;
      end = n == 0;
      state.next_in = in.data();
      state.avail_in = static_cast<uint32_t>(n);
    }
    state.next_out = buffer.data();
    state.avail_out = static_cast<uint32_t>(buffer.size());
    if (isal_inflate(&state) < 0) return std::nullopt;
    const size_t got = buffer.size() - state.avail_out;
    if (got == 0 && end && state.block_state != ISAL_BLOCK_FINISH) return std::nullopt;  // cut short
    if (!write(buffer.data(), got)) return std::nullopt;
  }
  return state.crc;
}

}  // namespace fc::platform
