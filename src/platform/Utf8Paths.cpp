// platform/Utf8Paths.cpp - Utf8Paths.h by way of char8_t, which the standard
// library reads as UTF-8 on every system.
#include "platform/Utf8Paths.h"

namespace fc::platform {

std::filesystem::path PathFromUtf8(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace fc::platform
