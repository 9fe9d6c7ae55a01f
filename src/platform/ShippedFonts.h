// platform/ShippedFonts.h - where the fonts the PDF report is set in come
// from, and the name a C library that opens files by narrow name (fontconfig,
// FreeType) is given for a folder.
//
//   const std::filesystem::path dir = fc::platform::ShippedFontDir();
//   if (!dir.empty()) FcConfigAppFontAddDir(config, AsFcChar(fc::platform::NarrowPath(dir)));
//
// On Linux the package depends on the font and the system's fontconfig finds
// it, so no folder is named. On Windows the font travels with the program, so
// that a report never depends on what a desk happens to have installed.
#pragma once

#include <filesystem>
#include <string>

namespace fc::platform {

// The folder of the fonts shipped with the program; empty where the system's
// own fonts are used.
std::filesystem::path ShippedFontDir();

// `path` as the narrow text fopen() and opendir() take: its bytes on Linux; on
// Windows the ANSI code page's text, or the path's short form where a name has
// characters the code page lacks; empty when neither can name it.
std::string NarrowPath(const std::filesystem::path& path);

}  // namespace fc::platform
