// platform/Sha256Digest.h - a SHA-256 digest fed piece by piece, through the
// system's own cryptography (OpenSSL's libcrypto on Linux, CNG on Windows).
//
//   fc::platform::Sha256Digest digest;
//   if (!digest.ready()) fail();
//   digest.add(block, size);  // as often as there are pieces
//   std::string hex = digest.hex();  // lower-case; empty when the system failed
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace fc::platform {

class Sha256Digest {
 public:
  Sha256Digest();
  ~Sha256Digest();
  Sha256Digest(const Sha256Digest&) = delete;
  Sha256Digest& operator=(const Sha256Digest&) = delete;

  bool ready() const { return state_ != nullptr; }  // false when the system could not start one
  void add(const void* bytes, size_t size);
  std::string hex();  // the digest of all that was added, once

 private:
  struct State;
  std::unique_ptr<State> state_;
};

// The digest's bytes as lower-case hex.
std::string HexOf(const unsigned char* bytes, size_t size);

}  // namespace fc::platform
