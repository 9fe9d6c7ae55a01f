// platform/WriteLimitsWindows.cpp - WriteLimits.h on Windows: the volume's
// FILE_READ_ONLY_VOLUME flag; Windows sets no limit on a process's file size.
#include "platform/WriteLimits.h"

#include <windows.h>

#include <vector>

namespace fc::platform {

bool OnReadOnlyVolume(const std::filesystem::path& file) {
  std::error_code ec;
  const std::wstring full = file.empty() ? std::wstring() : std::filesystem::absolute(file, ec).wstring();
  if (full.empty()) return false;
  std::vector<wchar_t> root(full.size() + MAX_PATH);
  DWORD flags = 0;
  return GetVolumePathNameW(full.c_str(), root.data(), static_cast<DWORD>(root.size())) &&
         GetVolumeInformationW(root.data(), nullptr, 0, nullptr, nullptr, &flags, nullptr, 0) &&
         (flags & FILE_READ_ONLY_VOLUME);
}

std::optional<uintmax_t> FileSizeLimit() { return std::nullopt; }

}  // namespace fc::platform
