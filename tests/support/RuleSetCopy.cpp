#include "support/RuleSetCopy.h"

#include <fstream>
#include <stdexcept>

#include "support/TempDir.h"

namespace fc::test {

namespace fs = std::filesystem;

fs::path ShippedSet() { return fs::path(FC_SOURCE_DATA_DIR) / "rulesets" / "interface-1"; }

fs::path CopyShippedSet(const fs::path& folder, const std::string& version, const std::string& from) {
  fs::create_directories(folder.parent_path());
  fs::copy(ShippedSet(), folder, fs::copy_options::recursive);
  ReplaceIn(folder / "manifest.txt", "\nversion 1\n", "\nversion " + version + "\n");
  ReplaceIn(folder / "manifest.txt", "\nfrom earliest\n", "\nfrom " + from + "\n");
  return folder;
}

void ReplaceIn(const fs::path& file, const std::string& from, const std::string& to) {
  std::string text = ReadFileBytes(file);
  const size_t at = text.find(from);
  if (at == std::string::npos) throw std::logic_error(file.string() + " has no " + from);
  text.replace(at, from.size(), to);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << text;
}

}  // namespace fc::test
