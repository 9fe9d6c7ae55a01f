// The lock on a real file: one holder at a time, the next one granted once the
// first has gone, the lock file private, and a link at its place refused.
#include "platform/FileLock.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"
#include "support/Umask.h"

namespace fc::platform {
namespace {

TEST(FileLock, OneHolderAtATimeAndTheNextOnceTheFirstHasGone) {
  test::TempDir dir;
  test::UmaskScope open(000);
  {
    FileLock first(dir / "lock");
    ASSERT_TRUE(first.held());
    EXPECT_EQ(test::Mode(dir / "lock"), 0600);
    FileLock second(dir / "lock");
    EXPECT_FALSE(second.held());
    EXPECT_EQ(second.failure(), LockFailure::Busy);
  }
  EXPECT_TRUE(FileLock(dir / "lock").held());
}

TEST(FileLock, LinkAtThePlaceIsRefusedAndItsTargetLeftAlone) {
  test::TempDir dir;
  const auto target = dir.write("theirs", "kept");
  std::filesystem::create_symlink(target, dir / "lock");
  std::filesystem::create_symlink(dir / "missing", dir / "dangling");
  for (const char* name : {"lock", "dangling"}) {
    FileLock lock(dir / name);
    EXPECT_EQ(lock.failure(), LockFailure::Open) << name;
    EXPECT_TRUE(lock.linkRefused()) << name;
  }
  EXPECT_EQ(test::ReadFileBytes(target), "kept");
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

}  // namespace
}  // namespace fc::platform
