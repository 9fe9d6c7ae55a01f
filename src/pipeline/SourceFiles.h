// pipeline/SourceFiles.h - reading the operator's files while other programs
// may be writing them: only a regular file is opened, never blocking on a
// named pipe or device put in its place, and a file's identity tells whether
// it changed between two moments of a run.
//
//   int fd = fc::pipeline::OpenRegularFile(path);  // -1: missing, unreadable or not a regular file
//   fc::pipeline::CheckedFile checked = fc::pipeline::CheckedFile::At(path);  // as the check found it
//   ... check the file ...
//   if (!checked.unchanged()) fail();    // rewritten, truncated or replaced
//   if (!checked.sameAs(fd)) refuse();   // an open file that is not what was checked
//
// A run finds each file by name once, when it lists it; from then on its
// CheckedFile is the file: the rules, the checksum and the packing read the
// path it holds and compare identities, never looking the name up again (a
// second spelling of the name may have appeared since).
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/Files.h"

namespace fc::pipeline {

// What changes when a file is rewritten, truncated or replaced.
struct FileIdentity {
  uint64_t device = 0;   // the device or volume
  uint64_t inode = 0;    // the file's number there
  int64_t size = 0;      // in bytes
  int64_t mtimeNs = 0;   // the modification time in nanoseconds
  bool operator==(const FileIdentity&) const = default;
};

FileIdentity IdentityOf(const platform::FileFacts& facts);
// The file at `path` (links followed) as it is now; nothing when it is gone.
std::optional<FileIdentity> IdentityOf(const std::filesystem::path& path);

// A source file as its check found it: the path listed and its identity
// then (nothing when it was gone already).
struct CheckedFile {
  std::filesystem::path path;
  std::optional<FileIdentity> identity;

  static CheckedFile At(const std::filesystem::path& path) { return {path, IdentityOf(path)}; }
  // The file at `path` is still the one checked.
  bool unchanged() const { return identity && IdentityOf(path) == identity; }
  // The open file `fd` is the one checked, as it was.
  bool sameAs(int fd) const;
};

// A read-only descriptor (close-on-exec) of the regular file at `path`, or
// -1 when it is missing, unreadable or something else (a named pipe, which
// is neither waited for nor read).
int OpenRegularFile(const std::filesystem::path& path);

// "无法读取目录DIR：原因" when the directory `dir` cannot be listed (missing,
// not a directory, no permission, too long a path, a loop of links); nothing
// when it can. A run that cannot list its source must not read as one whose
// files are all missing.
std::optional<std::string> UnreadableDirText(const std::string& dir);

}  // namespace fc::pipeline
