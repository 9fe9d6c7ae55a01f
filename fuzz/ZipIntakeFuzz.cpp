// The archive intake on any bytes: what the unpacking leaves in workdir
// must be at most two ordinary files, each named like an entry of the
// archive (no temporary file left over), and nothing may land beside
// workdir (entry names must not lead out of it).
#include <zip.h>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "pipeline/ArchiveIntake.h"
#include "pipeline/WorkDirs.h"
#include "platform/Files.h"
#include "platform/Utf8Paths.h"
#include "text/Text.h"

namespace {

namespace fs = std::filesystem;

struct Fixture {
  fs::path root = fc::fuzz::ScratchDir() / "intake";
  fs::path archive = root / "in.zip";
  fs::path workdir = root / "workdir";

  Fixture() { fs::create_directories(workdir); }
};

// The names of the archive's entries, as libzip reads them.
std::vector<std::string> EntryNames(const fs::path& archive) {
  std::vector<std::string> names;
  zip_t* za = zip_open(fc::platform::Utf8Of(archive).c_str(), ZIP_RDONLY, nullptr);
  if (!za) return names;
  for (zip_int64_t i = 0, n = zip_get_num_entries(za, 0); i < n; ++i)
    if (const char* name = zip_get_name(za, static_cast<zip_uint64_t>(i), 0)) names.emplace_back(name);
  zip_discard(za);
  return names;
}

// An entry "./X" lands as "X".
bool IsEntryName(const std::vector<std::string>& names, const std::string& name) {
  for (std::string_view n : names) {
    while (n.substr(0, 2) == "./") n.remove_prefix(2);
    if (fc::text::EqualsNoCase(fc::platform::StoredFileName(n), name)) return true;
  }
  return false;
}

void CheckWorkdir(const fs::path& workdir, const fs::path& archive) {
  size_t files = 0;
  std::vector<std::string> names;
  for (const fs::directory_entry& e : fs::directory_iterator(workdir)) {
    std::string name = fc::platform::Utf8Of(e.path().filename());
    fc::fuzz::Require(e.symlink_status().type() == fs::file_type::regular, "not an ordinary file: " + name);
    fc::fuzz::Require(name != ".." && name.find('\\') == std::string::npos, "an unsafe name: " + name);
    if (names.empty()) names = EntryNames(archive);
    fc::fuzz::Require(IsEntryName(names, name), "a file that is no entry of the archive: " + name);
    ++files;
  }
  fc::fuzz::Require(files <= 2, "unpacking went on after the second file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Fixture f;
  fc::fuzz::WriteInput(f.archive, data, size);
  fc::pipeline::UnpackArchive(f.archive, f.workdir);
  CheckWorkdir(f.workdir, f.archive);
  std::set<fs::path> beside;
  for (const fs::directory_entry& e : fs::directory_iterator(f.root)) beside.insert(e.path());
  fc::fuzz::Require(beside == std::set<fs::path>{f.archive, f.workdir}, "an entry landed beside workdir");
  return 0;
}
