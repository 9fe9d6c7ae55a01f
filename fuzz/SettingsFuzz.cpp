// The settings file on any bytes: whatever ReadSettings makes of it must
// survive WriteSettings and read back the same.
#include <optional>
#include <string>

#include "FuzzSupport.h"
#include "settings/Settings.h"

namespace {

bool operator==(const fc::settings::SettingsFile& a, const fc::settings::SettingsFile& b) {
  return a.companyCode == b.companyCode && a.beginNo == b.beginNo && a.endNo == b.endNo &&
         a.fileType == b.fileType && a.sourceDir == b.sourceDir && a.targetDir == b.targetDir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::filesystem::path file = fc::fuzz::ScratchDir() / "chkcfg.ini";
  static const std::filesystem::path copy = fc::fuzz::ScratchDir() / "copy.ini";
  fc::fuzz::WriteInput(file, data, size);
  std::optional<fc::settings::SettingsFile> read = fc::settings::ReadSettings(file);
  fc::fuzz::Require(read.has_value(), "an existing settings file reads as missing");
  std::string error;
  fc::fuzz::Require(fc::settings::WriteSettings(copy, *read, error), "cannot write settings: " + error);
  std::optional<fc::settings::SettingsFile> again = fc::settings::ReadSettings(copy);
  fc::fuzz::Require(again && *again == *read, "settings change on their way through the file");
  return 0;
}
