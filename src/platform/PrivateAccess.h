// platform/PrivateAccess.h - files and directories that their owner alone may
// reach, and the test whether one already is so.
//
//   if (std::error_code ec = fc::platform::MakePrivateDirectory(dir)) fail(ec);
//   int fd = fc::platform::OpenPrivateFile(dir / "x", fc::platform::Opening::Keep);
//   if (fd < 0 && errno == ELOOP) refuse("a link stands there");
//   if (fc::platform::OthersMayAccess(home)) fc::platform::NarrowToOwner(home);
//
// Private is 0700 for a directory and 0600 for a file on Linux, whatever the
// umask; on Windows an access list, shielded from what the parent passes
// on, that admits the current user alone. Links are never followed where a
// file is made private: a link in its place is refused (ELOOP) or left alone.
// Failures are errno values on every system.
#pragma once

#include <filesystem>
#include <optional>
#include <string_view>
#include <system_error>

namespace fc::platform {

// Makes the directory `dir` (its parent exists), private however the umask
// or the parent would have it; empty when made or already there.
std::error_code MakePrivateDirectory(const std::filesystem::path& dir);

// Takes from the directory `dir` every right of others. On Linux its
// owner's rights and the rest of its mode stay as they are; on Windows the
// user gets full control (a read-only attribute stays).
std::error_code RemoveOthersRights(const std::filesystem::path& dir);

// Whether `dir` (links followed) is a directory others than its owner may reach.
bool OthersMayAccess(const std::filesystem::path& dir);
// Leaves the directory `dir` its owner's rights alone (on Linux, its mode
// is cut to them); true when it could.
bool NarrowToOwner(const std::filesystem::path& dir);

enum class Opening {
  Keep,      // read and write, the bytes that are there stay
  Truncate,  // write only, from empty
};

// `file` opened (made when missing) without following a link, close-on-exec,
// then made private (an existing file as well); the descriptor, or -1 with
// errno set: ELOOP for a link, EISDIR for anything but an ordinary file.
int OpenPrivateFile(const std::filesystem::path& file, Opening opening);

// Makes the existing ordinary file `file` private, never through a link;
// nothing when it cannot.
void MakeFilePrivate(const std::filesystem::path& file);

// A new, empty, private file in `dir` named `prefix` and six random
// characters, made where nothing stood (closed again); its path, or nothing
// when it cannot be made.
std::optional<std::filesystem::path> MakePrivateTempFile(const std::filesystem::path& dir, std::string_view prefix);

}  // namespace fc::platform
