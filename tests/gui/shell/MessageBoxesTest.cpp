// The real message boxes behind the interface the windows use: their titles,
// icons and Chinese buttons, a long text that scrolls inside a box that fits
// the screen, and a box that appears unasked ignoring the keys typed before it
// appeared and held-down keys.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCalendarWidget>
#include <QFile>
#include <QKeyEvent>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/shell/MessageBoxes.h"
#include "gui/shell/Translations.h"
#include "gui/support/GuiTestSupport.h"
#include "gui/windows/DatePicker.h"

namespace fc::gui {
namespace {

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
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
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

// Runs `act` on the modal box as soon as it shows.
void OnNextBox(std::function<void(QWidget*)> act) {
  test::OnNextModalWindow([act](QWidget* box) {
    ASSERT_NE(box, nullptr);
    act(box);
  });
}

// Where the box's keys go: its focused button, else the box.
QWidget* KeyTarget(QWidget* box) { return box->focusWidget() ? box->focusWidget() : box; }

void PressHeldKey(QWidget* widget, int key) {
  QKeyEvent repeat(QEvent::KeyPress, key, Qt::NoModifier, QString(), true);
  QApplication::sendEvent(widget, &repeat);
}

TEST(MessageBoxesTest, UnbiddenBoxIgnoresKeysTypedBeforeItAppearedAndHeldKeys) {
  QtMessageBoxes boxes;
  bool openAfterEarlyKeys = false;
  OnNextBox([&](QWidget* box) {
    QTest::keyClick(KeyTarget(box), Qt::Key_Return);  // meant for what was there before
    QTimer::singleShot(QtMessageBoxes::kKeyGuardMs + 200, [&, box] {
      PressHeldKey(KeyTarget(box), Qt::Key_Return);
      openAfterEarlyKeys = box->isVisible();
      QTest::keyClick(KeyTarget(box), Qt::Key_Escape);  // typed now: answers 否
    });
  });
  EXPECT_EQ(boxes.showUnbidden("提示信息", "文件结构和数据检查完成,是否生成zip压缩文件?", BoxIcon::None, BoxButtons::YesNo),
            BoxAnswer::No);
  EXPECT_TRUE(openAfterEarlyKeys);

  OnNextBox([](QWidget* box) { QTest::keyClick(KeyTarget(box), Qt::Key_Return); });
  EXPECT_EQ(boxes.show("提示信息", "是否停止检查?", BoxIcon::Question, BoxButtons::YesNo), BoxAnswer::Yes);  // asked for: at once
  OnNextBox([](QWidget* box) { QTest::keyClick(KeyTarget(box), Qt::Key_Return); });
  EXPECT_EQ(boxes.show("提示信息", "是否生成zip压缩文件?", BoxIcon::None, BoxButtons::YesNoSafeNo), BoxAnswer::No);
}

TEST(MessageBoxesTest, LongTextScrollsInABoxThatFitsTheScreen) {
  QStringList lines{QStringLiteral("下列文件未能生成zip压缩文件:")};
  for (int i = 0; i < 100; ++i) lines << QStringLiteral("/data/in/100001_KHJBXX_20080808_%1.DBF (只读文件系统)").arg(i);
  QtMessageBoxes boxes;
  OnNextBox([](QWidget* box) {
    EXPECT_LE(box->height(), box->screen()->availableGeometry().height());
    auto* rest = box->findChild<QPlainTextEdit*>();
    ASSERT_NE(rest, nullptr);
    EXPECT_TRUE(rest->toPlainText().endsWith(QStringLiteral("_99.DBF (只读文件系统)")));
    QPushButton* ok = nullptr;
    for (QPushButton* button : box->findChildren<QPushButton*>())
      if (button->text() == QStringLiteral("确定")) ok = button;
    ASSERT_NE(ok, nullptr);
    ok->click();
  });
  EXPECT_EQ(boxes.showUnbidden("提示信息", lines.join('\n'), BoxIcon::Information, BoxButtons::Ok), BoxAnswer::Ok);
}

}  // namespace
}  // namespace fc::gui
