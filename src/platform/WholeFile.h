// platform/WholeFile.h - the bytes of a small file the program reads whole
// (a rule set's files), taken only from an ordinary file that stands at the
// path itself.
//
//   std::error_code error;
//   std::optional<std::string> bytes = fc::platform::ReadWholeFile(path, 16 << 20, error);
//   if (!bytes) fail(error);  // ELOOP a link, EISDIR a folder, pipe or device, EFBIG past the limit
//
// A link is not followed, a named pipe is not waited for, and a file that is
// or grows past `limit` bytes is refused with no more than a block past the limit read,
// so a path put there by someone else can neither hang nor flood the reader.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace fc::platform {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file, uint64_t limit, std::error_code& error);

}  // namespace fc::platform
