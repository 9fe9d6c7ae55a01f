#include "ruleset/Manifest.h"

#include <map>
#include <optional>
#include <string_view>

#include "platform/Files.h"
#include "platform/Utf8Paths.h"
#include "ruleset/SetFile.h"
#include "text/DataFile.h"
#include "text/Text.h"

namespace fc::ruleset {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWhat = "规则集说明文件";

// A name or a version goes on the command line and into file names: no
// blanks, no "@", nothing a shell would read.
bool PlainWord(std::string_view word) {
  if (word.empty()) return false;
  for (char c : word)
    if (!(text::IsDigit(c) || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '-' || c == '_' || c == '.'))
      return false;
  return true;
}

bool LeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

}  // namespace

std::optional<std::string> DayDigits(std::string_view text) {
  if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
  const std::string digits = std::string(text.substr(0, 4)) + std::string(text.substr(5, 2)) + std::string(text.substr(8, 2));
  if (!text::AllDigits(digits)) return std::nullopt;
  const int year = std::stoi(digits.substr(0, 4)), month = std::stoi(digits.substr(4, 2)), day = std::stoi(digits.substr(6, 2));
  static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (year < 1 || month < 1 || month > 12 || day < 1) return std::nullopt;
  if (day > kDays[month - 1] + (month == 2 && LeapYear(year) ? 1 : 0)) return std::nullopt;
  return digits;
}

Manifest ReadManifest(const fs::path& folder, bool own) {
  const fs::path path = folder / kManifestFile;
  if (platform::KindAt(path) == platform::EntryKind::Missing)
    throw RuleSetError("规则集目录 " + platform::Utf8Of(folder) + " 中没有说明文件 " + kManifestFile);
  const std::string bytes = ReadSetFile(path);
  std::map<std::string, std::string> items;
  try {
    const text::DataFile file(path, kWhat, bytes);
    for (const text::DataLine& line : file.lines()) {
      const size_t blank = line.text.find(' ');
      const std::string keyword = line.text.substr(0, blank);
      const std::string value(text::Trim(blank == std::string::npos ? "" : line.text.substr(blank + 1), text::kWhite));
      auto fail = [&](const std::string& what) { throw RuleSetError(file.fault(line.number, what)); };
      if (keyword != "name" && keyword != "version" && keyword != "from" && keyword != "changes")
        fail("未知的项“" + keyword + "”，应为 name、version、from 或 changes");
      if (items.count(keyword)) fail("重复的“" + keyword + "”");
      if (value.empty()) fail("“" + keyword + "”后缺少内容");
      if ((keyword == "name" || keyword == "version") && !PlainWord(value))
        fail("“" + keyword + "”只能由字母、数字和 - _ . 组成");
      if (keyword == "from" && value != "earliest" && !DayDigits(value))
        fail("“from”应为 YYYY-MM-DD 形式的日期或 earliest");
      items[keyword] = value;
    }
    for (const char* required : {"name", "version", "from", "changes"})
      if (!items.count(required)) throw RuleSetError(file.fault(file.lastLine(), std::string("缺少“") + required + "”"));
  } catch (const text::DataFileError& e) {
    throw RuleSetError(e.what());
  }
  Manifest m;
  m.name = items["name"];
  m.version = items["version"];
  m.from = items["from"] == "earliest" ? "" : *DayDigits(items["from"]);
  m.changes = items["changes"];
  m.folder = folder;
  m.own = own;
  return m;
}

std::string FromText(const Manifest& manifest) {
  return manifest.from.empty() ? "最早" : text::DashedDate(manifest.from);
}

}  // namespace fc::ruleset
