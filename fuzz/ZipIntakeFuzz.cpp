// The archive intake on any bytes: what the unpacking leaves in workdir
// must be at most two ordinary files with plain names, no temporary file,
// and nothing beside workdir (entry names must not lead out of it).
#include <set>
#include <string>

#include "FuzzSupport.h"
#include "pipeline/ArchiveIntake.h"

namespace {

namespace fs = std::filesystem;

struct Fixture {
  fs::path root = fc::fuzz::ScratchDir() / "intake";
  fs::path archive = root / "in.zip";
  fs::path workdir = root / "workdir";

  Fixture() { fs::create_directories(workdir); }
};

void CheckWorkdir(const fs::path& workdir) {
  size_t files = 0;
  for (const fs::directory_entry& e : fs::directory_iterator(workdir)) {
    std::string name = e.path().filename().string();
    fc::fuzz::Require(e.symlink_status().type() == fs::file_type::regular, "not an ordinary file: " + name);
    fc::fuzz::Require(name.find("..") == std::string::npos && name.find('\\') == std::string::npos,
                      "an unsafe name: " + name);
    fc::fuzz::Require(name.front() != '.', "a temporary file left behind: " + name);
    ++files;
  }
  fc::fuzz::Require(files <= 2, "unpacking went on after the second file");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Fixture f;
  fc::fuzz::WriteInput(f.archive, data, size);
  fc::pipeline::UnpackArchive(f.archive, f.workdir);
  CheckWorkdir(f.workdir);
  std::set<fs::path> beside;
  for (const fs::directory_entry& e : fs::directory_iterator(f.root)) beside.insert(e.path());
  fc::fuzz::Require(beside == std::set<fs::path>{f.archive, f.workdir}, "an entry landed beside workdir");
  return 0;
}
