#include "pipeline/ArchiveIntake.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <optional>
#include <random>

#include "PipelineHome.h"
#include "pipeline/WorkDirs.h"
#include "pipeline/ZipEntries.h"
#include "support/StoreRows.h"
#include "platform/Utf8Paths.h"
#include "support/Zip.h"

namespace fc::pipeline {
namespace {

namespace fs = std::filesystem;

constexpr const char* kArchive = "100001_KHJBXX_20080808_1.ZIP";
constexpr const char* kDbf = "100001_KHJBXX_20080808_1.DBF";

// The archive listed as `name` in the source folder, as a run finds it.
fs::path Listed(const test::PipelineHome& h, const std::string& name) {
  return FindFileNoCase(h.source, name).value_or(h.source / name);
}

class CheckZipFileTest : public testing::Test {
 protected:
  test::PipelineHome h;
  std::unique_ptr<store::Store> store = h.openStore();
  StructureContext ctx{h.layouts, *store, "20080808"};
  std::string goodTable = test::ReadFileBytes(h.table("KHJBXX", h.root / "good.dbf"));

  test::ZipWriter zip(const std::string& name = kArchive) { return test::ZipWriter(h.source / name); }
  int check(const std::string& name = kArchive) {
    return CheckZipFile(ctx, h.home.workdir(), Listed(h, name), name, 1);
  }
  std::vector<std::string> errors() {
    std::vector<std::string> rows;
    for (const auto& row : test::StoreRows(*store, "select errid, errdesc from fileerr order by rowid"))
      rows.push_back(row[0].value_or("") + " " + row[1].value_or(""));
    return rows;
  }
  std::vector<std::string> workdirFiles() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(h.home.workdir())) names.push_back(platform::Utf8Of(e.path().filename()));
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

// Entries whose names lead elsewhere than workdir, on either system: an
// archive made on Linux is opened on Windows, where "C:x" lands in drive
// C:'s current folder, "CON" is the console and "X.DBF " is "X.DBF". None
// is written anywhere, and the row names those refused for their names.
TEST_F(CheckZipFileTest, HostileEntriesAreNeverWritten) {
  fs::path absolute = h.root / "abs" / kDbf;
  fs::create_directories(absolute.parent_path());
  enum class Entry { Named, Symlink, Encrypted };
  const std::string dbf = kDbf;
  const std::vector<std::pair<std::string, Entry>> cases = {
      {"../" + dbf, Entry::Named}, {"../../" + dbf, Entry::Named}, {"..", Entry::Named},
      {absolute.string(), Entry::Named}, {"..\\" + dbf, Entry::Named},
      {"C:" + dbf, Entry::Named}, {"D:" + dbf, Entry::Named}, {dbf + ":stream", Entry::Named},
      {"CON", Entry::Named}, {"nul.dbf", Entry::Named}, {"Com1.DBF", Entry::Named}, {"LPT9 .DBF", Entry::Named},
      {dbf + " ", Entry::Named}, {dbf + ".", Entry::Named}, {dbf + " . ", Entry::Named},
      {dbf, Entry::Symlink}, {dbf, Entry::Encrypted},
  };
  for (const auto& [name, entry] : cases) {
    test::ZipWriter z = zip();
    if (entry == Entry::Named) z.add(name, goodTable);
    if (entry == Entry::Symlink) z.addSymlink(name, (h.root / "good.dbf").string());
    if (entry == Entry::Encrypted) z.addEncrypted(name, goodTable);
    z.write();
    EXPECT_EQ(check(), 3) << name;
    const std::string row = errors().back();
    EXPECT_TRUE(row.starts_with("3 ZIP文件无法打开或为空文件")) << row;
    if (entry == Entry::Named) {
      EXPECT_NE(row.find("；路径不安全、未解压的文件：" + name.substr(0, 60)), std::string::npos) << row;
    }
    EXPECT_TRUE(workdirFiles().empty()) << name;
    for (const fs::path& outside : {h.home.home / kDbf, h.root / kDbf, absolute, fs::current_path() / kDbf})
      EXPECT_FALSE(fs::exists(outside)) << name << " wrote " << outside;
    // Where a name with a drive leads on Windows: that drive's current folder.
    if (name[1] == ':') {
      EXPECT_FALSE(fs::exists(platform::PathFromUtf8(name))) << name;
    }
  }
}

// A table beside the right one, in a folder or under a name that climbs
// out, would escape the check: every entry but a directory counts, and the
// row names those refused for their names.
TEST_F(CheckZipFileTest, EntriesInFoldersOrOutsideWorkdirCountBesideTheTable) {
  zip().add("../evil.txt", "x").add("/tmp/abs.txt", "x").addDirectory("sub/").add("sub/readme.txt", "x")
      .add(kDbf, goodTable).write();
  EXPECT_EQ(check(), 1);
  EXPECT_TRUE(workdirFiles().empty());
  EXPECT_FALSE(fs::exists(h.home.home / "evil.txt"));
  zip().addDirectory("sub/").add(kDbf, goodTable).write();
  EXPECT_EQ(check(), 0) << "a directory holds nothing";
  zip().add(kDbf, goodTable).add(std::string("sub\\") + kDbf, goodTable).write();
  EXPECT_EQ(check(), 1);
  zip().add(kDbf, goodTable).add("a/../../b", "x").add("\\c", "x").add("C:d", "x").add(std::string(300, 'e') + "/../f", "x")
      .write();
  EXPECT_EQ(check(), 1);
  EXPECT_EQ(errors(), (std::vector<std::string>{"1 ZIP文件里有多个文件；路径不安全、未解压的文件：../evil.txt、/tmp/abs.txt",
                                                "1 ZIP文件里有多个文件",
                                                "1 ZIP文件里有多个文件；路径不安全、未解压的文件：a/../../b、\\c、C:d等4个"}));
  zip().add(std::string("../") + kDbf, goodTable).write();
  EXPECT_EQ(check(), 3);
  EXPECT_EQ(errors().back(), "3 ZIP文件无法打开或为空文件；路径不安全、未解压的文件：../" + std::string(kDbf));
}

// Overwrites the CRC that the headers of the archive's first entry claim.
void SpoilFirstChecksum(const fs::path& archive) {
  std::string bytes = test::ReadFileBytes(archive);
  size_t local = bytes.find("PK\x03\x04");
  size_t central = bytes.find("PK\x01\x02");
  ASSERT_NE(local, std::string::npos);
  ASSERT_NE(central, std::string::npos);
  const uint32_t crc = 0x12345678;
  std::memcpy(&bytes[local + 14], &crc, 4);
  std::memcpy(&bytes[central + 16], &crc, 4);
  std::ofstream(archive, std::ios::binary) << bytes;
}

TEST_F(CheckZipFileTest, EveryFileDirectlyInTheArchiveCountsWrittenOrNot) {
  zip().add(std::string("./") + kDbf, goodTable).write();
  EXPECT_EQ(check(), 0) << "./ names the archive's own folder";
  EXPECT_EQ(workdirFiles(), std::vector<std::string>{kDbf});

  zip().add(kDbf, goodTable).add("readme..txt", "x").write();
  EXPECT_EQ(check(), 1);
  zip().add(kDbf, goodTable).addSymlink("link", "/etc/passwd").write();
  EXPECT_EQ(check(), 1);
  zip().add(kDbf, goodTable).addEncrypted("notes.txt", "secret").write();
  EXPECT_EQ(check(), 1);
  zip().add("notes.txt", "spoilt").add(kDbf, goodTable).write();
  SpoilFirstChecksum(h.source / kArchive);
  EXPECT_EQ(check(), 1);
  EXPECT_FALSE(fs::exists(h.home.workdir() / "notes.txt"));
  EXPECT_FALSE(fs::exists(h.home.workdir() / "link"));
  // A spoilt table alone leaves nothing to check.
  zip().add(kDbf, goodTable).write();
  SpoilFirstChecksum(h.source / kArchive);
  EXPECT_EQ(check(), 3);
  EXPECT_EQ(errors(), (std::vector<std::string>{"1 ZIP文件里有多个文件", "1 ZIP文件里有多个文件",
                                                "1 ZIP文件里有多个文件", "1 ZIP文件里有多个文件",
                                                "3 ZIP文件无法打开或为空文件"}));
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

TEST_F(CheckZipFileTest, TwoSpellingsOfOneNameAreTwoFilesAndNeitherIsUnpacked) {
  zip().add(kDbf, "an older, broken copy").add("100001_khjbxx_20080808_1.dbf", goodTable).write();
  EXPECT_EQ(check(), 1);
  EXPECT_TRUE(workdirFiles().empty());
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

// Entry `index` of `archive` extracted into a fresh `target`; nothing when it fails.
std::optional<std::string> Extracted(const fs::path& archive, zip_uint64_t index, const fs::path& target) {
  ZipArchive za = OpenArchive(archive);
  std::ofstream{target};
  if (!za || !ExtractTo(za.get(), index, target)) return std::nullopt;
  return test::ReadFileBytes(target);
}

TEST_F(CheckZipFileTest, DeflatedAndStoredEntriesLandWholeAndASpoiltStreamNot) {
  // Several megabytes that deflate to more than one read of raw input.
  std::mt19937 random(7);
  std::string big;
  while (big.size() < (3u << 20)) big += std::to_string(random()) + (random() % 3 ? " " : "\n");
  const fs::path archive = h.source / kArchive, target = h.root / "out.bin";
  zip().add("big.txt", big).add("plain.txt", "stored as is").stored().add("small.txt", "x").write();
  EXPECT_EQ(Extracted(archive, 0, target), big);
  EXPECT_EQ(Extracted(archive, 1, target), "stored as is");
  EXPECT_EQ(Extracted(archive, 2, target), "x");

  // Garbage in the middle of the deflated bytes, the headers left whole.
  std::string bytes = test::ReadFileBytes(archive);
  std::fill_n(bytes.begin() + 100000, 64, '\xff');
  std::ofstream(archive, std::ios::binary) << bytes;
  EXPECT_EQ(Extracted(archive, 0, target), std::nullopt);
  EXPECT_EQ(Extracted(archive, 1, target), "stored as is");
}

// Archives unpacked one after another, some of them ahead on the prefetch
// thread: what lands and what is reported must not depend on which.
class ArchivePrefetchTest : public CheckZipFileTest {
 protected:
  std::vector<std::string> names;

  void SetUp() override {
    auto name = [&](int n) { return "100001_KHJBXX_20080808_" + std::to_string(n) + ".ZIP"; };
    auto dbf = [&](int n) { return "100001_KHJBXX_20080808_" + std::to_string(n) + ".DBF"; };
    zip(name(1)).add(dbf(1), goodTable).write();
    zip(name(2)).add(dbf(2), goodTable).add("readme.txt", "x").add("third.txt", "y").write();
    zip(name(3)).add("100001_KHJBXX_20080809_3.DBF", goodTable).write();
    h.root.write("in/" + name(4), "not a zip archive");
    zip(name(5)).add("100001_khjbxx_20080808_5.dbf", goodTable).write();
    zip(name(6)).add("../evil.txt", "x").addSymlink("link", "/etc/passwd").add(dbf(6), goodTable).write();
    zip(name(7)).addDirectory("sub/").add("sub/" + dbf(7), goodTable).write();
    for (int n = 1; n <= 7; ++n) names.push_back(name(n));
  }

  // The files in workdir: the staging directory beside them does not count.
  std::vector<std::string> landed() {
    std::vector<std::string> files;
    for (const auto& e : fs::directory_iterator(h.home.workdir()))
      if (e.is_regular_file()) files.push_back(platform::Utf8Of(e.path().filename()));
    std::sort(files.begin(), files.end());
    return files;
  }

  // The staging directory's files once the prefetch thread has begun (it
  // names them "archive.entry" and creates each before decompressing into it).
  std::vector<std::string> firstStagedFiles() const {
    fs::path staging = h.home.home / "workdir.prefetch";
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < deadline) {
      std::vector<std::string> files;
      std::error_code ec;
      for (fs::directory_iterator it(staging, ec), end; !ec && it != end; it.increment(ec))
        files.push_back(platform::Utf8Of(it->path().filename()));
      if (!files.empty()) return files;
    }
    return {};
  }

  std::vector<fs::path> archives() const {
    std::vector<fs::path> paths;
    for (const std::string& n : names) paths.push_back(h.source / n);
    return paths;
  }

  // Per archive: the result, then each file left in workdir with its bytes.
  std::vector<std::string> checkAll(ArchivePrefetch* prefetch) {
    std::vector<std::string> seen;
    for (const std::string& n : names) {
      seen.push_back(n + " -> " + std::to_string(CheckZipFile(ctx, h.home.workdir(), Listed(h, n), n, 1, prefetch)));
      for (const std::string& f : landed())
        seen.push_back("  " + f + " " + test::ReadFileBytes(h.home.workdir() / f).substr(0, 40));
    }
    return seen;
  }
};

TEST_F(ArchivePrefetchTest, LandsAndReportsExactlyWhatPlainUnpackingDoes) {
  std::vector<std::string> plain = checkAll(nullptr);
  std::vector<std::string> plainErrors = errors();
  store->clearRun();
  {
    ArchivePrefetch prefetch(h.home.workdir(), archives());
    EXPECT_EQ(checkAll(&prefetch), plain);
  }
  EXPECT_EQ(errors(), plainErrors);
  // Nothing of the staging is left beside the last archive's files.
  for (const auto& e : fs::directory_iterator(h.home.workdir())) EXPECT_FALSE(e.is_directory()) << e.path();
}

TEST_F(ArchivePrefetchTest, SkippedArchivesLeaveNothingBehind) {
  {
    ArchivePrefetch prefetch(h.home.workdir(), archives());
    EXPECT_EQ(CheckZipFile(ctx, h.home.workdir(), Listed(h, names[4]), names[4], 1, &prefetch), 0);
    EXPECT_EQ(landed(), std::vector<std::string>{"100001_khjbxx_20080808_5.dbf"});
    // An archive the list does not hold is unpacked as usual.
    zip("100001_KHJBXX_20080808_8.ZIP").add("100001_KHJBXX_20080808_8.DBF", goodTable).write();
    EXPECT_EQ(CheckZipFile(ctx, h.home.workdir(), Listed(h, "100001_KHJBXX_20080808_8.ZIP"),
                           "100001_KHJBXX_20080808_8.ZIP", 1, &prefetch), 0);
  }
  EXPECT_EQ(workdirFiles(), std::vector<std::string>{"100001_KHJBXX_20080808_8.DBF"});
}

TEST_F(ArchivePrefetchTest, StagingLeftByAKilledRunIsRemoved) {
  fs::path staging = h.home.home / "workdir.prefetch";
  fs::create_directories(staging);
  h.root.write("home/workdir.prefetch/3.0", "half a table");
  RemoveArchiveStaging(h.home.workdir());
  EXPECT_FALSE(fs::exists(staging));
}

TEST_F(ArchivePrefetchTest, ArchiveRewrittenAfterStagingLandsItsNewContent) {
  ArchivePrefetch prefetch(h.home.workdir(), archives());
  ASSERT_EQ(prefetch.take(h.source / names[0]), nullptr);  // the first is always the caller's own
  // Once the thread has begun on an archive (a staged file named "archive.entry"
  // appears), taking that archive waits for the staging to complete.
  std::vector<std::string> begun = firstStagedFiles();
  ASSERT_FALSE(begun.empty());
  const std::string& name = names[std::stoul(begun[0])];
  std::shared_ptr<const StagedArchive> staged = prefetch.take(h.source / name);
  ASSERT_NE(staged, nullptr);
  const std::string replacement = "a newer table";
  const std::string dbf = name.substr(0, name.size() - 3) + "DBF";
  zip(name).add(dbf, replacement).write();
  UnpackArchive(h.source / name, h.home.workdir(), staged.get());
  EXPECT_EQ(landed(), std::vector<std::string>{dbf});
  EXPECT_EQ(test::ReadFileBytes(h.home.workdir() / dbf), replacement);
}

TEST_F(ArchivePrefetchTest, ThreadBeginsWithTheLargestArchive) {
  // Incompressible padding, so that the archives' sizes differ as the tables'.
  std::mt19937 random(7);
  auto noise = [&](size_t n) {
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random());
    return bytes;
  };
  zip(names[1]).add("100001_KHJBXX_20080808_2.DBF", goodTable + noise(1 << 19)).write();
  zip(names[2]).add("100001_KHJBXX_20080809_3.DBF", goodTable + noise(4 << 20)).write();
  ArchivePrefetch prefetch(h.home.workdir(), archives());
  std::vector<std::string> begun = firstStagedFiles();
  EXPECT_NE(std::find(begun.begin(), begun.end(), "2.0"), begun.end());
}

}  // namespace
}  // namespace fc::pipeline
