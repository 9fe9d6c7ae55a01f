// platform/WriteLimits.h - what may stop a file from growing besides a full
// disk: a volume that takes no writes at all, and a limit the system sets on
// the size of the files this process writes.
//
//   if (fc::platform::OnReadOnlyVolume(databaseFile)) explain("the volume is read-only");
//   if (std::optional<uintmax_t> most = fc::platform::FileSizeLimit(); most && *most < wanted) refuse();
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

namespace fc::platform {

// True when `file` lies on a volume mounted or made read-only; false when
// that cannot be told.
bool OnReadOnlyVolume(const std::filesystem::path& file);

// The largest file this process may write, in bytes; none when unlimited.
std::optional<uintmax_t> FileSizeLimit();

}  // namespace fc::platform
