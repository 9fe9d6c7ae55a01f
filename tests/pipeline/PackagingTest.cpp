#include "pipeline/Packaging.h"

#include <gtest/gtest.h>
#include <zip.h>

#include <fstream>
#include <functional>

#include "PipelineHome.h"
#include "platform/Utf8Paths.h"
#include "support/Zip.h"

namespace fc::pipeline {
namespace {

namespace fs = std::filesystem;

class PackPassedFilesTest : public testing::Test {
 protected:
  test::PipelineHome h;
  std::unique_ptr<store::Store> store = h.openStore();
  test::RecordingObserver observer;
  std::map<int, CheckedFile> checked;  // the passed tables as their checks found them

  PackPassedFilesTest() { store->clearRun(); }

  // A listed file; `passed` ones get a table in the source directory.
  void list(int fileid, const std::string& name, bool passed, const std::string& onDisk = "") {
    if (passed) checked[fileid] = CheckedFile::At(h.table("KHJBXX", h.source / (onDisk.empty() ? name : onDisk)));
    store->beginFile();
    store->insertFile({fileid, 1, "客户基本信息表", name, 1, passed ? 1 : 0, passed ? std::optional(3) : std::nullopt});
  }
  PackReport pack(const std::string& output) { return PackPassedFiles(*store, checked, h.sourceDir(), output, observer); }
  PackReport pack() { return pack(h.output.string() + "/"); }
  std::vector<std::string> outputFiles() {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(h.output)) names.push_back(platform::Utf8Of(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
  }
};

TEST_F(PackPassedFilesTest, OneDeflatedArchivePerPassedTableDatedLikeIt) {
  list(1, "100001_KHJBXX_20080808_1.DBF", true);
  list(2, "100001_KHJBXX_20080808_2.DBF", false);
  list(3, "100001_KHJBXX_20080808_3.DBF", true);
  fs::path dbf = h.source / "100001_KHJBXX_20080808_1.DBF";
  auto old = fs::file_time_type::clock::now() - std::chrono::hours(24 * 30);
  fs::last_write_time(dbf, old);
  checked[1] = CheckedFile::At(dbf);  // checked as dated

  const PackReport report = pack();
  EXPECT_TRUE(report.failures.empty());
  EXPECT_EQ(outputFiles(), (std::vector<std::string>{"100001_KHJBXX_20080808_1.ZIP", "100001_KHJBXX_20080808_3.ZIP"}));
  ASSERT_EQ(report.written.size(), 2u);
  EXPECT_EQ(report.written[1].archive, h.output.string() + "/100001_KHJBXX_20080808_3.ZIP");
  EXPECT_EQ(report.written[1].size, fs::file_size(h.output / "100001_KHJBXX_20080808_3.ZIP"));
  fs::path archive = h.output / "100001_KHJBXX_20080808_1.ZIP";
  auto entries = test::ReadZip(archive);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries.begin()->first, "100001_KHJBXX_20080808_1.DBF");
  EXPECT_EQ(entries.begin()->second, test::ReadFileBytes(dbf));
  test::ZipEntryInfo info = test::InspectZipEntry(archive, "100001_KHJBXX_20080808_1.DBF");
  EXPECT_EQ(info.method, ZIP_CM_DEFLATE);
  EXPECT_EQ(fs::last_write_time(archive), fs::last_write_time(dbf));  // `old` as the file system keeps it
  auto oldSeconds = std::chrono::duration_cast<std::chrono::seconds>(
      std::chrono::file_clock::to_sys(old).time_since_epoch()).count();
  EXPECT_NEAR(static_cast<double>(info.mtime), static_cast<double>(oldSeconds), 2.0);  // DOS time steps
  EXPECT_EQ(observer.statuses, (std::vector<std::string>{"正在压缩文件" + h.sourceDir() + "100001_KHJBXX_20080808_1.DBF",
                                                          "正在压缩文件" + h.sourceDir() + "100001_KHJBXX_20080808_3.DBF"}));
  EXPECT_EQ(observer.progressCalls, (std::vector<std::pair<int, int>>{{1, 2}, {2, 2}}));
}

TEST_F(PackPassedFilesTest, ExistingDifferentArchiveIsKeptAsBakAndAnIdenticalOneJustReplaced) {
  list(1, "100001_KHJBXX_20080808_1.DBF", true);
  test::ZipWriter(h.output / "100001_khjbxx_20080808_1.zip").add("stale.txt", "from an earlier packing").write();
  h.root.write("out/100001_khjbxx_20080808_1.zip.bak", "an older backup");
  const PackReport first = pack();
  ASSERT_TRUE(first.failures.empty());
  // The archive of the other letter case is the one replaced, kept under its own name first.
  EXPECT_EQ(outputFiles(), (std::vector<std::string>{"100001_khjbxx_20080808_1.zip", "100001_khjbxx_20080808_1.zip.bak"}));
  auto entries = test::ReadZip(h.output / "100001_khjbxx_20080808_1.zip");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries.begin()->first, "100001_KHJBXX_20080808_1.DBF");
  EXPECT_EQ(test::ReadZip(h.output / "100001_khjbxx_20080808_1.zip.bak").begin()->first, "stale.txt");
  ASSERT_EQ(first.written.size(), 1u);
  EXPECT_EQ(first.written[0].keptAs, platform::Utf8Of(h.output / "100001_khjbxx_20080808_1.zip.bak"));

  // Packed again from the same table: the same bytes, nothing to keep.
  const PackReport second = pack();
  ASSERT_EQ(second.written.size(), 1u);
  EXPECT_EQ(second.written[0].keptAs, "");
  EXPECT_EQ(test::ReadZip(h.output / "100001_khjbxx_20080808_1.zip.bak").begin()->first, "stale.txt");
  const std::string summary = PackSummaryText(first);
  EXPECT_NE(summary.find("已生成1个zip压缩文件:\n" + first.written[0].archive + " ("), std::string::npos) << summary;
  EXPECT_NE(summary.find("字节)，原有的不同文件已保存为" + first.written[0].keptAs), std::string::npos) << summary;
}

// Where the file system tells letter cases apart, a backup under the archive's
// own spelling is someone else's file.
TEST_F(PackPassedFilesTest, ABackupInTheOtherSpellingIsLeftAlone) {
  list(1, "100001_KHJBXX_20080808_1.DBF", true);
  test::ZipWriter(h.output / "100001_khjbxx_20080808_1.zip").add("stale.txt", "from an earlier packing").write();
  h.root.write("out/100001_KHJBXX_20080808_1.ZIP.bak", "unrelated");
  ASSERT_TRUE(pack().failures.empty());
  EXPECT_EQ(outputFiles(), (std::vector<std::string>{"100001_KHJBXX_20080808_1.ZIP.bak", "100001_khjbxx_20080808_1.zip",
                                                     "100001_khjbxx_20080808_1.zip.bak"}));
  EXPECT_EQ(test::ReadFileBytes(h.output / "100001_KHJBXX_20080808_1.ZIP.bak"), "unrelated");
}

TEST_F(PackPassedFilesTest, EntryTakesTheListedNameWhateverTheFileIsCalled) {
  list(1, "100001_KHJBXX_20080808_1.DBF", true, "100001_khjbxx_20080808_1.dbf");
  EXPECT_TRUE(pack().failures.empty());
  auto entries = test::ReadZip(h.output / "100001_KHJBXX_20080808_1.ZIP");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries.begin()->first, "100001_KHJBXX_20080808_1.DBF");
}

TEST_F(PackPassedFilesTest, FailureIsReportedAndTheOthersStillPacked) {
  list(1, "100001_KHJBXX_20080808_1.DBF", true);
  list(2, "100001_KHJBXX_20080808_2.DBF", true);
  list(3, "100001_KHJBXX_20080808_3.DBF", true);
  fs::remove(h.source / "100001_KHJBXX_20080808_2.DBF");
  const std::vector<PackFailure> failures = pack().failures;
  ASSERT_EQ(failures.size(), 1u);
  EXPECT_EQ(failures[0].source, h.sourceDir() + "100001_KHJBXX_20080808_2.DBF");
  EXPECT_EQ(outputFiles(), (std::vector<std::string>{"100001_KHJBXX_20080808_1.ZIP", "100001_KHJBXX_20080808_3.ZIP"}));
  ASSERT_EQ(observer.messages.size(), 1u);
  EXPECT_EQ(observer.messages[0].first, MessageKind::Information);
  EXPECT_NE(observer.messages[0].second.find("下列文件未能生成zip压缩文件:\n" + failures[0].source + " (文件不存在)"),
            std::string::npos);
}

// The archive holds the bytes that passed or nothing: a table rewritten in
// place, grown or replaced after its check, or a twin spelled as listed
// beside the checked one, never reaches an archive.
TEST_F(PackPassedFilesTest, ATableNoLongerAsCheckedIsRefusedAndTheTwinNeverPacked) {
  const std::string name = "100001_KHJBXX_20080808_1.DBF";
  const std::vector<std::pair<std::string, std::function<void(const fs::path&)>>> changes = {
      {"rewritten", [&](const fs::path& dbf) { h.table("KHJBXX", dbf, {{}, {{"SJRQ", "20080807"}}}); }},
      {"grown", [](const fs::path& dbf) { std::ofstream(dbf, std::ios::app | std::ios::binary) << "tail"; }},
      {"replaced", [&](const fs::path& dbf) { fs::rename(h.table("KHJBXX", h.root / "other.dbf", {{}, {}}), dbf); }},
  };
  for (const auto& [change, apply] : changes) {
    fs::remove_all(h.output);
    fs::create_directories(h.output);
    store->clearRun();
    list(1, name, true);
    apply(h.source / name);
    const PackReport report = pack();
    ASSERT_EQ(report.failures.size(), 1u) << change;
    EXPECT_EQ(report.failures[0].reason, "文件在检查之后被改动") << change;
    EXPECT_TRUE(outputFiles().empty()) << change;
  }
  fs::remove(h.source / name);
  store->clearRun();
  list(1, name, true, "100001_khjbxx_20080808_1.dbf");
  const std::string checkedBytes = test::ReadFileBytes(h.source / "100001_khjbxx_20080808_1.dbf");
  h.table("KHJBXX", h.source / name, {{{"SJRQ", "20080807"}}});
  ASSERT_TRUE(pack().failures.empty());
  EXPECT_EQ(test::ReadZip(h.output / "100001_KHJBXX_20080808_1.ZIP").begin()->second, checkedBytes);
}

TEST_F(PackPassedFilesTest, MissingOutputDirectoryFailsEveryFileWithoutCreatingIt) {
  list(1, "100001_KHJBXX_20080808_1.DBF", true);
  const PackReport report = pack((h.root / "nowhere").string() + "/");
  EXPECT_EQ(report.failures.size(), 1u);
  EXPECT_TRUE(report.written.empty());
  EXPECT_FALSE(fs::exists(h.root / "nowhere"));
}

TEST_F(PackPassedFilesTest, SourceAndOutputMayBeTheSameDirectory) {
  list(1, "100001_KHJBXX_20080808_1.DBF", true);
  EXPECT_TRUE(pack(h.sourceDir()).failures.empty());
  EXPECT_EQ(test::ReadZip(h.source / "100001_KHJBXX_20080808_1.ZIP").size(), 1u);
}

}  // namespace
}  // namespace fc::pipeline
