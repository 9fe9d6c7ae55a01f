// checksum/Sha256.h - SHA-256 of files and byte strings, as lower-case hex,
// through the system's cryptography (platform/Sha256Digest.h).
//
//   std::string error;
//   std::optional<std::string> sum = fc::checksum::Sha256File("/in/A.ZIP", error);
//   if (!sum) report(error);
//   sum = fc::checksum::Sha256OpenFile(fd, "/in/A.ZIP", error);  // the file already open as `fd`
//
// The file is read in large blocks with plain reads, never mapped, so a file
// that shrinks while it is read gives an error or the digest of what was read,
// never a crash. Only a regular file is read: a named pipe or device in its
// place is an error at once, never waited for. Safe to call from any thread.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace fc::checksum {

// The digest of the file's bytes; nothing, with `error` set (in Chinese), when
// the file cannot be read.
std::optional<std::string> Sha256File(const std::filesystem::path& file, std::string& error);
// The digest of what is left to read of `fd` (from its position; `file`
// names it in the error), for a caller that must know the bytes hashed are
// those of the file it opened, not of whatever holds its name by now.
std::optional<std::string> Sha256OpenFile(int fd, const std::filesystem::path& file, std::string& error);

// The digest of `bytes`.
std::string Sha256Hex(std::string_view bytes);

}  // namespace fc::checksum
