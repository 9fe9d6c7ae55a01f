// gui/shell/AppHomeResolver.h - where the desktop program keeps its state.
//
//   fc::settings::AppHome home = ResolveAppHome(exeDir, QDir::homePath().toStdString());
//
// The application home is the program's own directory when the program may
// write there; otherwise (an installed, read-only copy) it is
// <user home>/.local/share/filingcheck, created when missing. The data
// directory is always the one that ships with the program.
#pragma once

#include <filesystem>

#include "settings/AppHome.h"

namespace fc::gui {

settings::AppHome ResolveAppHome(const std::filesystem::path& exeDir,
                                 const std::filesystem::path& userHome);

}  // namespace fc::gui
