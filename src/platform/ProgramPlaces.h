// platform/ProgramPlaces.h - the folders the system gives a program: the one
// its executable lies in, the user's own folder for programs' data, and where
// the fonts the PDF report is set in come from.
//
//   fc::settings::LocateDataDir(fc::platform::ExecutableDir());
//   const std::filesystem::path home = fc::platform::UserDataDir() / "filingcheck";
//
// Neither is made when missing.
#pragma once

#include <filesystem>

namespace fc::platform {

// The folder of the running program's executable; empty when the system
// cannot tell.
std::filesystem::path ExecutableDir();

// Where a user's programs keep their data: $XDG_DATA_HOME, by default
// ~/.local/share, on Linux; the local application data folder
// (%LOCALAPPDATA%) on Windows.
std::filesystem::path UserDataDir();

// The folder of the fonts shipped with the program: empty on Linux, where the
// package depends on the font and the system's fontconfig finds it; fonts/
// beside the executable on Windows, so that a report never depends on what a
// desk happens to have installed.
std::filesystem::path ShippedFontDir();

}  // namespace fc::platform
