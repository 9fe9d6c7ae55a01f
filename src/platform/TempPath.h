// platform/TempPath.h - the name of the temporary a whole-file write goes
// through (FileReplace.h's TempName), beside the file. For the FileReplace units.
//
//   const std::filesystem::path temp = fc::platform::TempPath(file, TempName::Beside);  // "NAME.3f9c...tmp"
#pragma once

#include <filesystem>

#include "platform/FileReplace.h"

namespace fc::platform {

// A random part makes Hidden and Beside names new on every call; Fixed is always "NAME.tmp".
std::filesystem::path TempPath(const std::filesystem::path& file, TempName name);

}  // namespace fc::platform
