// A path passed between Qt and the core names the same file on both sides,
// Chinese names included (on Windows the ANSI code page would lose them).
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <fstream>

#include "gui/shell/QtText.h"
#include "support/TempDir.h"

namespace fc::gui {
namespace {

TEST(QtTextTest, QtAndTheCoreNameTheSameChineseFile) {
  test::TempDir dir;
  const QString named = QDir(FromPath(dir.path())).filePath(QStringLiteral("报送数据.dbf"));
  QFile written(named);
  ASSERT_TRUE(written.open(QIODevice::WriteOnly));
  written.write("x");
  written.close();

  EXPECT_TRUE(std::filesystem::exists(PathOf(named)));
  EXPECT_EQ(FromPath(PathOf(named)), named);
  std::ofstream(dir / "检查报告.pdf") << "y";
  EXPECT_TRUE(QFile::exists(FromPath(dir / "检查报告.pdf")));
}

}  // namespace
}  // namespace fc::gui
