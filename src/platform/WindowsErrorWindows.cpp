// platform/WindowsErrorWindows.cpp - WindowsError.h: the file errors a
// program meets, each mapped to the errno value Linux gives in its place.
#include "platform/WindowsError.h"

#include <windows.h>

#include <cerrno>

namespace fc::platform {

namespace {

// Not named by every SDK's headers.
constexpr DWORD kDiskQuotaExceeded = 1295;
constexpr DWORD kStoppedOnSymlink = 681;

struct Mapped {
  DWORD code;
  int errnoValue;
};

constexpr Mapped kMapped[] = {
    {ERROR_FILE_NOT_FOUND, ENOENT},       {ERROR_PATH_NOT_FOUND, ENOENT},
    {ERROR_INVALID_NAME, ENOENT},         {ERROR_INVALID_DRIVE, ENOENT},
    {ERROR_BAD_NETPATH, ENOENT},          {ERROR_BAD_PATHNAME, ENOENT},
    {ERROR_ACCESS_DENIED, EACCES},        {ERROR_PRIVILEGE_NOT_HELD, EPERM},
    {ERROR_WRITE_PROTECT, EROFS},         {ERROR_SHARING_VIOLATION, EBUSY},
    {ERROR_LOCK_VIOLATION, EBUSY},        {ERROR_DISK_FULL, ENOSPC},
    {ERROR_HANDLE_DISK_FULL, ENOSPC},     {kDiskQuotaExceeded, ENOSPC},
    {ERROR_ALREADY_EXISTS, EEXIST},       {ERROR_FILE_EXISTS, EEXIST},
    {ERROR_FILENAME_EXCED_RANGE, ENAMETOOLONG}, {ERROR_TOO_MANY_OPEN_FILES, EMFILE},
    {ERROR_NOT_ENOUGH_MEMORY, ENOMEM},    {ERROR_OUTOFMEMORY, ENOMEM},
    {ERROR_NOT_SAME_DEVICE, EXDEV},       {ERROR_DIRECTORY, ENOTDIR},
    {ERROR_CRC, EIO},                     {ERROR_IO_DEVICE, EIO},
    {kStoppedOnSymlink, ELOOP},    {ERROR_CANT_RESOLVE_FILENAME, ELOOP},
};

}  // namespace

std::error_code WindowsError(unsigned long code) {
  for (const Mapped& m : kMapped)
    if (m.code == code) return {m.errnoValue, std::generic_category()};
  return {static_cast<int>(code), std::system_category()};
}

std::error_code LastWindowsError() { return WindowsError(GetLastError()); }

}  // namespace fc::platform
