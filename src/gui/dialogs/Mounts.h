// gui/dialogs/Mounts.h - the "drives" of the directory choosers: the root and
// the mounted file systems an operator may keep files on.
//
//   std::vector<std::string> drives = ReadBrowsableMounts();
//   combo.setCurrentText(MountOf(field.text(), drives));
//
// Kernel and system file systems (proc, sysfs, tmpfs, cgroup, ...) and
// everything mounted under /proc, /sys, /dev and /run (removable media under
// /run/media aside) stay out of the list.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fc::gui {

// The mount points named by `procMounts` (the text of /proc/mounts) that may
// hold operator files: "/" first, then the others sorted, each once. Octal
// escapes of the kernel ("\040" for a blank) are decoded.
std::vector<std::string> BrowsableMounts(std::string_view procMounts);

// BrowsableMounts of this system, keeping only mount points that are
// directories; "/" alone when /proc/mounts cannot be read.
std::vector<std::string> ReadBrowsableMounts();

// The mount point among `mounts` holding `path`: the longest one that is a
// whole-component prefix of it. Empty when `path` is not absolute. A drive
// ("C:/") holds the paths that begin with it.
std::string MountOf(std::string_view path, const std::vector<std::string>& mounts);

}  // namespace fc::gui
