// settings/PrivateFiles.h - the application home is private to its user.
//
// The home holds customers' names, identity-document numbers and account
// numbers (the store's records, the history, the tables unpacked during a
// run), so every directory the program makes there is 0700 and every file
// 0600, whatever the umask. Files the operator asks for elsewhere (packed
// archives, exported CSV, reports) are ordinary output and follow the umask.
//
//   std::error_code ec;
//   if (!fc::settings::MakePrivateDir(home.workdir(), ec)) fail(ec);
//   int fd = fc::settings::OpenPrivateFile(home.home / "x", O_WRONLY | O_TRUNC);
//   if (fc::settings::NarrowHome(home.home)) tell(fc::settings::NarrowedHomeText(home.home));
#pragma once

#include <filesystem>
#include <string>

namespace fc::settings {

// Creates `dir` (with its missing parents) and makes it 0700; an existing
// directory is made 0700 too. False when it cannot, with `ec` set unless a
// file that is not a directory stands in its place.
bool MakePrivateDir(const std::filesystem::path& dir, std::error_code& ec);

// open(2) of `file` with O_CREAT and O_CLOEXEC added to `flags`, the file
// then 0600 whatever the umask (an existing file is narrowed as well);
// the descriptor, or -1 with errno set.
int OpenPrivateFile(const std::filesystem::path& file, int flags);

// Makes an existing `file` 0600; nothing when it does not exist.
void MakePrivateFile(const std::filesystem::path& file);

// Makes an existing home that others may read or enter 0700; true when it
// had to be narrowed (the caller tells the operator once).
bool NarrowHome(const std::filesystem::path& home);

// The line that tells the operator the home was narrowed.
std::string NarrowedHomeText(const std::filesystem::path& home);

}  // namespace fc::settings
