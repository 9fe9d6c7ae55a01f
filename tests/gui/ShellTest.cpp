// The shell's platform pieces: where the application home is, and the real
// message boxes behind the interface the windows use.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "GuiTestSupport.h"
#include "gui/shell/AppHomeResolver.h"
#include "gui/shell/MessageBoxes.h"

namespace fc::gui {
namespace {

TEST(AppHomeTest, ProgramDirectoryWhenWritableElseTheUsersDataDirectory) {
  test::TempDir dir;
  settings::AppHome home = ResolveAppHome(dir.path(), dir / "user");
  EXPECT_EQ(home.home, dir.path());
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));  // the probe leaves nothing behind

  // Nobody, not even root, creates files in /proc.
  home = ResolveAppHome("/proc", dir / "user");
  EXPECT_EQ(home.home, dir / "user" / "filingcheck");
  EXPECT_TRUE(std::filesystem::is_directory(home.home));
  EXPECT_FALSE(home.data.empty());

  // An installed program keeps out of its bin directory even when it may write there.
  const std::filesystem::path bin = dir / "root" / "usr" / "bin";
  std::filesystem::create_directories(dir / "root" / "usr" / "share" / "filingcheck");
  std::filesystem::create_directories(bin);
  home = ResolveAppHome(bin, dir / "user");
  EXPECT_EQ(home.home, dir / "user" / "filingcheck");
  EXPECT_EQ(home.data, dir / "root" / "usr" / "share" / "filingcheck");
  EXPECT_TRUE(std::filesystem::is_empty(bin));
}

// Answers the next real message box with `button` and records what it showed.
struct BoxSeen {
  QString title, text;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
};

void AnswerNextBox(QMessageBox::StandardButton button, BoxSeen& seen) {
  QTimer::singleShot(0, [button, &seen] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) return;
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons()};
    box->button(button)->click();
  });
}

TEST(QtMessageBoxesTest, ShowsTheBoxAndReturnsTheChosenButton) {
  QtMessageBoxes boxes;
  BoxSeen seen;
  AnswerNextBox(QMessageBox::No, seen);
  EXPECT_EQ(boxes.show(QStringLiteral("提示信息"), QStringLiteral("是否继续？"), BoxIcon::None,
                       BoxButtons::YesNo),
            BoxAnswer::No);
  EXPECT_EQ(seen.title, QStringLiteral("提示信息"));
  EXPECT_EQ(seen.text, QStringLiteral("是否继续？"));
  EXPECT_EQ(seen.icon, QMessageBox::NoIcon);
  EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);

  AnswerNextBox(QMessageBox::Ok, seen);
  ShowInputError(boxes, QStringLiteral("证券公司编码必须6位"));
  EXPECT_EQ(seen.title, QStringLiteral("错误提示"));
  EXPECT_EQ(seen.icon, QMessageBox::Information);
  EXPECT_EQ(seen.buttons, QMessageBox::Ok);

  AnswerNextBox(QMessageBox::Cancel, seen);
  EXPECT_EQ(boxes.show("", "x", BoxIcon::Question, BoxButtons::OkCancel), BoxAnswer::Cancel);
  EXPECT_EQ(seen.icon, QMessageBox::Question);
}

}  // namespace
}  // namespace fc::gui
