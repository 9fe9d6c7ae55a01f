// Jet's `like` on any text and pattern (split at the first NUL byte, the
// pattern first). Besides not crashing or hanging on patterns such as
// "*a*a*a*a*b", the matcher must keep the laws of its wildcards.
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "store/Store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  size_t nul = input.find('\0');
  std::string_view pattern = input.substr(0, nul);
  std::string_view text = nul == std::string_view::npos ? std::string_view() : input.substr(nul + 1);
  using fc::store::JetLike;
  bool matches = JetLike(text, pattern);
  fc::fuzz::Require(JetLike(text, "*"), "\"*\" does not match everything");
  if (matches) {
    fc::fuzz::Require(JetLike(text, "*" + std::string(pattern)), "a leading \"*\" loses a match");
    fc::fuzz::Require(JetLike(text, std::string(pattern) + "*"), "a trailing \"*\" loses a match");
  }
  // With an escape character that the pattern does not use, nothing changes.
  if (pattern.find('\x01') == std::string_view::npos)
    fc::fuzz::Require(JetLike(text, pattern, U'\x01') == matches, "an unused escape changes the match");
  return 0;
}
