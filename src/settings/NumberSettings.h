// settings/NumberSettings.h - the desktop program's settings of one number
// each, one file apiece next to chkcfg.ini: one line, the number, ended by
// CR LF. The six lines of chkcfg.ini are fixed, so an operator changes these
// by editing their own files.
//
//   recordslimit.ini  the records a check run keeps behind each finding (0: no limit)
//   threads.ini       the threads a check run may use (0: one per core of the machine)
//
//   int64_t limit = fc::settings::ReadRecordsLimit(home.recordsLimitFile());
//   std::string error;
//   if (!fc::settings::WriteRecordsLimit(home.recordsLimitFile(), limit, error)) warn(error);
//   int threads = fc::settings::ReadThreads(home.threadsFile());
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

namespace fc::settings {

inline constexpr int64_t kDefaultRecordsLimit = 1000;
inline constexpr int kDefaultThreads = 0;
inline constexpr int kMostThreads = 256;  // beyond any office machine; a typo must not start thousands

// The limit the file holds; the default when the file is missing, cannot be
// read, or its first line is not a whole number of zero or more (a damaged
// file must not turn into "no limit").
int64_t ReadRecordsLimit(const std::filesystem::path& file);
// The thread count the file holds; the default (every core) when the file is
// missing or damaged, or holds more than kMostThreads.
int ReadThreads(const std::filesystem::path& file);

// Replace the file with the number; false with `error` set when they cannot.
bool WriteRecordsLimit(const std::filesystem::path& file, int64_t limit, std::string& error);
bool WriteThreads(const std::filesystem::path& file, int threads, std::string& error);

}  // namespace fc::settings
