#include "settings/AppHome.h"

namespace fc::settings {

std::filesystem::path InstalledDataDir(const std::filesystem::path& exeDir) {
  return (exeDir / "..").lexically_normal() / "share" / "filingcheck";
}

std::filesystem::path LocateDataDir(const std::filesystem::path& exeDir) {
  std::error_code ec;
  std::filesystem::path beside = exeDir / "data";
  if (std::filesystem::is_directory(beside, ec)) return beside;
  std::filesystem::path installed = InstalledDataDir(exeDir);
  if (std::filesystem::is_directory(installed, ec)) return installed;
  return FC_SOURCE_DATA_DIR;
}

}  // namespace fc::settings
