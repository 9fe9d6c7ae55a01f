// Real files opened for reading: a link is refused only when asked, anything
// but an ordinary file is refused, reads at an offset and to the end, and a
// file's facts tell when it was rewritten, cut or replaced.
#include "platform/Files.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>

#include "platform/FileReplace.h"
#include "support/TempDir.h"

namespace fc::platform {
namespace {

namespace fs = std::filesystem;

// The whole of `fd` from its position, read in small pieces; "<error>" when a read fails.
std::string ReadAll(int fd) {
  std::string text;
  char piece[3];
  for (int64_t n; (n = ReadSome(fd, piece, sizeof piece)) != 0;) {
    if (n < 0) return "<error>";
    text.append(piece, static_cast<size_t>(n));
  }
  return text;
}

TEST(Files, LinksAreRefusedOnlyWhenAskedAndOnlyOrdinaryFilesOpen) {
  test::TempDir dir;
  const fs::path file = dir.write("table.dbf", "0123456789");
  fs::create_symlink(file, dir / "link");

  const int followed = OpenForReading(dir / "link", Links::Follow);
  ASSERT_GE(followed, 0);
  char middle[4] = {};
  EXPECT_EQ(ReadAt(followed, middle, 3, 4), 3);
  EXPECT_STREQ(middle, "456");
  EXPECT_EQ(ReadAt(followed, middle, 3, 10), 0);
  EXPECT_EQ(CloseFile(followed), 0);

  errno = 0;
  EXPECT_EQ(OpenForReading(dir / "link", Links::Refuse), -1);
  EXPECT_EQ(errno, ELOOP);
  const int direct = OpenForReading(file, Links::Refuse);
  ASSERT_GE(direct, 0);
  EXPECT_EQ(ReadAll(direct), "0123456789");
  CloseFile(direct);

  EXPECT_EQ(OpenForReading(dir.path(), Links::Follow), -1);
  EXPECT_EQ(errno, EISDIR);
  EXPECT_EQ(OpenForReading(dir / "missing", Links::Follow), -1);
  EXPECT_EQ(errno, ENOENT);

  EXPECT_EQ(KindAt(dir / "link"), EntryKind::Link);
  EXPECT_EQ(KindAt(file), EntryKind::File);
  EXPECT_EQ(KindAt(dir.path()), EntryKind::Directory);
  EXPECT_EQ(KindAt(dir / "missing"), EntryKind::Missing);
}

TEST(Files, FactsTellARewrittenCutOrReplacedFile) {
  test::TempDir dir;
  // A time with a fraction of its own, as a copy from another machine keeps it
  // (in steps of 100 ns, which is what Windows keeps; MinGW's last_write_time
  // would set whole seconds alone).
  const auto day = std::chrono::floor<std::chrono::seconds>(fs::file_time_type::clock::now() - std::chrono::hours(24));
  const auto stamp = day + std::chrono::nanoseconds(123456700);
  const auto unixSeconds = std::chrono::floor<std::chrono::seconds>(std::chrono::file_clock::to_sys(day));
  const fs::path file = dir / "a.zip";
  ASSERT_TRUE(WriteFile(file, "first", {.modified = FileTime{unixSeconds.time_since_epoch().count(), 123456700}}));

  const int fd = OpenForReading(file, Links::Follow);
  ASSERT_GE(fd, 0);
  const std::optional<FileFacts> opened = FactsOf(fd), named = FactsAt(file);
  CloseFile(fd);
  ASSERT_TRUE(opened && named);
  EXPECT_TRUE(opened->regular);
  EXPECT_EQ(opened->size, 5);
  EXPECT_EQ(opened->modified.seconds, unixSeconds.time_since_epoch().count());
  EXPECT_EQ(opened->modified.nanoseconds, 123456700);
  EXPECT_EQ(named->modified.seconds, opened->modified.seconds);
  EXPECT_EQ(named->modified.nanoseconds, opened->modified.nanoseconds);
  EXPECT_EQ(opened->inode, named->inode);
  EXPECT_EQ(opened->device, named->device);

  auto same = [&](const FileFacts& facts) {
    return facts.device == opened->device && facts.inode == opened->inode && facts.size == opened->size &&
           facts.modified.seconds == opened->modified.seconds &&
           facts.modified.nanoseconds == opened->modified.nanoseconds;
  };
  fs::last_write_time(file, stamp + std::chrono::seconds(1));  // rewritten in place, same size
  EXPECT_FALSE(same(*FactsAt(file)));
  fs::resize_file(file, 2);
  fs::last_write_time(file, stamp);  // cut, the time put back
  EXPECT_FALSE(same(*FactsAt(file)));
  const fs::path other = dir.write("b.zip", "first");
  fs::last_write_time(other, stamp);
  fs::rename(other, file);  // replaced by a file like it
  EXPECT_FALSE(same(*FactsAt(file)));
  EXPECT_FALSE(FactsAt(dir / "missing"));
}

}  // namespace
}  // namespace fc::platform
