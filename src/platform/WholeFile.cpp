#include "platform/WholeFile.h"

#include <cerrno>

#include "platform/Files.h"

namespace fc::platform {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, uint64_t limit, std::error_code& error) {
  const int fd = OpenForReading(file, Links::Refuse);
  if (fd < 0) {
    error = {errno, std::generic_category()};
    return std::nullopt;
  }
  std::string bytes;
  char block[64 * 1024];
  int64_t n = 0;
  while (bytes.size() <= limit && (n = ReadSome(fd, block, sizeof block)) > 0) bytes.append(block, static_cast<size_t>(n));
  const int reason = n < 0 ? errno : bytes.size() > limit ? EFBIG : 0;
  CloseFile(fd);
  if (reason == 0) return bytes;
  error = {reason, std::generic_category()};
  return std::nullopt;
}

}  // namespace fc::platform
