#include "support/TempDir.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>

#include "platform/Utf8Paths.h"

namespace fc::test {

TempDir::TempDir(const std::filesystem::path& parent) {
  std::random_device random;
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    char name[32];
    std::snprintf(name, sizeof name, "fc-test-%08x", static_cast<unsigned>(random()));
    std::error_code ec;
    if (std::filesystem::create_directory(parent / name, ec)) path_ = parent / name;
    if (ec) break;  // not a name taken: the parent refuses
  }
  if (path_.empty()) throw std::runtime_error("cannot make a temporary directory in " + platform::Utf8Of(parent));
  // The owner's alone, as mkdtemp makes it.
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all);
}

TempDir::~TempDir() {
  std::error_code ec;
  // Tests may leave read-only directories behind; make them writable first.
  for (auto it = std::filesystem::recursive_directory_iterator(path_, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec))
    std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

std::filesystem::path TempDir::operator/(const std::string& name) const { return path_ / platform::PathFromUtf8(name); }

std::filesystem::path TempDir::write(const std::string& name, const std::string& bytes) const {
  std::filesystem::path p = *this / name;
  std::ofstream out(p, std::ios::binary);
  out << bytes;
  if (!out) throw std::runtime_error("cannot write " + platform::Utf8Of(p));
  return p;
}

std::string ReadFileBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace fc::test
