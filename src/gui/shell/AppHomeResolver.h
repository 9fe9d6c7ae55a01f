// gui/shell/AppHomeResolver.h - where the desktop program keeps its state.
//
//   fc::settings::AppHome home = ResolveAppHome(fc::platform::ExecutableDir(), fc::platform::UserDataDir());
//
// The application home is the program's own directory when the program may
// write there; otherwise it is <user data directory>/filingcheck
// ($XDG_DATA_HOME, by default ~/.local/share; %LOCALAPPDATA% on Windows),
// created when missing. An installed program (its data under
// ../share/filingcheck) always takes the latter: root may write in /usr/bin,
// but nothing belongs there. The data directory is always the one that ships
// with the program.
#pragma once

#include <filesystem>

#include "settings/AppHome.h"

namespace fc::gui {

settings::AppHome ResolveAppHome(const std::filesystem::path& exeDir,
                                 const std::filesystem::path& userDataDir);

}  // namespace fc::gui
