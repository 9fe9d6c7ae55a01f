#include "gui/dialogs/Mounts.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fc::gui {

namespace {

constexpr std::string_view kPseudoTypes[] = {
    "autofs",  "binfmt_misc", "bpf",     "cgroup",      "cgroup2",   "configfs", "debugfs",
    "devpts",  "devtmpfs",    "efivarfs", "fusectl",    "hugetlbfs", "mqueue",   "nsfs",
    "proc",    "pstore",      "ramfs",   "rpc_pipefs",  "securityfs", "selinuxfs", "squashfs",
    "sysfs",   "tmpfs",       "tracefs"};

constexpr std::string_view kSystemAreas[] = {"/proc", "/sys", "/dev", "/run"};

bool IsPseudoType(std::string_view type) {
  return std::find(std::begin(kPseudoTypes), std::end(kPseudoTypes), type) != std::end(kPseudoTypes);
}

// True when `path` is `area` or lies below it.
bool IsUnder(std::string_view path, std::string_view area) {
  if (area.ends_with('/')) return path.starts_with(area);  // "/", or a drive: "C:/"
  return path.starts_with(area) && (path.size() == area.size() || path[area.size()] == '/');
}

// Removable media are mounted under /run/media on some systems.
bool InSystemArea(std::string_view path) {
  if (IsUnder(path, "/run/media")) return false;
  return std::any_of(std::begin(kSystemAreas), std::end(kSystemAreas),
                     [&](std::string_view area) { return IsUnder(path, area); });
}

bool IsOctal(char c) { return c >= '0' && c <= '7'; }

// The kernel writes blank, tab, newline and backslash in a mount point as
// "\040", "\011", "\012" and "\134".
std::string DecodeEscapes(std::string_view field) {
  std::string decoded;
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && IsOctal(field[i + 1]) && IsOctal(field[i + 2]) &&
        IsOctal(field[i + 3])) {
      decoded += static_cast<char>((field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0'));
      i += 3;
      continue;
    }
    decoded += field[i];
  }
  return decoded;
}

}  // namespace

std::vector<std::string> BrowsableMounts(std::string_view procMounts) {
  std::vector<std::string> mounts;
  std::istringstream lines{std::string(procMounts)};
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    std::string device, point, type;
    if (!(fields >> device >> point >> type)) continue;
    point = DecodeEscapes(point);
    if (point == "/" || !point.starts_with('/') || IsPseudoType(type) || InSystemArea(point)) continue;
    mounts.push_back(point);
  }
  std::sort(mounts.begin(), mounts.end());
  mounts.erase(std::unique(mounts.begin(), mounts.end()), mounts.end());
  mounts.insert(mounts.begin(), "/");
  return mounts;
}

std::vector<std::string> ReadBrowsableMounts() {
  std::ifstream file("/proc/mounts");
  std::ostringstream text;
  text << file.rdbuf();
  std::vector<std::string> mounts = BrowsableMounts(text.str());
  // Single files are bind-mounted too (/etc/hosts in a container).
  std::erase_if(mounts, [](const std::string& point) {
    std::error_code error;
    return !std::filesystem::is_directory(point, error);
  });
  if (mounts.empty()) mounts.push_back("/");
  return mounts;
}

std::string MountOf(std::string_view path, const std::vector<std::string>& mounts) {
  std::string best;
  for (const std::string& point : mounts)
    if (IsUnder(path, point) && point.size() > best.size()) best = point;
  return best;
}

}  // namespace fc::gui
