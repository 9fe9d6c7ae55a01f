// settings/RecordsLimit.h - recordslimit.ini, the desktop program's limit on
// the records a check run keeps behind each finding: one line, the number
// (0: no limit), ended by CR LF.
//
//   int64_t limit = fc::settings::ReadRecordsLimit(home.recordsLimitFile());
//   std::string error;
//   if (!fc::settings::WriteRecordsLimit(home.recordsLimitFile(), limit, error)) warn(error);
//
// A file of its own, next to chkcfg.ini: the six lines of chkcfg.ini are
// fixed, and an operator changes the limit by editing this file.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace fc::settings {

inline constexpr int64_t kDefaultRecordsLimit = 1000;

// The limit the file holds; the default when the file is missing, cannot be
// read, or its first line is not a whole number of zero or more (a damaged
// file must not turn into "no limit").
int64_t ReadRecordsLimit(const std::filesystem::path& file);

// Replaces the file with `limit`; false with `error` set when it cannot.
bool WriteRecordsLimit(const std::filesystem::path& file, int64_t limit, std::string& error);

}  // namespace fc::settings
