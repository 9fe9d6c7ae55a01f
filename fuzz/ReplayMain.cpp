// The main of a fuzz target in the normal build: feeds every file of the
// directories (or the files) named on the command line to the target once,
// in name order. An empty corpus fails, so a moved corpus cannot pass unseen.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

std::vector<fs::path> Inputs(const fs::path& arg) {
  std::vector<fs::path> files;
  std::error_code ec;
  if (!fs::is_directory(arg, ec)) return {arg};
  for (const fs::directory_entry& e : fs::directory_iterator(arg, ec))
    if (e.is_regular_file()) files.push_back(e.path());
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace

int main(int argc, char** argv) {
  size_t replayed = 0;
  for (int i = 1; i < argc; ++i) {
    for (const fs::path& file : Inputs(argv[i])) {
      std::ifstream in(file, std::ios::binary);
      std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
      if (!in.eof() && !in) {
        std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
        return 1;
      }
      std::fprintf(stderr, "%s\n", file.filename().string().c_str());
      LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
      ++replayed;
    }
  }
  std::printf("replayed %zu inputs\n", replayed);
  return replayed > 0 ? 0 : 1;
}
