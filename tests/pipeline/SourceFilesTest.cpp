// Named pipes put in place of a submitted archive or table are refused
// without waiting for a writer; a checksum is only of the file as checked.
#include "pipeline/SourceFiles.h"

#include <gtest/gtest.h>

#include <fstream>

#include "checksum/Sha256.h"
#include "pipeline/ArchiveIntake.h"
#include "pipeline/FileHasher.h"
#include "pipeline/Packaging.h"
#include "support/NamedPipe.h"
#include "support/TempDir.h"

namespace fc::pipeline {
namespace {

namespace fs = std::filesystem;

TEST(SourceFiles, NamedPipesAreRefusedWithoutWaiting) {
  test::TempDir dir;
  const fs::path pipe = dir / "100001_KHJBXX_20080808_1.ZIP", workdir = dir / "workdir";
  ASSERT_TRUE(test::MakeNamedPipe(pipe));
  fs::create_directories(workdir);
  // Each of these would wait for ever for a writer if it opened the pipe.
  EXPECT_EQ(OpenRegularFile(pipe), -1);
  UnpackArchive(pipe, workdir);
  EXPECT_TRUE(fs::is_empty(workdir));
  EXPECT_EQ(PackOneFile(pipe, "X.DBF", dir / "X.ZIP"), "文件不存在");
  EXPECT_FALSE(fs::exists(dir / "X.ZIP"));
}

// The hasher gets each file as its check found it: one grown, rewritten or
// replaced since (before its turn or while it is read) gets no sum and is
// named, so that no run records the checksum of bytes it never judged.
TEST(FileHasher, AFileNoLongerAsCheckedGetsNoSumAndIsNamed) {
  test::TempDir dir;
  std::vector<CheckedFile> files;
  for (const char* name : {"same", "grown", "rewritten", "replaced", "gone"}) {
    const fs::path file = dir.write(name, "checked");
    fs::last_write_time(file, fs::file_time_type::clock::now() - std::chrono::hours(1));  // a rewrite shows
    files.push_back(CheckedFile::At(file));
  }
  std::ofstream(dir / "grown", std::ios::app) << " and more";
  dir.write("rewritten", "judged!");  // the same size
  fs::rename(dir.write("other", "checked"), dir / "replaced");
  fs::remove(dir / "gone");
  files.push_back({dir / "never", std::nullopt});  // missing when listed, missing still
  FileHasher hasher;
  for (size_t i = 0; i < files.size(); ++i) hasher.add(static_cast<int>(i), files[i]);
  const Checksums done = hasher.finish();
  EXPECT_EQ(done.sums, (std::map<int, std::string>{
                           {0, checksum::Sha256Hex("checked")}, {1, ""}, {2, ""}, {3, ""}, {4, ""}, {5, ""}}));
  EXPECT_EQ(done.changed, (std::vector<fs::path>{dir / "grown", dir / "rewritten", dir / "replaced", dir / "gone"}));
}

}  // namespace
}  // namespace fc::pipeline
