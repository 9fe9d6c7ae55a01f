// ruleset/Manifest.h - the manifest of a rule set, manifest.txt in the set's
// folder: its name, version, the first data date it applies to and what
// changed, written by people.
//
//   fc::ruleset::Manifest m = fc::ruleset::ReadManifest(folder, /*own=*/false);  // RuleSetError
//   std::string id = m.id();  // "interface@1"
//
// A fault names the file and the line: "规则集说明文件 PATH 第N行：WHAT".
#pragma once

#include <filesystem>
#include <stdexcept>
#include <optional>
#include <string>
#include <string_view>

namespace fc::ruleset {

// A rule set that cannot be found, read or used; the text is one Chinese
// sentence for the operator naming the file (and line) at fault.
class RuleSetError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

inline constexpr const char* kManifestFile = "manifest.txt";

struct Manifest {
  std::string name;
  std::string version;
  std::string from;     // the first data date it applies to, YYYYMMDD; empty: every date
  std::string changes;  // what changed from the version before
  std::filesystem::path folder;
  bool own = false;     // the company's own, in the application home; else shipped

  // NAME@VERSION, how the operator names the set.
  std::string id() const { return name + "@" + version; }
  bool operator==(const Manifest&) const = default;
};

// Reads `folder`/manifest.txt.
Manifest ReadManifest(const std::filesystem::path& folder, bool own);

// "YYYY-MM-DD" as YYYYMMDD when it is a day of the calendar.
std::optional<std::string> DayDigits(std::string_view text);

// "2009-01-01", or "最早" for a set that applies from the earliest date.
std::string FromText(const Manifest& manifest);

}  // namespace fc::ruleset
