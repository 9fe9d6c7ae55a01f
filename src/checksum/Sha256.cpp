#include "checksum/Sha256.h"

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/Files.h"
#include "platform/Sha256Digest.h"
#include "platform/Utf8Paths.h"

namespace fc::checksum {

namespace {

constexpr size_t kBlock = 1 << 20;

struct CloseFd {
  int fd;
  ~CloseFd() {
    if (fd >= 0) platform::CloseFile(fd);
  }
};

}  // namespace

std::optional<std::string> Sha256File(const std::filesystem::path& file, std::string& error) {
  // A named pipe put in the file's place must not hold the run.
  CloseFd in{platform::OpenForReading(file, platform::Links::Follow)};
  if (in.fd < 0) {
    error = "无法读取文件" + platform::Utf8Of(file) + "：" + (errno == EISDIR ? "不是普通文件" : std::strerror(errno));
    return std::nullopt;
  }
  return Sha256OpenFile(in.fd, file, error);
}

std::optional<std::string> Sha256OpenFile(int fd, const std::filesystem::path& file, std::string& error) {
  platform::AdviseSequential(fd);
  platform::Sha256Digest digest;
  if (!digest.ready()) {
    error = "无法计算SHA-256校验值";
    return std::nullopt;
  }
  std::vector<unsigned char> block(kBlock);
  for (int64_t n; (n = platform::ReadSome(fd, block.data(), block.size())) != 0;) {
    if (n < 0) {
      error = "读取文件" + platform::Utf8Of(file) + "失败：" + std::strerror(errno);
      return std::nullopt;
    }
    digest.add(block.data(), static_cast<size_t>(n));
  }
  return digest.hex();
}

std::string Sha256Hex(std::string_view bytes) {
  platform::Sha256Digest digest;
  if (!digest.ready()) return {};
  digest.add(bytes.data(), bytes.size());
  return digest.hex();
}

}  // namespace fc::checksum
