// platform/LocalTime.h - a moment as the wall clock of this computer shows it.
//
//   std::tm tm = fc::platform::LocalTime(std::time(nullptr));
//   std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
//
// Safe to call from any thread: the result is the caller's own, not the C
// library's shared one.
#pragma once

#include <ctime>

namespace fc::platform {

std::tm LocalTime(std::time_t t);

}  // namespace fc::platform
