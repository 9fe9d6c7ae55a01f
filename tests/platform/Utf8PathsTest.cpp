#include "platform/Utf8Paths.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/TempDir.h"

namespace fc::platform {
namespace {

namespace fs = std::filesystem;

// A name with Chinese characters and a blank reaches the disk and comes back
// from a listing as the same UTF-8 text.
TEST(Utf8PathsTest, ANameWithChineseCharactersAndABlankMakesTheRoundTripThroughTheDisk) {
  fc::test::TempDir dir;
  const std::string name = "深圳 证券.DBF";
  const fs::path file = dir.path() / PathFromUtf8("中文 目录") / PathFromUtf8(name);
  fs::create_directories(file.parent_path());
  std::ofstream(file) << "x";
  std::vector<std::string> listed;
  for (const fs::directory_entry& e : fs::directory_iterator(file.parent_path()))
    listed.push_back(Utf8Of(e.path().filename()));
  EXPECT_EQ(listed, std::vector<std::string>{name});
  EXPECT_EQ(Utf8Of(file.parent_path().filename()), "中文 目录");
}

}  // namespace
}  // namespace fc::platform
