// platform/Sha256DigestLinux.cpp - Sha256Digest.h through OpenSSL's EVP interface.
#include <openssl/evp.h>

#include "platform/Sha256Digest.h"

namespace fc::platform {

struct Sha256Digest::State {
  EVP_MD_CTX* ctx;
  ~State() { EVP_MD_CTX_free(ctx); }
};

Sha256Digest::Sha256Digest() {
  EVP_MD_CTX* ctx = EVP_MD_CTX_new();
  if (ctx && EVP_DigestInit_ex(ctx, EVP_sha256(), nullptr) == 1) state_.reset(new State{ctx});
  else EVP_MD_CTX_free(ctx);
}

Sha256Digest::~Sha256Digest() = default;

void Sha256Digest::add(const void* bytes, size_t size) { EVP_DigestUpdate(state_->ctx, bytes, size); }

std::string Sha256Digest::hex() {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_DigestFinal_ex(state_->ctx, digest, &size) != 1) return {};
  return HexOf(digest, size);
}

}  // namespace fc::platform
