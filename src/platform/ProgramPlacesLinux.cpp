// platform/ProgramPlacesLinux.cpp - ProgramPlaces.h on Linux: /proc/self/exe
// and the XDG base directories.
#include "platform/ProgramPlaces.h"

#include <cstdlib>

namespace fc::platform {

namespace {

std::filesystem::path Environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

std::filesystem::path ExecutableDir() {
  std::error_code ec;
  return std::filesystem::read_symlink("/proc/self/exe", ec).parent_path();
}

std::filesystem::path UserDataDir() {
  const std::filesystem::path data = Environment("XDG_DATA_HOME");
  if (!data.empty()) return data;
  const std::filesystem::path home = Environment("HOME");
  return (home.empty() ? std::filesystem::path("/") : home) / ".local" / "share";
}

std::filesystem::path ShippedFontDir() { return {}; }

}  // namespace fc::platform
