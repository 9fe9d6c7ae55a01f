// settings/Settings.h - chkcfg.ini, the operator's last inputs of a check
// window: six lines (code, begin number, end number, file type, source
// directory, output directory), each ended by CR LF, UTF-8. The account
// window keeps its inputs there; the identity window keeps its own in a file
// of the same form beside it (AppHome::identitySettingsFile), whose lines
// after the sixth hold what only that window has (its dates, the comparison
// file ticked), so that neither window opens with the other's inputs.
//
//   if (auto saved = fc::settings::ReadSettings(home.settingsFile())) restore(*saved);
//   std::string error;
//   if (!fc::settings::WriteSettings(home.settingsFile(), current, error)) warn(error);
//
// Writing goes to a temporary file that replaces the old one only when it is
// complete, so a failed write keeps the previous settings.
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace fc::settings {

inline constexpr int kFileTypeZip = 1;  // line 4 when CHKZIP is selected
inline constexpr int kFileTypeDbf = 2;  // line 4 otherwise

struct SettingsFile {
  std::string companyCode;  // line 1, as read (the writer passes it trimmed)
  std::string beginNo;      // line 2, as read, blanks included
  std::string endNo;        // line 3, as read, blanks included
  int fileType = kFileTypeZip;  // line 4, by its numeric value
  std::string sourceDir;    // line 5, as read
  std::string targetDir;    // line 6, as read
  std::vector<std::string> windowLines = {};  // the lines after the sixth: a window's own state
};

// The settings, or nothing when the file does not exist or cannot be read.
// Missing lines read as empty texts.
std::optional<SettingsFile> ReadSettings(const std::filesystem::path& file);

// Replaces the file with `settings`; false with `error` set when it cannot.
bool WriteSettings(const std::filesystem::path& file, const SettingsFile& settings,
                   std::string& error);

// Replaces `file` with `text` by way of a temporary file renamed over it, so
// that a failed write leaves the old file as it was; false with `error` set.
bool ReplaceFile(const std::filesystem::path& file, const std::string& text, std::string& error);

// The value of the number at the start of `text`, leading blanks ignored,
// fraction discarded; 0 when the text does not start with a number.
long long NumericValue(std::string_view text);

}  // namespace fc::settings
