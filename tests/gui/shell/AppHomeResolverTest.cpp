// Where the application home is: the program's directory when it may write
// there, else the user's data directory.
#include <gtest/gtest.h>

#include "gui/shell/AppHomeResolver.h"
#include "support/TempDir.h"

namespace fc::gui {
namespace {

TEST(AppHomeTest, ProgramDirectoryWhenWritableElseTheUsersDataDirectory) {
  test::TempDir dir;
  settings::AppHome home = ResolveAppHome(dir.path(), dir / "user");
  EXPECT_EQ(home.home, dir.path());
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));  // the probe leaves nothing behind

  // Nobody, not even root, creates files in /proc.
  home = ResolveAppHome("/proc", dir / "user");
  EXPECT_EQ(home.home, dir / "user" / "filingcheck");
  EXPECT_TRUE(std::filesystem::is_directory(home.home));
  EXPECT_FALSE(home.data.empty());

  // An installed program keeps out of its bin directory even when it may write there.
  const std::filesystem::path bin = dir / "root" / "usr" / "bin";
  std::filesystem::create_directories(dir / "root" / "usr" / "share" / "filingcheck");
  std::filesystem::create_directories(bin);
  home = ResolveAppHome(bin, dir / "user");
  EXPECT_EQ(home.home, dir / "user" / "filingcheck");
  EXPECT_EQ(home.data, dir / "root" / "usr" / "share" / "filingcheck");
  EXPECT_TRUE(std::filesystem::is_empty(bin));
}

}  // namespace
}  // namespace fc::gui
