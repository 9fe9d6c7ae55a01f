// The real message boxes: a long text scrolls inside a box that fits the
// screen, and a box that appears unasked ignores the keys typed before it
// appeared and held-down keys.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>

#include "gui/shell/MessageBoxes.h"
#include "gui/support/GuiTestSupport.h"

namespace fc::gui {
namespace {

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
