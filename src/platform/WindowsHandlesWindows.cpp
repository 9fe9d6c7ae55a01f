// platform/WindowsHandlesWindows.cpp - WindowsHandles.h; the errors through WindowsError.h.
#include "platform/WindowsHandles.h"

#include <io.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>

#include "platform/WindowsError.h"

namespace fc::platform {

int ErrnoOf(unsigned long code) {
  if (code == ERROR_SUCCESS) return 0;
  const std::error_code error = WindowsError(code);
  return error.category() == std::generic_category() ? error.value() : EIO;
}

void SetErrnoFromLastError() { errno = ErrnoOf(GetLastError()); }

void* OpenHandle(const std::filesystem::path& path, unsigned long access, unsigned long flags) {
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                     OPEN_EXISTING, flags, nullptr);
}

int RefusedOpen(const std::filesystem::path& path, bool linksRefused) {
  const DWORD error = GetLastError();
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return ErrnoOf(error);
  if (linksRefused && (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return ELOOP;
  return attributes & FILE_ATTRIBUTE_DIRECTORY ? EISDIR : ErrnoOf(error);
}

bool IsLink(void* handle) {
  FILE_ATTRIBUTE_TAG_INFO info{};
  return GetFileInformationByHandleEx(handle, FileAttributeTagInfo, &info, sizeof info) &&
         (info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) && IsReparseTagNameSurrogate(info.ReparseTag);
}

int DescriptorOf(void* handle, int flags) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags);
  if (fd >= 0) return fd;
  CloseHandle(handle);
  errno = EMFILE;
  return -1;
}

}  // namespace fc::platform
