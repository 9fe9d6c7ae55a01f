#include "pipeline/WorkDirs.h"

#include <fstream>

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace fc::pipeline {
namespace {

namespace fs = std::filesystem;

TEST(FindFileNoCase, MatchesOrdinaryFilesRegardlessOfCase) {
  test::TempDir dir;
  dir.write("100001_khjbxx_20080808_1.zip", "x");
  fs::create_directory(dir / "100001_YYBXX_20080808_1.ZIP");
  auto found = FindFileNoCase(dir.path(), "100001_KHJBXX_20080808_1.ZIP");
  ASSERT_TRUE(found);
  EXPECT_EQ(found->filename(), "100001_khjbxx_20080808_1.zip");
  EXPECT_FALSE(FindFileNoCase(dir.path(), "100001_YYBXX_20080808_1.ZIP"));  // a directory
  EXPECT_FALSE(FindFileNoCase(dir.path(), "100001_KHJBXX_20080808_1.ZI"));
  EXPECT_FALSE(FindFileNoCase(dir / "missing", "x"));
}

TEST(FindFileNoCase, ExactSpellingWins) {
  test::TempDir dir;
  dir.write("a.dbf", "1");
  dir.write("A.DBF", "2");
  dir.write("A.dbf", "3");
  EXPECT_EQ(FindFileNoCase(dir.path(), "A.dbf")->filename(), "A.dbf");
  EXPECT_EQ(FindFileNoCase(dir.path(), "a.DBF")->filename(), "A.DBF");  // smallest spelling
}

TEST(PrepareWorkDir, CreatesOrEmptiesButKeepsSubdirectories) {
  test::TempDir home;
  std::string error;
  ASSERT_TRUE(PrepareWorkDir(home / "workdir", error));
  EXPECT_TRUE(fs::is_directory(home / "workdir"));
  home.write("workdir/old.dbf", "x");
  fs::create_directory(home / "workdir" / "sub");
  home.write("workdir/sub/kept", "x");
  ASSERT_TRUE(PrepareWorkDir(home / "workdir", error));
  EXPECT_FALSE(fs::exists(home / "workdir" / "old.dbf"));
  EXPECT_TRUE(fs::exists(home / "workdir" / "sub" / "kept"));
}

TEST(PrepareWorkDir, FileInTheWayIsReported) {
  test::TempDir home;
  home.write("lchkdir", "not a directory");
  std::string error;
  EXPECT_FALSE(PrepareWorkDir(home / "lchkdir", error));
  EXPECT_NE(error.find("lchkdir"), std::string::npos);
}

TEST(EmptyWorkDir, RemovesLinksNotTheirTargets) {
  test::TempDir dir;
  fs::create_directory(dir / "work");
  dir.write("outside.dbf", "keep me");
  fs::create_symlink(dir / "outside.dbf", dir / "work" / "link.dbf");
  EmptyWorkDir(dir / "work");
  EXPECT_FALSE(fs::exists(fs::symlink_status(dir / "work" / "link.dbf")));
  EXPECT_TRUE(fs::exists(dir / "outside.dbf"));
}

TEST(LinkOrCopyFile, ReplacesTheTargetAndKeepsTheSource) {
  test::TempDir dir;
  fs::path from = dir.write("from.dbf", "new table");
  fs::path to = dir.write("KHJBXX.DBF", "previous group's table");
  ASSERT_TRUE(LinkOrCopyFile(from, to));
  std::ifstream in(to);
  std::string text((std::istreambuf_iterator<char>(in)), {});
  EXPECT_EQ(text, "new table");
  EXPECT_TRUE(fs::exists(from));
  EXPECT_FALSE(LinkOrCopyFile(dir / "missing.dbf", dir / "x.dbf"));
  EXPECT_FALSE(fs::exists(dir / "x.dbf"));
}

}  // namespace
}  // namespace fc::pipeline
