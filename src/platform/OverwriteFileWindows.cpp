// platform/OverwriteFileWindows.cpp - OverwriteFile.h on Windows: the file
// opened as itself (FILE_FLAG_OPEN_REPARSE_POINT), refused when it is a
// reparse point (a link or a junction), then cut to nothing.
#include "platform/OverwriteFile.h"

#include <windows.h>

namespace fc::platform {

namespace {

HANDLE Handle(intptr_t file) { return reinterpret_cast<HANDLE>(file); }

bool IsReparsePoint(HANDLE file) {
  BY_HANDLE_FILE_INFORMATION facts;
  return !GetFileInformationByHandle(file, &facts) || (facts.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

OverwriteFile::OverwriteFile(const std::filesystem::path& path) {
  const HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;
  if (IsReparsePoint(file) || !SetEndOfFile(file)) {
    CloseHandle(file);
    return;
  }
  file_ = reinterpret_cast<intptr_t>(file);
}

OverwriteFile::~OverwriteFile() { close(); }

bool OverwriteFile::write(const uint8_t* data, size_t size) {
  while (file_ != -1 && size > 0) {
    DWORD written = 0;
    const DWORD want = size > (DWORD{1} << 30) ? DWORD{1} << 30 : static_cast<DWORD>(size);
    if (!WriteFile(Handle(file_), data, want, &written, nullptr)) return false;
    data += written;
    size -= written;
  }
  return file_ != -1;
}

bool OverwriteFile::close() {
  if (file_ == -1) return false;
  const HANDLE file = Handle(file_);
  file_ = -1;
  return CloseHandle(file) != 0;
}

}  // namespace fc::platform
