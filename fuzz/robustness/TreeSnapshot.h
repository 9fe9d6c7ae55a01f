// robustness/TreeSnapshot.h - what a directory tree holds, to show what a run
// wrote: every entry's type, size and modification time, by relative path.
//
//   TreeSnapshot before(root);
//   ... run ...
//   std::vector<std::string> changed = TreeSnapshot(root).changedSince(before);
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace fc::robustness {

class TreeSnapshot {
 public:
  explicit TreeSnapshot(const std::filesystem::path& root);
  // Relative paths added, removed or modified since `earlier`, sorted.
  std::vector<std::string> changedSince(const TreeSnapshot& earlier) const;

 private:
  struct Entry {
    std::filesystem::file_type type;  // symlinks as themselves, never followed
    uintmax_t size = 0;               // regular files only
    long long mtimeNs = 0;
    bool operator==(const Entry&) const = default;
  };
  std::map<std::string, Entry> entries_;
};

// True when `path` (relative, "/"-separated) is `dir` or lies under it.
bool IsUnder(const std::string& path, const std::string& dir);

}  // namespace fc::robustness
