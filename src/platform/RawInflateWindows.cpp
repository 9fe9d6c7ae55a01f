// platform/RawInflateWindows.cpp - InflateRaw on Windows, which has no
// ISA-L: zlib's.
#include "platform/RawInflate.h"

namespace fc::platform {

std::optional<uint32_t> InflateRaw(const RawSource& read, const InflatedSink& write) {
  return InflateRawWithZlib(read, write);
}

}  // namespace fc::platform
