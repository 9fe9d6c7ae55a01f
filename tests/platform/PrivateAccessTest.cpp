// Private directories and files on disk: made private whatever the umask,
// told from a directory others may enter, narrowed, and never reached
// through a link.
#include "platform/PrivateAccess.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/Files.h"
#include "support/TempDir.h"
#include "support/Umask.h"

namespace fc::platform {
namespace {

namespace fs = std::filesystem;

TEST(PrivateAccess, APrivateDirectoryIsPrivateAndAnOpenOneIsNarrowed) {
  test::TempDir dir;
  test::UmaskScope open(000);
  const fs::path home = dir / "home";
  EXPECT_FALSE(MakePrivateDirectory(home));
  EXPECT_FALSE(MakePrivateDirectory(home));  // already there
  EXPECT_EQ(test::Mode(home), 0700);
  EXPECT_FALSE(OthersMayAccess(home));

  fs::permissions(home, fs::perms::group_read | fs::perms::others_exec, fs::perm_options::add);
  EXPECT_TRUE(OthersMayAccess(home));
  EXPECT_TRUE(NarrowToOwner(home));
  EXPECT_FALSE(OthersMayAccess(home));
  EXPECT_EQ(MakePrivateDirectory(dir / "missing" / "home"), std::errc::no_such_file_or_directory);
  EXPECT_FALSE(OthersMayAccess(dir.write("file", "")));

  const std::optional<fs::path> first = MakePrivateTempFile(home, ".unzip."), second = MakePrivateTempFile(home, ".unzip.");
  ASSERT_TRUE(first && second);
  EXPECT_NE(*first, *second);
  EXPECT_EQ(first->filename().string().rfind(".unzip.", 0), 0u);
  EXPECT_EQ(fs::file_size(*first), 0u);
  EXPECT_EQ(test::Mode(*first), 0600);
}

TEST(PrivateAccess, PrivateFilesAreNeverReachedThroughALink) {
  test::TempDir dir;
  test::UmaskScope open(000);
  const fs::path theirs = dir.write("theirs", "kept");
  fs::permissions(theirs, fs::perms::others_read, fs::perm_options::add);
  const int before = test::Mode(theirs);
  fs::create_symlink(theirs, dir / "link");
  errno = 0;
  EXPECT_EQ(OpenPrivateFile(dir / "link", Opening::Truncate), -1);
  EXPECT_EQ(errno, ELOOP);
  MakeFilePrivate(dir / "link");
  EXPECT_EQ(test::ReadFileBytes(theirs), "kept");
  EXPECT_EQ(test::Mode(theirs), before);

  const int fd = OpenPrivateFile(dir / "mine", Opening::Truncate);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(test::Mode(dir / "mine"), 0600);
  CloseFile(fd);
  EXPECT_EQ(OpenPrivateFile(dir.path(), Opening::Keep), -1);
  EXPECT_EQ(errno, EISDIR);
}

}  // namespace
}  // namespace fc::platform
