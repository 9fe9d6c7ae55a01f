#include "settings/Settings.h"

#include <limits>
#include <sstream>

#include "platform/FileReplace.h"
#include "platform/Utf8Paths.h"
#include "settings/PrivateFiles.h"
#include "text/Text.h"

namespace fc::settings {

namespace {

void StripLineEnd(std::string& line) {
  if (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

long long NumericValue(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  constexpr long long kLimit = std::numeric_limits<long long>::max() / 10 - 9;
  for (; i < text.size() && text::IsDigit(text[i]); ++i)
    if (value < kLimit) value = value * 10 + (text[i] - '0');
  return negative ? -value : value;
}

std::optional<SettingsFile> ReadSettings(const std::filesystem::path& file) {
  std::optional<std::string> text = ReadPrivateFile(file);
  if (!text) return std::nullopt;
  std::istringstream in(*text);
  std::string lines[6];
  for (std::string& line : lines) {
    if (!std::getline(in, line)) break;
    StripLineEnd(line);
  }
  SettingsFile settings;
  settings.companyCode = lines[0];
  settings.beginNo = lines[1];
  settings.endNo = lines[2];
  settings.fileType = NumericValue(lines[3]) == kFileTypeZip ? kFileTypeZip : kFileTypeDbf;
  settings.sourceDir = lines[4];
  settings.targetDir = lines[5];
  for (std::string line; std::getline(in, line);) {
    StripLineEnd(line);
    settings.windowLines.push_back(line);
  }
  return settings;
}

bool ReplaceFile(const std::filesystem::path& file, const std::string& text, std::string& error) {
  const platform::WriteResult written =
      platform::WriteFile(file, text, {.access = platform::Access::OwnerOnly, .tempName = platform::TempName::Fixed});
  if (written) return true;
  error = written.linkRefused() ? LinkRefusedText(written.at) : "无法写入设置文件" + platform::Utf8Of(written.at) + ": " + written.why();
  return false;
}

bool WriteSettings(const std::filesystem::path& file, const SettingsFile& settings,
                   std::string& error) {
  std::string text = settings.companyCode + "\r\n" + settings.beginNo + "\r\n" +
                           settings.endNo + "\r\n" + std::to_string(settings.fileType) +
                           "\r\n" + settings.sourceDir + "\r\n" + settings.targetDir + "\r\n";
  for (const std::string& line : settings.windowLines) text += line + "\r\n";
  return ReplaceFile(file, text, error);
}

}  // namespace fc::settings
