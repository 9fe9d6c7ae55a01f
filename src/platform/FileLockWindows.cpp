// platform/FileLockWindows.cpp - FileLock.h on Windows: the lock file is
// opened as itself, never a reparse point's target (FILE_FLAG_OPEN_REPARSE_POINT,
// a link found there is refused with ELOOP), made the owner's alone by its
// DACL, and the lock is LockFileEx on the whole file, which the handle
// carries: a second handle, in this process or another, is refused at once.
#include "platform/FileLock.h"

#include <windows.h>

#include <cerrno>

#include "platform/OwnerOnlyAcl.h"
#include "platform/WindowsError.h"

namespace fc::platform {

namespace {

std::error_code Errno(int value) { return {value, std::generic_category()}; }

// The lock file open for writing, an ordinary file with the owner's rights
// alone; INVALID_HANDLE_VALUE with `error` set (EISDIR for anything but an
// ordinary file).
HANDLE OpenLockFile(const std::filesystem::path& file, std::error_code& error) {
  const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ | GENERIC_WRITE | WRITE_DAC,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const DWORD attributes = GetFileAttributesW(file.c_str());
    const bool folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    error = folder ? Errno(EISDIR) : LastWindowsError();
    return handle;
  }
  BY_HANDLE_FILE_INFORMATION info{};
  if (GetFileType(handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(handle, &info))
    error = Errno(EISDIR);
  else if (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
    error = Errno(ELOOP);
  else if (!MakeOwnerOnly(handle))
    error = LastWindowsError();
  else
    return handle;
  CloseHandle(handle);
  return INVALID_HANDLE_VALUE;
}

}  // namespace

struct FileLock::Handle {
  HANDLE handle;
};

FileLock::FileLock(const std::filesystem::path& file) {
  const HANDLE handle = OpenLockFile(file, error_);
  if (handle == INVALID_HANDLE_VALUE) {
    failure_ = LockFailure::Open;
    return;
  }
  OVERLAPPED whole{};
  if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD, &whole)) {
    handle_ = std::make_unique<Handle>(Handle{handle});
    return;
  }
  const DWORD code = GetLastError();
  failure_ = code == ERROR_LOCK_VIOLATION || code == ERROR_IO_PENDING ? LockFailure::Busy : LockFailure::Lock;
  if (failure_ == LockFailure::Lock) error_ = WindowsError(code);
  CloseHandle(handle);
}

FileLock::~FileLock() {
  if (handle_) CloseHandle(handle_->handle);
}

}  // namespace fc::platform
