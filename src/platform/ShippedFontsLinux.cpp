// platform/ShippedFontsLinux.cpp - ShippedFonts.h on Linux: the system's
// fonts, paths as their bytes.
#include "platform/ShippedFonts.h"

namespace fc::platform {

std::filesystem::path ShippedFontDir() { return {}; }

std::string NarrowPath(const std::filesystem::path& path) { return path.string(); }

}  // namespace fc::platform
