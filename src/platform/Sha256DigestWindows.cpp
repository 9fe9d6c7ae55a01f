// platform/Sha256DigestWindows.cpp - Sha256Digest.h through CNG (bcrypt).
#include <windows.h>
#include <bcrypt.h>

#include <algorithm>

#include "platform/Sha256Digest.h"

namespace fc::platform {

struct Sha256Digest::State {
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool failed = false;
  ~State() {
    if (hash) BCryptDestroyHash(hash);
    if (algorithm) BCryptCloseAlgorithmProvider(algorithm, 0);
  }
};

Sha256Digest::Sha256Digest() {
  auto state = std::make_unique<State>();
  if (BCryptOpenAlgorithmProvider(&state->algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0) != 0) return;
  if (BCryptCreateHash(state->algorithm, &state->hash, nullptr, 0, nullptr, 0, 0) != 0) return;
  state_ = std::move(state);
}

Sha256Digest::~Sha256Digest() = default;

void Sha256Digest::add(const void* bytes, size_t size) {
  // BCryptHashData takes at most 4 GiB at a time.
  auto* at = static_cast<unsigned char*>(const_cast<void*>(bytes));
  for (size_t done = 0; done < size;) {
    const ULONG piece = static_cast<ULONG>(std::min<size_t>(size - done, 1u << 30));
    if (BCryptHashData(state_->hash, at + done, piece, 0) != 0) state_->failed = true;
    done += piece;
  }
}

std::string Sha256Digest::hex() {
  unsigned char digest[32];
  if (state_->failed || BCryptFinishHash(state_->hash, digest, sizeof digest, 0) != 0) return {};
  return HexOf(digest, sizeof digest);
}

}  // namespace fc::platform
