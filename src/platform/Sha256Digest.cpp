// platform/Sha256Digest.cpp - the part of Sha256Digest.h both systems share.
#include "platform/Sha256Digest.h"

namespace fc::platform {

std::string HexOf(const unsigned char* bytes, size_t size) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(size * 2);
  for (size_t i = 0; i < size; ++i) {
    hex += kHex[bytes[i] >> 4];
    hex += kHex[bytes[i] & 0x0F];
  }
  return hex;
}

}  // namespace fc::platform
