// platform/LocalTimeWindows.cpp - LocalTime.h on Windows: localtime_s, whose
// arguments come the other way round.
#include "platform/LocalTime.h"

namespace fc::platform {

std::tm LocalTime(std::time_t t) {
  std::tm tm{};
  localtime_s(&tm, &t);
  return tm;
}

}  // namespace fc::platform
