// settings/PrivateFiles.h - the application home is private to its user, and
// nothing in it is reached through a link.
//
// The home holds customers' names, identity-document numbers and account
// numbers (the store's records, the history, the tables unpacked during a
// run), so every directory the program makes there is 0700 and every file
// 0600, whatever the umask. Files the operator asks for elsewhere (packed
// archives, exported CSV, reports) are ordinary output and follow the umask.
//
// A symbolic link planted where a file of the home belongs would send the
// program's writes, mode changes and removals to whatever it points to, so
// the files of the home are opened and looked at without following links:
// a link is refused (LinkRefusedText), and what it points to stays untouched.
// The home directory itself is the operator's choice and may be a link.
//
//   std::error_code ec;
//   if (!fc::settings::MakePrivateDir(home.home, ec)) fail(ec);
//   int fd = fc::settings::OpenPrivateFile(home.home / "x", fc::platform::Opening::Truncate);
//   if (fd < 0 && errno == ELOOP) fail(fc::settings::LinkRefusedText(home.home / "x"));
//   if (fc::settings::NarrowHome(home.home)) tell(fc::settings::NarrowedHomeText(home.home));
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "platform/Files.h"
#include "platform/PrivateAccess.h"

namespace fc::settings {

// Creates `dir` and its missing parents, each 0700 whatever the umask; an
// existing `dir` loses the rights of others (its owner's stay as they are).
// False when it cannot, with `ec` set unless a file that is not a directory
// stands in its place.
bool MakePrivateDir(const std::filesystem::path& dir, std::error_code& ec);

// Why MakePrivateDir(dir) failed with `ec`, in the operator's words: a
// directory that could not be made, a file in its place, or an existing one
// that cannot be made private (read-only media, another owner's).
std::string PrivateDirFailureText(const std::filesystem::path& dir, const std::error_code& ec);

// `file` opened, made when missing, then 0600 whatever the umask (an
// existing file is narrowed as well); the descriptor, or -1 with errno set:
// ELOOP for a link, EISDIR for anything but an ordinary file.
using platform::OpenPrivateFile;

// Makes an existing ordinary `file` 0600; nothing when it does not exist or
// is a link (whose target is left alone).
void MakePrivateFile(const std::filesystem::path& file);

// What stands at `path` itself, links not followed.
using HomeEntry = platform::EntryKind;  // Missing, File, Directory, Link, Other
HomeEntry EntryAt(const std::filesystem::path& path);

// The whole of the ordinary file `file`, read without following a link;
// nothing when it is missing, a link, not an ordinary file or unreadable.
std::optional<std::string> ReadPrivateFile(const std::filesystem::path& file);

// The line that refuses a link found where a file or directory of the home belongs.
std::string LinkRefusedText(const std::filesystem::path& path);

// Takes from an existing home the rights of others, leaving its owner's;
// true when it had to be narrowed (the caller tells the operator once).
bool NarrowHome(const std::filesystem::path& home);

// The line that tells the operator the home was narrowed.
std::string NarrowedHomeText(const std::filesystem::path& home);

}  // namespace fc::settings
