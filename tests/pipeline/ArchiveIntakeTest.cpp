#include "pipeline/ArchiveIntake.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "PipelineHome.h"
#include "support/Zip.h"

namespace fc::pipeline {
namespace {

namespace fs = std::filesystem;

constexpr const char* kArchive = "100001_KHJBXX_20080808_1.ZIP";
constexpr const char* kDbf = "100001_KHJBXX_20080808_1.DBF";

class CheckZipFileTest : public testing::Test {
 protected:
  test::PipelineHome h;
  std::unique_ptr<store::Store> store = h.openStore();
  StructureContext ctx{h.layouts, *store, "20080808"};
  std::string goodTable = test::ReadFileBytes(h.table("KHJBXX", h.root / "good.dbf"));

  test::ZipWriter zip(const std::string& name = kArchive) { return test::ZipWriter(h.source / name); }
  int check(const std::string& name = kArchive) {
    return CheckZipFile(ctx, h.home.workdir(), h.sourceDir(), name, 1);
  }
  std::vector<std::string> errors() {
    std::vector<std::string> rows;
    for (const auto& row : store->execute("select errid, errdesc from fileerr order by rowid"))
      rows.push_back(row[0].value_or("") + " " + row[1].value_or(""));
    return rows;
  }
  std::vector<std::string> workdirFiles() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(h.home.workdir())) names.push_back(e.path().filename());
    return names;
  }
};

TEST_F(CheckZipFileTest, InnerNameComparedWithoutCase) {
  zip().add("100001_khjbxx_20080808_1.dbf", goodTable).write();
  EXPECT_EQ(check(), 0);
  EXPECT_TRUE(errors().empty());
  EXPECT_EQ(workdirFiles(), std::vector<std::string>{"100001_khjbxx_20080808_1.dbf"});
}

TEST_F(CheckZipFileTest, ArchiveProblemsWriteOneRowEach) {
  zip().add("100001_KHJBXX_20080809_1.DBF", goodTable).write();
  EXPECT_EQ(check(), 2);
  zip().add(kDbf, goodTable).add("readme.txt", "hello").write();
  EXPECT_EQ(check(), 1);
  h.root.write("in/" + std::string(kArchive), "this is not a zip archive");
  EXPECT_EQ(check(), 3);
  h.root.write("in/" + std::string(kArchive), "");
  EXPECT_EQ(check(), 3);
  EXPECT_EQ(errors(), (std::vector<std::string>{"2 ZIP文件中文件命名不正确", "1 ZIP文件里有多个文件",
                                                "3 ZIP文件无法打开或为空文件",
                                                "3 ZIP文件无法打开或为空文件"}));
}

TEST_F(CheckZipFileTest, TableInAFolderOfItsOwnLandsNothing) {
  zip().addDirectory("sub/").add(std::string("sub/") + kDbf, goodTable).write();
  EXPECT_EQ(check(), 3);
  EXPECT_TRUE(workdirFiles().empty());
}

TEST_F(CheckZipFileTest, HostileEntriesAreNeverWritten) {
  fs::path absolute = h.root / "abs" / kDbf;
  fs::create_directories(absolute.parent_path());
  struct Case {
    const char* what;
    std::function<void(test::ZipWriter&)> add;
  };
  std::vector<Case> cases = {
      {"parent", [&](test::ZipWriter& z) { z.add(std::string("../") + kDbf, goodTable); }},
      {"parent twice", [&](test::ZipWriter& z) { z.add(std::string("../../") + kDbf, goodTable); }},
      {"dots only", [&](test::ZipWriter& z) { z.add("..", goodTable); }},
      {"absolute", [&](test::ZipWriter& z) { z.add(absolute.string(), goodTable); }},
      {"backslash", [&](test::ZipWriter& z) { z.add(std::string("..\\") + kDbf, goodTable); }},
      {"symlink", [&](test::ZipWriter& z) { z.addSymlink(kDbf, (h.root / "good.dbf").string()); }},
      {"encrypted", [&](test::ZipWriter& z) { z.addEncrypted(kDbf, goodTable); }},
  };
  for (const Case& c : cases) {
    test::ZipWriter z = zip();
    c.add(z);
    z.write();
    EXPECT_EQ(check(), 3) << c.what;
    EXPECT_TRUE(workdirFiles().empty()) << c.what;
    EXPECT_FALSE(fs::exists(h.home.home / kDbf)) << c.what;
    EXPECT_FALSE(fs::exists(h.root / kDbf)) << c.what;
    EXPECT_FALSE(fs::exists(absolute)) << c.what;
  }
}

TEST_F(CheckZipFileTest, SkippedEntryDoesNotSpoilTheTableBesideIt) {
  zip().add("../evil.txt", "x").addSymlink("link", "/etc/passwd").add(kDbf, goodTable).write();
  EXPECT_EQ(check(), 0);
  EXPECT_EQ(workdirFiles(), std::vector<std::string>{kDbf});
  EXPECT_FALSE(fs::exists(h.home.home / "evil.txt"));
}

// Lowers the uncompressed size that the local and central headers of the
// archive's only entry claim, so that inflating yields more than claimed.
void ClaimSmallerSize(const fs::path& archive, uint32_t size) {
  std::string bytes = test::ReadFileBytes(archive);
  size_t local = bytes.find("PK\x03\x04");
  size_t central = bytes.find("PK\x01\x02");
  ASSERT_NE(local, std::string::npos);
  ASSERT_NE(central, std::string::npos);
  std::memcpy(&bytes[local + 22], &size, 4);
  std::memcpy(&bytes[central + 24], &size, 4);
  std::ofstream(archive, std::ios::binary) << bytes;
}

TEST_F(CheckZipFileTest, EntryYieldingMoreThanItClaimsIsDropped) {
  zip().add(kDbf, goodTable).write();
  ClaimSmallerSize(h.source / kArchive, 100);
  EXPECT_EQ(check(), 3);
  EXPECT_TRUE(workdirFiles().empty());  // neither the entry nor a temporary file
}

TEST_F(CheckZipFileTest, LaterSpellingOfTheSameNameReplacesTheEarlier) {
  zip().add(kDbf, "an older, broken copy").add("100001_khjbxx_20080808_1.dbf", goodTable).write();
  EXPECT_EQ(check(), 0);
  EXPECT_EQ(workdirFiles(), std::vector<std::string>{"100001_khjbxx_20080808_1.dbf"});
}

TEST_F(CheckZipFileTest, SecondArchiveNeverSeesTheFirstOnesFiles) {
  zip().add(kDbf, goodTable).write();
  ASSERT_EQ(check(), 0);
  const std::string second = "100001_KHJBXX_20080808_2.ZIP";
  h.root.write("in/" + second, "not a zip");
  EXPECT_EQ(check(second), 3);
  EXPECT_TRUE(workdirFiles().empty());
}

TEST_F(CheckZipFileTest, UnpackedTableGoesOnToTheStructureCheck) {
  h.table("KHJBXX", h.root / kDbf, {{}}, "KHQC");
  zip().addFile(kDbf, h.root / kDbf).write();
  EXPECT_EQ(check(), 4);
  EXPECT_EQ(errors(), std::vector<std::string>{"4 字段KHQC长度不符合接口规范"});
}

}  // namespace
}  // namespace fc::pipeline
