#include "naming/PortableNames.h"

#include <array>

#include "text/Text.h"

namespace fc::naming {

namespace {

// The dots and blanks that Windows drops from the end of a name.
constexpr std::string_view kDropped = ". ";

// The name as Windows keeps it, its trailing dots and blanks dropped.
std::string_view Kept(std::string_view name) {
  const size_t last = name.find_last_not_of(kDropped);
  return last == std::string_view::npos ? std::string_view() : name.substr(0, last + 1);
}

// A device answers to its name before the first dot, blanks before that dot
// aside; the superscript digits "¹²³" count as digits there.
bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  stem = stem.substr(0, stem.find_last_not_of(' ') + 1);
  static constexpr std::array<std::string_view, 4> kDevices = {"CON", "PRN", "AUX", "NUL"};
  for (std::string_view device : kDevices)
    if (text::EqualsNoCase(stem, device)) return true;
  if (stem.size() < 4 || !(text::EqualsNoCase(stem.substr(0, 3), "COM") || text::EqualsNoCase(stem.substr(0, 3), "LPT")))
    return false;
  const std::string_view number = stem.substr(3);
  return (number.size() == 1 && number[0] >= '1' && number[0] <= '9') || number == "¹" || number == "²" ||
         number == "³";
}

}  // namespace

bool IsPortableFileName(std::string_view name) {
  if (name.empty() || name.find(':') != std::string_view::npos) return false;
  if (Kept(name).size() != name.size()) return false;
  return !IsDeviceName(name);
}

bool SameNameOnWindows(std::string_view a, std::string_view b) { return text::EqualsNoCase(Kept(a), Kept(b)); }

}  // namespace fc::naming
