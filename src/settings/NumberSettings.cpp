#include "settings/NumberSettings.h"

#include <charconv>
#include <optional>

#include "settings/PrivateFiles.h"
#include "settings/Settings.h"
#include "text/Text.h"

namespace fc::settings {

namespace {

// The whole number of zero or more on the file's first line, if it holds one.
std::optional<int64_t> ReadNumber(const std::filesystem::path& file) {
  const std::optional<std::string> text = ReadPrivateFile(file);
  if (!text) return std::nullopt;
  std::string line = text->substr(0, text->find('\n'));
  if (!line.empty() && line.back() == '\r') line.pop_back();
  const std::string_view number = text::Trim(line);
  int64_t value = 0;
  auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (number.empty() || ec != std::errc() || end != number.data() + number.size() || value < 0)
    return std::nullopt;
  return value;
}

bool WriteNumber(const std::filesystem::path& file, int64_t value, std::string& error) {
  return ReplaceFile(file, std::to_string(value) + "\r\n", error);
}

}  // namespace

int64_t ReadRecordsLimit(const std::filesystem::path& file) {
  return ReadNumber(file).value_or(kDefaultRecordsLimit);
}

int ReadThreads(const std::filesystem::path& file) {
  const int64_t threads = ReadNumber(file).value_or(kDefaultThreads);
  return threads <= kMostThreads ? static_cast<int>(threads) : kDefaultThreads;
}

bool WriteRecordsLimit(const std::filesystem::path& file, int64_t limit, std::string& error) {
  return WriteNumber(file, limit, error);
}

bool WriteThreads(const std::filesystem::path& file, int threads, std::string& error) {
  return WriteNumber(file, threads, error);
}

}  // namespace fc::settings
