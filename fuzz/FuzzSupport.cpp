#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <string>

#include "support/TempDir.h"

namespace fc::fuzz {

namespace fs = std::filesystem;

const fs::path& ScratchDir() {
  // Removed with everything in it when the process ends normally.
  static const std::unique_ptr<test::TempDir> scratch = [] {
    std::error_code ec;
    if (fs::is_directory("/dev/shm", ec)) try {
        return std::make_unique<test::TempDir>("/dev/shm");
      } catch (const std::runtime_error&) {  // not ours to write
      }
    return std::make_unique<test::TempDir>();
  }();
  return scratch->path();
}

void WriteInput(const fs::path& file, const uint8_t* data, size_t size) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  Require(out.is_open(), "cannot create the input file");
  out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  out.close();
  Require(!out.fail(), "cannot write the input file");
}

void Require(bool condition, std::string_view what) {
  if (condition) return;
  std::fprintf(stderr, "fuzz: invariant broken: %.*s\n", static_cast<int>(what.size()), what.data());
  std::abort();
}

fs::path DataDir() { return FC_SOURCE_DATA_DIR; }

}  // namespace fc::fuzz
