// platform/LocalTimeLinux.cpp - LocalTime.h on Linux: localtime_r.
#include "platform/LocalTime.h"

namespace fc::platform {

std::tm LocalTime(std::time_t t) {
  std::tm tm{};
  localtime_r(&t, &tm);
  return tm;
}

}  // namespace fc::platform
