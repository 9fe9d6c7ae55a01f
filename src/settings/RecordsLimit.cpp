#include "settings/RecordsLimit.h"

#include <charconv>
#include <fstream>

#include "settings/Settings.h"
#include "text/Text.h"

namespace fc::settings {

int64_t ReadRecordsLimit(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string line;
  if (!in || !std::getline(in, line)) return kDefaultRecordsLimit;
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::string_view number = text::Trim(line);
  int64_t limit = 0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), limit);
  if (number.empty() || ec != std::errc() || end != number.data() + number.size() || limit < 0)
    return kDefaultRecordsLimit;
  return limit;
}

bool WriteRecordsLimit(const std::filesystem::path& file, int64_t limit, std::string& error) {
  return ReplaceFile(file, std::to_string(limit) + "\r\n", error);
}

}  // namespace fc::settings
