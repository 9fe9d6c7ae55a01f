#include "FuzzSupport.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace fc::fuzz {

namespace fs = std::filesystem;

namespace {

fs::path ScratchParent() {
  std::error_code ec;
  if (fs::is_directory("/dev/shm", ec) && access("/dev/shm", W_OK) == 0) return "/dev/shm";
  return fs::temp_directory_path();
}

struct Scratch {
  fs::path path;  // removed with everything in it when the process ends normally

  Scratch() {
    std::string pattern = (ScratchParent() / "fc-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
      std::perror("fuzz: mkdtemp");
      std::abort();
    }
    path = pattern;
  }
  ~Scratch() {
    std::error_code ec;
    fs::remove_all(path, ec);
  }
};

}  // namespace

const fs::path& ScratchDir() {
  static Scratch scratch;
  return scratch.path;
}

void WriteInput(const fs::path& file, const uint8_t* data, size_t size) {
  int fd = open(file.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  Require(fd >= 0, "cannot create the input file");
  while (size > 0) {
    ssize_t n = write(fd, data, size);
    Require(n > 0, "cannot write the input file");
    data += n;
    size -= static_cast<size_t>(n);
  }
  Require(close(fd) == 0, "cannot close the input file");
}

void Require(bool condition, std::string_view what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz: invariant broken: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

fs::path DataDir() { return FC_SOURCE_DATA_DIR; }

}  // namespace fc::fuzz
