// The shell's platform pieces: where the application home is, and the real
// message boxes behind the interface the windows use.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>

#include "gui/shell/AppHomeResolver.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/shell/Translations.h"
#include "gui/support/GuiTestSupport.h"
#include "gui/windows/DatePicker.h"

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
  QStringList buttonTexts;  // in the order the box lays them out
};

void AnswerNextBox(QMessageBox::StandardButton button, BoxSeen& seen) {
  test::OnNextModalWindow([button, &seen](QWidget* modal) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) return;
    seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(), {}};
    for (QAbstractButton* shown : box->buttons()) seen.buttonTexts << shown->text();
    seen.buttonTexts.sort();
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

TEST(QtMessageBoxesTest, ButtonsAndTheCalendarSpeakChinese) {
  QtMessageBoxes boxes;
  BoxSeen seen;
  const std::pair<BoxButtons, QStringList> cases[] = {
      {BoxButtons::Ok, {QStringLiteral("确定")}},
      {BoxButtons::OkCancel, {QStringLiteral("取消"), QStringLiteral("确定")}},
      {BoxButtons::YesNo, {QStringLiteral("否"), QStringLiteral("是")}},
  };
  for (const auto& [buttons, texts] : cases) {
    AnswerNextBox(buttons == BoxButtons::YesNo ? QMessageBox::Yes : QMessageBox::Ok, seen);
    boxes.show(QStringLiteral("提示信息"), QStringLiteral("x"), BoxIcon::None, buttons);
    QStringList expected = texts;
    expected.sort();
    EXPECT_EQ(seen.buttonTexts, expected);
  }

  DatePicker picker;
  EXPECT_EQ(picker.calendarWidget()->locale().language(), QLocale::Chinese);
  const QString translations = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFile::exists(translations + QStringLiteral("/qtbase_zh_CN.qm"))) GTEST_SKIP() << "no Qt translations";
  ASSERT_TRUE(InstallQtChinese(*qApp));
  EXPECT_NE(QCoreApplication::translate("QLineEdit", "&Copy"), QStringLiteral("&Copy"));
}

}  // namespace
}  // namespace fc::gui
