// platform/ProgramPlacesWindows.cpp - ProgramPlaces.h on Windows: the module
// file name of the executable (and fonts/ beside it), and the known folder
// LocalAppData (its environment variable when the shell cannot say), both
// wide, so that a folder named in any language arrives whole.
#include "platform/ProgramPlaces.h"

#include <windows.h>
#include <shlobj.h>

#include <cstdlib>
#include <string>

namespace fc::platform {

std::filesystem::path ExecutableDir() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (size == 0) return {};
    if (size < name.size()) return std::filesystem::path(name.substr(0, size)).parent_path();
    name.resize(name.size() * 2);  // cut short: a longer name than the buffer
  }
}

std::filesystem::path UserDataDir() {
  PWSTR folder = nullptr;
  std::filesystem::path data;
  if (SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &folder) == S_OK) data = folder;
  CoTaskMemFree(folder);
  if (!data.empty()) return data;
  const wchar_t* variable = _wgetenv(L"LOCALAPPDATA");
  return variable ? variable : L"";
}

std::filesystem::path ShippedFontDir() {
  const std::filesystem::path program = ExecutableDir();
  return program.empty() ? program : program / "fonts";
}

}  // namespace fc::platform
