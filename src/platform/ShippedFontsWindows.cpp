// platform/ShippedFontsWindows.cpp - ShippedFonts.h on Windows: fonts/ beside
// the executable. A C library's fopen() reads a name in the ANSI code page, so
// a folder under a user's name in another script is reached by its short form.
#include "platform/ShippedFonts.h"

#include <windows.h>

#include "platform/ProgramPlaces.h"

namespace fc::platform {

namespace {

// `wide` in the ANSI code page; empty unless every character is there.
std::string Ansi(const std::wstring& wide) {
  if (wide.empty()) return {};
  BOOL lossy = FALSE;
  const int size = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, &lossy);
  if (size <= 0 || lossy) return {};
  std::string narrow(static_cast<size_t>(size), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), narrow.data(), size,
                      nullptr, &lossy);
  return lossy ? std::string() : narrow;
}

}  // namespace

std::filesystem::path ShippedFontDir() {
  const std::filesystem::path program = ExecutableDir();
  return program.empty() ? program : program / "fonts";
}

std::string NarrowPath(const std::filesystem::path& path) {
  const std::wstring& wide = path.native();
  if (std::string narrow = Ansi(wide); !narrow.empty()) return narrow;
  const DWORD size = GetShortPathNameW(wide.c_str(), nullptr, 0);
  if (size == 0) return {};
  std::wstring shortName(size, L'\0');
  const DWORD written = GetShortPathNameW(wide.c_str(), shortName.data(), size);
  if (written == 0 || written >= size) return {};
  shortName.resize(written);
  return Ansi(shortName);
}

}  // namespace fc::platform
