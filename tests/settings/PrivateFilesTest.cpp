// The application home and the settings written into it are private to the
// user whatever the umask; a wider home is narrowed once.
#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "settings/PrivateFiles.h"
#include "settings/NumberSettings.h"
#include "settings/Settings.h"
#include "support/TempDir.h"
#include "support/Umask.h"

namespace fc::settings {
namespace {

namespace fs = std::filesystem;
using test::Mode;

TEST(PrivateFiles, DirectoriesAndSettingsArePrivateUnderAnyUmask) {
  for (mode_t mask : {022, 000}) {
    SCOPED_TRACE(mask);
    test::UmaskScope scope(mask);
    test::TempDir root;
    std::error_code ec;
    ASSERT_TRUE(MakePrivateDir(root / "home" / "workdir", ec)) << ec.message();
    EXPECT_EQ(Mode(root / "home" / "workdir"), 0700);
    fs::permissions(root / "home", fs::perms::all);
    ASSERT_TRUE(MakePrivateDir(root / "home", ec));
    EXPECT_EQ(Mode(root / "home"), 0700);  // an existing directory too

    std::string error;
    ASSERT_TRUE(WriteSettings(root / "home" / "chkcfg.ini", {"100001", "1", "2", kFileTypeZip, "/in", "/out"}, error));
    ASSERT_TRUE(WriteRecordsLimit(root / "home" / "recordslimit.ini", 5, error));
    EXPECT_EQ(Mode(root / "home" / "chkcfg.ini"), 0600);
    EXPECT_EQ(Mode(root / "home" / "recordslimit.ini"), 0600);

    const fs::path old = root.write("old", "x");
    fs::permissions(old, fs::perms::all);
    const int fd = OpenPrivateFile(old, platform::Opening::Keep);
    ASSERT_GE(fd, 0);
    close(fd);
    EXPECT_EQ(Mode(old), 0600);

    root.write("file", "");
    EXPECT_FALSE(MakePrivateDir(root / "file", ec));  // a file in a directory's place is refused
  }
}

TEST(PrivateFiles, ALinkWhereAFileOfTheHomeBelongsIsRefusedAndWhatItLeadsToIsUntouched) {
  test::TempDir root;
  const fs::path decoy = root.write("decoy", "7\r\n");
  fs::permissions(decoy, fs::perms(0644));
  const fs::path home = root / "home";
  fs::create_directories(home);
  for (const char* name : {"recordslimit.ini.tmp", "threads.ini", "lock"}) fs::create_symlink(decoy, home / name);
  std::string error;
  EXPECT_FALSE(WriteRecordsLimit(home / "recordslimit.ini", 5, error));
  EXPECT_NE(error.find("recordslimit.ini.tmp是一个符号链接"), std::string::npos) << error;
  EXPECT_EQ(ReadThreads(home / "threads.ini"), kDefaultThreads);  // not read through the link
  EXPECT_EQ(OpenPrivateFile(home / "lock", platform::Opening::Keep), -1);
  EXPECT_EQ(errno, ELOOP);
  fs::create_symlink(root / "nowhere", home / "dangling");
  EXPECT_EQ(OpenPrivateFile(home / "dangling", platform::Opening::Keep), -1);
  EXPECT_FALSE(fs::exists(root / "nowhere"));
  MakePrivateFile(home / "lock");
  EXPECT_EQ(test::ReadFileBytes(decoy), "7\r\n");
  EXPECT_EQ(Mode(decoy), 0644);
}

TEST(PrivateFiles, AWiderHomeIsNarrowedOnce) {
  test::TempDir root;
  fs::create_directories(root / "home");
  fs::permissions(root / "home", fs::perms::owner_all | fs::perms::group_read | fs::perms::others_exec);
  EXPECT_TRUE(NarrowHome(root / "home"));
  EXPECT_EQ(Mode(root / "home"), 0700);
  EXPECT_FALSE(NarrowHome(root / "home"));
  EXPECT_FALSE(NarrowHome(root / "missing"));
  EXPECT_FALSE(fs::exists(root / "missing"));
}

}  // namespace
}  // namespace fc::settings
