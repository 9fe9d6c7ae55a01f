// Named pipes put in place of a submitted archive or table are refused
// without waiting for a writer.
#include "pipeline/SourceFiles.h"

#include <gtest/gtest.h>

#include "pipeline/ArchiveIntake.h"
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

}  // namespace
}  // namespace fc::pipeline
