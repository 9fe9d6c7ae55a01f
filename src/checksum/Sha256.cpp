#include "checksum/Sha256.h"

#include <fcntl.h>
#include <openssl/evp.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <vector>

namespace fc::checksum {

namespace {

constexpr size_t kBlock = 1 << 20;

struct FreeContext {
  void operator()(EVP_MD_CTX* ctx) const { EVP_MD_CTX_free(ctx); }
};
using Context = std::unique_ptr<EVP_MD_CTX, FreeContext>;

struct CloseFd {
  int fd;
  ~CloseFd() {
    if (fd >= 0) close(fd);
  }
};

Context NewContext() {
  Context ctx(EVP_MD_CTX_new());
  if (!ctx || EVP_DigestInit_ex(ctx.get(), EVP_sha256(), nullptr) != 1) return nullptr;
  return ctx;
}

std::string Finish(EVP_MD_CTX* ctx) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int size = 0;
  if (EVP_DigestFinal_ex(ctx, digest, &size) != 1) return {};
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(size * 2);
  for (unsigned int i = 0; i < size; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0x0F];
  }
  return hex;
}

}  // namespace

std::optional<std::string> Sha256File(const std::filesystem::path& file, std::string& error) {
  // O_NONBLOCK: a named pipe put in the file's place must not hold the run.
  CloseFd in{open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
  if (in.fd < 0) {
    error = "无法读取文件" + file.string() + "：" + std::strerror(errno);
    return std::nullopt;
  }
  struct stat st;
  if (fstat(in.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    error = "无法读取文件" + file.string() + "：不是普通文件";
    return std::nullopt;
  }
  posix_fadvise(in.fd, 0, 0, POSIX_FADV_SEQUENTIAL);
  Context ctx = NewContext();
  if (!ctx) {
    error = "无法计算SHA-256校验值";
    return std::nullopt;
  }
  std::vector<unsigned char> block(kBlock);
  for (;;) {
    ssize_t n = read(in.fd, block.data(), block.size());
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      error = "读取文件" + file.string() + "失败：" + std::strerror(errno);
      return std::nullopt;
    }
    EVP_DigestUpdate(ctx.get(), block.data(), static_cast<size_t>(n));
  }
  return Finish(ctx.get());
}

std::string Sha256Hex(std::string_view bytes) {
  Context ctx = NewContext();
  if (!ctx) return {};
  EVP_DigestUpdate(ctx.get(), bytes.data(), bytes.size());
  return Finish(ctx.get());
}

}  // namespace fc::checksum
