// platform/Utf8Paths.h - paths to and from the UTF-8 text the program keeps
// them in (options, stored runs, messages, reports).
//
//   const std::filesystem::path source = fc::platform::PathFromUtf8(options.source);
//   message += fc::platform::Utf8Of(source / name);
//
// On Linux a path is its bytes, and these are the bytes as they are. On
// Windows a path is UTF-16, and a std::string turned into a path (or a path
// into a std::string) goes through the ANSI code page, byte by byte, so a
// Chinese name comes out mangled or throws; through here it is UTF-8 both
// ways. A path built from ASCII text alone (the program's own names) needs
// neither.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace fc::platform {

std::filesystem::path PathFromUtf8(std::string_view text);
std::string Utf8Of(const std::filesystem::path& path);

}  // namespace fc::platform
