#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "support/TempDir.h"

namespace fc::settings {
namespace {

std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Settings, RoundTripWritesSixCrLfLines) {
  test::TempDir dir;
  SettingsFile saved{"100001", "3", "7", kFileTypeDbf, "/data/in", "/data/out"};
  std::string error;
  ASSERT_TRUE(WriteSettings(dir / "chkcfg.ini", saved, error)) << error;
  EXPECT_EQ(ReadBytes(dir / "chkcfg.ini"), "100001\r\n3\r\n7\r\n2\r\n/data/in\r\n/data/out\r\n");

  auto back = ReadSettings(dir / "chkcfg.ini");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->companyCode, "100001");
  EXPECT_EQ(back->beginNo, "3");
  EXPECT_EQ(back->endNo, "7");
  EXPECT_EQ(back->fileType, kFileTypeDbf);
  EXPECT_EQ(back->sourceDir, "/data/in");
  EXPECT_EQ(back->targetDir, "/data/out");
}

TEST(Settings, ReaderKeepsBlanksAroundNumbersAndAcceptsShortFiles) {
  test::TempDir dir;
  dir.write("chkcfg.ini", " 100002 \r\n 4 \r\n 9 \r\n 1 \r\n");
  auto back = ReadSettings(dir / "chkcfg.ini");
  ASSERT_TRUE(back);
  EXPECT_EQ(back->companyCode, " 100002 ");
  EXPECT_EQ(back->beginNo, " 4 ");
  EXPECT_EQ(back->endNo, " 9 ");
  EXPECT_EQ(back->fileType, kFileTypeZip);
  EXPECT_EQ(back->sourceDir, "");
  EXPECT_EQ(back->targetDir, "");
}

TEST(Settings, MissingFileReadsAsNothing) {
  test::TempDir dir;
  EXPECT_FALSE(ReadSettings(dir / "chkcfg.ini"));
}

TEST(Settings, FailedWriteKeepsTheOldSettings) {
  test::TempDir dir;
  std::string error;
  ASSERT_TRUE(WriteSettings(dir / "chkcfg.ini", {"100001", "1", "2", 1, "/a", ""}, error));
  // A directory in the way of the temporary file makes the write fail even for root.
  std::filesystem::create_directory(dir / "chkcfg.ini.tmp");
  EXPECT_FALSE(WriteSettings(dir / "chkcfg.ini", {"100009", "1", "2", 1, "/b", ""}, error));
  EXPECT_FALSE(error.empty());
  EXPECT_EQ(ReadSettings(dir / "chkcfg.ini")->companyCode, "100001");
}

TEST(Settings, FailedWriteIntoMissingDirectoryIsReported) {
  test::TempDir dir;
  std::string error;
  EXPECT_FALSE(WriteSettings(dir / "no" / "chkcfg.ini", {}, error));
  EXPECT_NE(error.find("chkcfg.ini"), std::string::npos);
}

TEST(Settings, NumericValueReadsTheLeadingNumber) {
  EXPECT_EQ(NumericValue("  12abc"), 12);
  EXPECT_EQ(NumericValue("-3"), -3);
  EXPECT_EQ(NumericValue("3.9"), 3);
  EXPECT_EQ(NumericValue(""), 0);
  EXPECT_EQ(NumericValue("x1"), 0);
}

}  // namespace
}  // namespace fc::settings
