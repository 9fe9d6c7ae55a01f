// platform/Files.h - reading the files a run is handed, and what a file is
// now, the same way on every system.
//
//   int fd = fc::platform::OpenForReading(path, fc::platform::Links::Follow);
//   if (fd < 0) fail(errno);  // EISDIR: a directory, a named pipe, a device
//   std::optional<fc::platform::FileFacts> facts = fc::platform::FactsOf(fd);
//   char block[4096];
//   for (int64_t n; (n = fc::platform::ReadSome(fd, block, sizeof block)) > 0;) use(block, n);
//   fc::platform::CloseFile(fd);
//
// A file is opened for reading as an ordinary file or not at all: a named
// pipe or device put in its place is refused without being waited for, and
// with Links::Refuse a link in its place is refused (ELOOP). Descriptors are
// never inherited by programs this one starts. Failures set errno, with the
// POSIX values (ENOENT, EACCES, ...) on every system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace fc::platform {

// A moment, as seconds and nanoseconds since 1970-01-01 00:00 UTC.
struct FileTime {
  int64_t seconds = 0;
  int64_t nanoseconds = 0;
};

// What a file is now. Device and inode together name the file itself; any of
// them, the size or the time changes when it is rewritten, cut or replaced.
struct FileFacts {
  uint64_t device = 0;   // the device or volume holding it
  uint64_t inode = 0;    // its number there
  int64_t size = 0;      // in bytes
  FileTime modified;     // its last modification
  bool regular = false;  // an ordinary file, not a directory, pipe or device
};

enum class Links { Follow, Refuse };  // a link at the path is followed / refused with ELOOP

// The ordinary file `file` open for reading; its descriptor, or -1 with
// errno set (EISDIR for anything but an ordinary file).
int OpenForReading(const std::filesystem::path& file, Links links);
// `file` open for reading whatever it is, waiting for the writer of a named
// pipe (the test hooks' rendezvous); -1 with errno set.
int OpenToWait(const std::filesystem::path& file);

// Up to `size` bytes from the descriptor's position: the count, 0 at the
// end, -1 with errno set. An interrupted read is tried again.
int64_t ReadSome(int fd, void* buffer, size_t size);
// Up to `size` bytes from `offset`, as ReadSome. Whether the descriptor's
// position moves differs between systems: do not mix with ReadSome.
int64_t ReadAt(int fd, void* buffer, size_t size, uint64_t offset);
// Tells the system the file is read once from start to end (a hint).
void AdviseSequential(int fd);
int CloseFile(int fd);

// A stdio stream reading a duplicate of `fd` from its position, for
// libraries that read a FILE* and close it; null with errno set.
FILE* DuplicateAsStream(int fd);

// The open file's facts; nothing when the system cannot tell.
std::optional<FileFacts> FactsOf(int fd);
// The facts of the file at `path`, links followed; nothing when it is gone.
std::optional<FileFacts> FactsAt(const std::filesystem::path& path);

// What stands at `path` itself, links not followed.
enum class EntryKind { Missing, File, Directory, Link, Other };
EntryKind KindAt(const std::filesystem::path& path);

// Whether new files may be made in the directory `dir`: empty when they
// may, else the system's refusal (errno values).
std::error_code MayCreateIn(const std::filesystem::path& dir);

// Whether `stream` writes to a terminal (where progress may redraw a line).
bool IsTerminal(FILE* stream);

// `file` open as a stdio stream in `mode` ("wb", ...), never inherited by
// programs this one starts; null with errno set.
FILE* OpenStream(const std::filesystem::path& file, const char* mode);

// `path` as a library that opens files by a char* name wants it: its bytes
// on Linux; on Windows, where such a name goes through the ANSI code page,
// the name in that code page, or the short (8.3) name of an existing file or
// folder the code page cannot spell; empty when neither can name it.
std::string NarrowPathOf(const std::filesystem::path& path);

// The name a file made as `name` is given: `name` itself, but Windows drops
// trailing blanks and dots.
std::string StoredFileName(std::string_view name);

}  // namespace fc::platform
