#include "support/Sha256Sum.h"

#include <cstdio>
#include <memory>

namespace fc::test {

std::string Sha256Sum(const std::filesystem::path& file) {
  std::string quoted = "'";
  for (char c : file.string()) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  quoted += "'";
  std::unique_ptr<FILE, int (*)(FILE*)> out(popen(("sha256sum " + quoted + " 2>/dev/null").c_str(), "r"), pclose);
  if (!out) return "";
  char digest[65] = {};
  if (std::fread(digest, 1, 64, out.get()) != 64) return "";
  return digest;
}

}  // namespace fc::test
