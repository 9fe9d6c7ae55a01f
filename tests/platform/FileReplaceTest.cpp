// The one writer of whole files, on real files: links at the place refused,
// failures that leave the earlier file whole and nothing else behind, the
// no-replace mode, the rights and the kept modification time.
#include "platform/FileReplace.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "platform/Files.h"
#include "support/NamedPipe.h"
#include "support/TempDir.h"
#include "support/Umask.h"

namespace fc::platform {
namespace {

namespace fs = std::filesystem;

std::string ReadBytes(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

size_t Entries(const fs::path& dir) {
  return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator()));
}

TEST(FileReplace, LinkAtThePlaceIsRefusedAndLeftPointingAtItsFile) {
  test::TempDir dir;
  const fs::path target = dir.write("elsewhere.txt", "theirs");
  fs::create_symlink(target, dir / "out.txt");
  for (TempName name : {TempName::Hidden, TempName::Fixed}) {
    WriteResult r = WriteFile(dir / "out.txt", "ours", {.tempName = name});
    EXPECT_FALSE(r);
    EXPECT_TRUE(r.linkRefused());
  }
  WriteResult byName = WriteFileByName(dir / "out.txt", [](const fs::path&, std::string&) { return true; }, {});
  EXPECT_TRUE(byName.linkRefused());
  EXPECT_TRUE(fs::is_symlink(dir / "out.txt"));
  EXPECT_EQ(ReadBytes(target), "theirs");
  EXPECT_EQ(Entries(dir.path()), 2u);

  // Nor is the fixed temporary written through a link planted in its place.
  fs::remove(dir / "out.txt");
  fs::create_symlink(target, dir / "out.txt.tmp");
  WriteResult r = WriteFile(dir / "out.txt", "ours", {.tempName = TempName::Fixed});
  EXPECT_TRUE(r.linkRefused());
  EXPECT_EQ(r.at, dir / "out.txt.tmp");
  EXPECT_EQ(ReadBytes(target), "theirs");

  // A pipe there fails the write at once (no reader is waited for) and stays.
  fs::remove(dir / "out.txt.tmp");
  ASSERT_TRUE(test::MakeNamedPipe(dir / "out.txt.tmp"));
  EXPECT_FALSE(WriteFile(dir / "out.txt", "ours", {.tempName = TempName::Fixed}));
  EXPECT_EQ(fs::status(dir / "out.txt.tmp").type(), fs::file_type::fifo);
  EXPECT_FALSE(fs::exists(dir / "out.txt"));
}

TEST(FileReplace, FailedWriteLeavesTheEarlierFileWholeAndNoTemporary) {
  test::TempDir dir;
  const fs::path file = dir / "report.html";
  for (TempName name : {TempName::Hidden, TempName::Beside, TempName::Fixed}) {
    ASSERT_TRUE(WriteFile(file, "earlier", {.tempName = name}));
    WriteResult r = WriteFileThrough(file, [](Output& out, std::string& reason) {
      out.write("half", 4);
      reason = "the library gave up";
      return false;
    }, {.tempName = name});
    EXPECT_FALSE(r);
    EXPECT_EQ(r.why(), "the library gave up");
    EXPECT_THROW(WriteFileByName(file, [](const fs::path& temp, std::string&) -> bool {
      std::ofstream(temp) << "half";
      throw std::runtime_error("gave up");
    }, {.tempName = name}), std::runtime_error);
    EXPECT_EQ(ReadBytes(file), "earlier");
    EXPECT_EQ(Entries(dir.path()), 1u);
  }
  // A missing directory fails at the temporary, and says so.
  WriteResult r = WriteFile(dir / "none" / "x", "x", {.tempName = TempName::Fixed});
  EXPECT_EQ(r.error, std::errc::no_such_file_or_directory);
  EXPECT_EQ(r.at, dir / "none" / "x.tmp");
}

TEST(FileReplace, KeepLeavesAnExistingFileAndWritesWhereThereIsNone) {
  test::TempDir dir;
  const fs::path file = dir.write("dravmel.mdb", "first");
  const auto byName = [](const std::string& bytes) {
    return [bytes](const fs::path& temp, std::string&) { return static_cast<bool>(std::ofstream(temp) << bytes); };
  };
  WriteResult r = WriteFileByName(file, byName("second"), {.existing = Existing::Keep, .tempName = TempName::Beside});
  EXPECT_TRUE(r);
  EXPECT_TRUE(r.kept);
  r = WriteFile(file, "second", {.existing = Existing::Keep});
  EXPECT_TRUE(r.kept);
  EXPECT_EQ(ReadBytes(file), "first");
  EXPECT_EQ(Entries(dir.path()), 1u);

  fs::remove(file);
  r = WriteFileByName(file, byName("second"), {.existing = Existing::Keep, .tempName = TempName::Beside});
  EXPECT_TRUE(r && !r.kept);
  EXPECT_EQ(ReadBytes(file), "second");
  EXPECT_EQ(Entries(dir.path()), 1u);
}

TEST(FileReplace, RightsFollowTheAccessAndTheTimeIsKept) {
  test::TempDir dir;
  for (mode_t mask : {mode_t{022}, mode_t{0}}) {
    test::UmaskScope scope(mask);
    // An earlier file that others could read is narrowed as it is replaced.
    dir.write("home.ini", "old");
    fs::permissions(dir / "home.ini", fs::perms::all);
    ASSERT_TRUE(WriteFile(dir / "home.ini", "new", {.access = Access::OwnerOnly, .tempName = TempName::Fixed}));
    EXPECT_EQ(test::Mode(dir / "home.ini"), 0600);
    ASSERT_TRUE(WriteFileByName(dir / "copy", [](const fs::path& temp, std::string&) {
      fs::copy_file("/proc/self/exe", temp, fs::copy_options::overwrite_existing);
      return true;
    }, {.access = Access::OwnerOnly}));
    EXPECT_EQ(test::Mode(dir / "copy"), 0600);
    ASSERT_TRUE(WriteFile(dir / "out.zip", "zip", {.modified = FileTime{1218153600, 5}}));
    EXPECT_EQ(test::Mode(dir / "out.zip"), static_cast<int>(0666 & ~mask));
    const std::optional<FileFacts> facts = FactsAt(dir / "out.zip");
    ASSERT_TRUE(facts);
    EXPECT_EQ(facts->modified.seconds, 1218153600);
    EXPECT_EQ(facts->modified.nanoseconds, 5);
  }
}

}  // namespace
}  // namespace fc::platform
