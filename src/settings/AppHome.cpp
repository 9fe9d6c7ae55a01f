#include "settings/AppHome.h"

namespace fc::settings {

std::filesystem::path LocateDataDir(const std::filesystem::path& exeDir) {
  std::error_code ec;
  std::filesystem::path beside = exeDir / "data";
  if (std::filesystem::is_directory(beside, ec)) return beside;
  return FC_SOURCE_DATA_DIR;
}

}  // namespace fc::settings
