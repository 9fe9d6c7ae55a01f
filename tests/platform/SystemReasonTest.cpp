// Why a system call failed, as the operator reads it: in Chinese, whichever
// way the failure reached us.
#include "platform/SystemReason.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "platform/FileReplace.h"
#include "support/TempDir.h"

namespace fc::platform {
namespace {

TEST(SystemReason, CommonFileErrorsInChineseOthersWithTheirNumber) {
  EXPECT_EQ(SystemReason(EROFS), "只读文件系统");
  EXPECT_EQ(SystemReason(ENOSPC), "磁盘空间不足");
  EXPECT_EQ(SystemReason(EACCES), SystemReason(EPERM));
  EXPECT_TRUE(SystemReason(EPIPE).starts_with("系统错误" + std::to_string(EPIPE) + "（")) << SystemReason(EPIPE);

  // A failed write of an output file says why in the same words.
  test::TempDir dir;
  const std::filesystem::path file = dir.path() / "missing" / "report.html";
  const WriteResult written = WriteFile(file, "x", {});
  ASSERT_FALSE(written);
  EXPECT_EQ(WriteFailureText(file, written), "无法写入文件" + file.string() + "：" + SystemReason(ENOENT));
}

}  // namespace
}  // namespace fc::platform
