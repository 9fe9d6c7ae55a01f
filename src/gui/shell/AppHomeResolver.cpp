#include "gui/shell/AppHomeResolver.h"

#include <fstream>

#include "settings/PrivateFiles.h"

namespace fc::gui {

namespace {

// Permission bits say little for root or read-only mounts; writing says it all.
bool CanWriteIn(const std::filesystem::path& dir) {
  std::error_code ec;
  if (!std::filesystem::is_directory(dir, ec)) return false;
  const std::filesystem::path probe = dir / ".filingcheck-probe";
  bool written = static_cast<bool>(std::ofstream(probe));
  std::filesystem::remove(probe, ec);
  return written;
}

}  // namespace

settings::AppHome ResolveAppHome(const std::filesystem::path& exeDir,
                                 const std::filesystem::path& userDataDir) {
  settings::AppHome home;
  home.data = settings::LocateDataDir(exeDir);
  const bool installed = home.data == settings::InstalledDataDir(exeDir);
  if (!installed && CanWriteIn(exeDir)) {
    home.home = exeDir;
    return home;
  }
  home.home = userDataDir / "filingcheck";
  std::error_code ec;
  // An existing home is narrowed by the first check window, which says so.
  if (!std::filesystem::exists(home.home, ec)) settings::MakePrivateDir(home.home, ec);
  return home;
}

}  // namespace fc::gui
