// platform/WriteLimitsLinux.cpp - WriteLimits.h on Linux: the mount's
// ST_RDONLY flag (statvfs) and the process's RLIMIT_FSIZE.
#include "platform/WriteLimits.h"

#include <sys/resource.h>
#include <sys/statvfs.h>

namespace fc::platform {

bool OnReadOnlyVolume(const std::filesystem::path& file) {
  struct statvfs media {};
  return !file.empty() && statvfs(file.c_str(), &media) == 0 && (media.f_flag & ST_RDONLY);
}

std::optional<uintmax_t> FileSizeLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return std::nullopt;
  return limit.rlim_cur;
}

}  // namespace fc::platform
