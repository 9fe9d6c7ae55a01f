#include "TreeSnapshot.h"

#include <sys/stat.h>

#include <algorithm>

namespace fc::robustness {

namespace fs = std::filesystem;

TreeSnapshot::TreeSnapshot(const fs::path& root) {
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(root, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    struct stat st;
    if (lstat(it->path().c_str(), &st) != 0) continue;
    Entry e{it->symlink_status().type()};
    if (S_ISREG(st.st_mode)) e.size = static_cast<uintmax_t>(st.st_size);
    e.mtimeNs = st.st_mtim.tv_sec * 1000000000LL + st.st_mtim.tv_nsec;
    entries_[it->path().lexically_relative(root).generic_string()] = e;
  }
}

std::vector<std::string> TreeSnapshot::changedSince(const TreeSnapshot& earlier) const {
  std::vector<std::string> changed;
  for (const auto& [path, entry] : entries_) {
    auto was = earlier.entries_.find(path);
    if (was == earlier.entries_.end() || !(was->second == entry)) changed.push_back(path);
  }
  for (const auto& [path, entry] : earlier.entries_)
    if (!entries_.count(path)) changed.push_back(path);
  std::sort(changed.begin(), changed.end());
  return changed;
}

bool IsUnder(const std::string& path, const std::string& dir) {
  return path == dir || (path.size() > dir.size() && path.compare(0, dir.size(), dir) == 0 && path[dir.size()] == '/');
}

}  // namespace fc::robustness
