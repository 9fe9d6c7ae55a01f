// support/Utf8Path.h - paths to and from the UTF-8 text the tests and the
// program speak. A path made from a std::string, and its string(), use the
// system's narrow encoding, which on Windows is a code page, not UTF-8.
//
//   const std::filesystem::path file = dir.path() / fc::test::Utf8Path("名.zip");
//   sqlite3_open(fc::test::Utf8(file).c_str(), &db);
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace fc::test {

inline std::filesystem::path Utf8Path(std::string_view text) {
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

inline std::string Utf8(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace fc::test
