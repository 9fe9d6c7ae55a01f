// platform/WindowsHandles.h - what the Windows halves of the file units
// share: Windows' errors as the errno values the program compares and names
// (SystemReason), handles opened alike, a link told from other reparse
// points, and a handle turned into a C runtime descriptor. For files named
// ...Windows.cpp only.
//
//   void* handle = OpenHandle(path, GENERIC_READ, FILE_FLAG_OPEN_REPARSE_POINT);
//   if (handle == INVALID_HANDLE_VALUE) return SetErrnoFromLastError(), -1;
//   if (IsLink(handle)) return CloseHandle(handle), errno = ELOOP, -1;
//   return DescriptorOf(handle, _O_RDONLY);  // owns the handle from here on
#pragma once

#include <filesystem>

namespace fc::platform {

// The errno value WindowsError.h gives the Windows error `code`; 0 for
// ERROR_SUCCESS, EIO for one without.
int ErrnoOf(unsigned long code);
// errno set from GetLastError().
void SetErrnoFromLastError();

// CreateFileW of an existing `path`, shared for reading, writing and
// deletion as POSIX files are, never inherited; INVALID_HANDLE_VALUE on failure.
void* OpenHandle(const std::filesystem::path& path, unsigned long access, unsigned long flags);

// errno for a `path` that CreateFileW would not open as a file, from
// GetLastError() and what stands there: ELOOP for a link when `linksRefused`,
// EISDIR for a directory (which refuses with ERROR_ACCESS_DENIED).
int RefusedOpen(const std::filesystem::path& path, bool linksRefused);

// Whether the open `handle` is a link (a symbolic link or junction, opened
// itself with FILE_FLAG_OPEN_REPARSE_POINT), not a file of its own.
bool IsLink(void* handle);

// A descriptor owning `handle` (closed with it), or -1 with errno set and
// the handle closed.
int DescriptorOf(void* handle, int flags);

}  // namespace fc::platform
