// The check windows' own behaviour: the file-type switch, the Enter walk,
// the refusals without a company code, the identity window's boxes and help.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "gui/shell/LayoutScaling.h"
#include "gui/shell/Twips.h"
#include "gui/support/GuiTestSupport.h"
#include "gui/windows/AccountCheckWindow.h"
#include "gui/windows/IdentityCheckWindow.h"

namespace fc::gui {
namespace {

template <class W>
W* Child(QWidget& window, const char* name) {
  W* widget = window.findChild<W*>(QLatin1String(name));
  EXPECT_NE(widget, nullptr) << name;
  return widget;
}

class AccountCheckWindowTest : public ::testing::Test {
 protected:
  AccountCheckWindowTest() : window(home.home(), boxes) { test::ShowActive(&window); }

  test::TestHome home;
  test::ScriptedBoxes boxes;
  AccountCheckWindow window;
};

TEST_F(AccountCheckWindowTest, StartsWithEveryTableIncrementalAndToday) {
  EXPECT_EQ(window.windowTitle(), QStringLiteral("证券公司客户交易结算资金账户数据文件检查"));
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(window.kindBox(i)->isChecked());
  EXPECT_EQ(window.kindBox(1)->text(), QStringLiteral("资金与证券账户对应关系表"));
  EXPECT_TRUE(window.incrementalOption()->isChecked());
  EXPECT_EQ(window.dataDateField()->date(), QDate::currentDate());
  EXPECT_EQ(window.dataDateField()->displayFormat(), "yyyy-MM-dd");
  EXPECT_EQ(window.focusWidget(), window.companyCodeField());
}

TEST_F(AccountCheckWindowTest, FileTypeSwitchRelabelsTheWindow) {
  QLineEdit* target = window.targetDirField();
  window.sourceDirField()->setText("  /data/in ");
  Child<QRadioButton>(window, "CHKDBF")->setChecked(true);
  EXPECT_EQ(Child<QLabel>(window, "Label5")->text(), QStringLiteral("DBF文件目录"));
  EXPECT_EQ(Child<QPushButton>(window, "ChkCmd")->text(), QStringLiteral("检查DBF文件"));
  EXPECT_EQ(Child<QPushButton>(window, "Command2")->text(), QStringLiteral("设置DBF文件目录"));
  EXPECT_TRUE(Child<QPushButton>(window, "Command3")->isEnabled());
  EXPECT_TRUE(Child<QGroupBox>(window, "Frame5")->isEnabled());
  EXPECT_TRUE(Child<QLabel>(window, "Label6")->isEnabled());
  EXPECT_EQ(target->text(), "");  // never the source folder (SettingsRoundTripTest)
  EXPECT_EQ(target->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Base));

  Child<QRadioButton>(window, "CHKZIP")->setChecked(true);
  EXPECT_EQ(Child<QLabel>(window, "Label5")->text(), QStringLiteral("ZIP文件目录"));
  EXPECT_EQ(Child<QPushButton>(window, "ChkCmd")->text(), QStringLiteral("检查ZIP文件"));
  EXPECT_EQ(Child<QPushButton>(window, "Command2")->text(), QStringLiteral("设置ZIP文件目录"));
  EXPECT_EQ(Child<QLabel>(window, "Label6")->text(), QStringLiteral("ZIP生成目录"));
  EXPECT_FALSE(Child<QPushButton>(window, "Command3")->isEnabled());
  EXPECT_FALSE(Child<QGroupBox>(window, "Frame5")->isEnabled());
  EXPECT_EQ(target->text(), "");
  EXPECT_EQ(target->palette().color(QPalette::Base), QApplication::palette().color(QPalette::Button));
}

TEST_F(AccountCheckWindowTest, EnterWalksFromTheDateToTheEndNumber) {
  window.dataDateField()->setFocus();
  QTest::keyClick(window.dataDateField(), Qt::Key_Return);
  EXPECT_EQ(window.focusWidget(), window.beginNoField());

  window.beginNoField()->setText("a1");
  QTest::keyClick(window.beginNoField(), Qt::Key_Return);
  EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("开始序号不正确")});
  EXPECT_EQ(window.focusWidget(), window.beginNoField());
  window.beginNoField()->setText("12");
  QTest::keyClick(window.beginNoField(), Qt::Key_Return);
  EXPECT_EQ(window.focusWidget(), window.endNoField());

  window.endNoField()->setText("5");
  QTest::keyClick(window.endNoField(), Qt::Key_Return);
  EXPECT_EQ(boxes.shown.size(), 1u);
  window.endNoField()->setText("xy");
  QTest::keyClick(window.endNoField(), Qt::Key_Return);
  EXPECT_EQ(boxes.texts().last(), QStringLiteral("结束序号不正确"));
  EXPECT_EQ(boxes.shown.back().title, QStringLiteral("错误提示"));
}

TEST_F(AccountCheckWindowTest, SequenceNumbersTakeThreeCharacters) {
  window.beginNoField()->clear();
  window.beginNoField()->setFocus();
  QTest::keyClicks(window.beginNoField(), "1234");
  EXPECT_EQ(window.beginNoField()->text(), "123");
}

TEST_F(AccountCheckWindowTest, UnfinishedDateIsRefusedOnEnterAndOnLeaving) {
  QDateEdit* date = window.dataDateField();
  date->setFocus();
  const QDate before = date->date();
  QTest::keyClicks(date, "2008-08-1");
  for (int i = 0; i < 2; ++i) QTest::keyClick(date, Qt::Key_Backspace);  // the day erased: no date yet
  ASSERT_EQ(date->text(), "2008-08") << date->text().toStdString();
  QTest::keyClick(date, Qt::Key_Return);
  EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("数据日期输入错误，要求格式为YYYY-MM-DD")});
  EXPECT_EQ(window.focusWidget(), date) << window.focusWidget()->objectName().toStdString();
  window.beginNoField()->setFocus(Qt::TabFocusReason);
  test::ProcessEvents();
  EXPECT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(window.focusWidget(), date);
  EXPECT_EQ(date->date(), before);
}

TEST_F(AccountCheckWindowTest, PreciseSelectionNeedsACompanyCode) {
  Child<QPushButton>(window, "Command4")->click();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("提示信息"));
  EXPECT_EQ(boxes.shown[0].text, QStringLiteral("请先输入证券公司编码"));
  window.companyCodeField()->setText("   ");  // blanks are not empty: the dialog opens
  test::CloseNextModalWindow();
  Child<QPushButton>(window, "Command4")->click();
  EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(AccountCheckWindowTest, ResultsButtonClearsTheStatusLineAndTheProgress) {
  Child<QLineEdit>(window, "StateStr")->setText("old status");
  auto* progress = Child<QProgressBar>(window, "RunProgress");
  progress->setRange(0, 10);
  progress->setValue(10);
  progress->setTextVisible(true);
  test::CloseNextModalWindow();
  Child<QPushButton>(window, "Command1")->click();
  EXPECT_EQ(Child<QLineEdit>(window, "StateStr")->text(), "");
  EXPECT_EQ(progress->value(), progress->minimum() - 1);  // reset: nothing shown
  EXPECT_FALSE(progress->isTextVisible());
  EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("未查找到历史记录！")});
}

// After the results window and the choosers, opened by real clicks, the
// window lays itself out from its own size again, with the focus on the code.
TEST_F(AccountCheckWindowTest, DialogsGiveTheLayoutAndTheFocusBack) {
  QWidget other;
  other.resize(100, 50);
  for (const char* button : {"Command1", "Command2", "Command3"}) {
    Child<QRadioButton>(window, "CHKDBF")->setChecked(true);
    RememberLayout(&other);
    window.sourceDirField()->setFocus();
    test::CloseNextModalWindow();
    QTest::mouseClick(Child<QPushButton>(window, button), Qt::LeftButton);
    EXPECT_EQ(ReferenceSize(), QSizeF(Twips(window.width()), Twips(window.height()))) << button;
    EXPECT_EQ(window.focusWidget(), window.companyCodeField()) << button;
  }
}

class IdentityCheckWindowTest : public ::testing::Test {
 protected:
  IdentityCheckWindowTest() : window(home.home(), boxes) { test::ShowActive(&window); }

  test::TestHome home;
  test::ScriptedBoxes boxes;
  IdentityCheckWindow window;
};

TEST_F(IdentityCheckWindowTest, StartsWithTheSubmissionOnlyAndHelpOff) {
  EXPECT_EQ(window.windowTitle(), QStringLiteral("证券公司投资者身份信息复查数据检查"));
  EXPECT_TRUE(window.submissionBox()->isChecked());
  EXPECT_EQ(window.submissionBox()->text(), QStringLiteral(" 投资者身份信息复查处理结果表"));
  EXPECT_FALSE(window.comparisonBox()->isChecked());
  EXPECT_FALSE(window.sendDateField()->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(window, "Command5")->isEnabled());
  EXPECT_EQ(window.dataDateField()->date(), QDate(2010, 1, 7));
  EXPECT_EQ(window.sendDateField()->date(), QDate::currentDate());
  EXPECT_FALSE(window.helpOn());
  EXPECT_EQ(window.noteText(), QStringLiteral("鼠标停留区域的事项，在此处会有详细说明。\n"));
}

TEST_F(IdentityCheckWindowTest, SubmissionBoxCannotBeClearedComparisonBoxSwitches) {
  window.submissionBox()->click();
  EXPECT_TRUE(window.submissionBox()->isChecked());
  window.comparisonBox()->click();
  EXPECT_TRUE(window.sendDateField()->isEnabled());
  EXPECT_TRUE(Child<QPushButton>(window, "Command5")->isEnabled());
  window.comparisonBox()->click();
  EXPECT_FALSE(window.sendDateField()->isEnabled());
  EXPECT_FALSE(Child<QPushButton>(window, "Command5")->isEnabled());
}

TEST_F(IdentityCheckWindowTest, HelpButtonSwitchesAndAnnouncesTheHelp) {
  auto* help = Child<QPushButton>(window, "Command6");
  QTest::mouseClick(help, Qt::LeftButton);
  EXPECT_TRUE(window.helpOn());
  EXPECT_EQ(help->text(), QStringLiteral("关"));
  EXPECT_EQ(window.noteText(), QStringLiteral("开启信息提示功能。"));
  QTest::mouseClick(help, Qt::LeftButton);
  EXPECT_FALSE(window.helpOn());
  EXPECT_EQ(help->text(), QStringLiteral("开"));
  EXPECT_EQ(window.noteText(), QStringLiteral("关闭信息提示功能。"));
  // Off, the panel reads as off, not as an empty white box.
  const QPalette off = Child<QPlainTextEdit>(window, "NoteText")->palette();
  EXPECT_EQ(off.color(QPalette::Base), QApplication::palette().color(QPalette::Window));
}

TEST_F(IdentityCheckWindowTest, PointerOverAControlExplainsIt) {
  test::MovePointerOver(Child<QWidget>(window, "ChkCmd"));
  EXPECT_EQ(window.noteText(), QStringLiteral("确认设置无误后，点击此处开始文件检查。"));
  test::MovePointerOver(Child<QWidget>(window, "Command3"));
  EXPECT_EQ(window.noteText(), QStringLiteral("点击[ 设置ZIP生成目录 ]按钮,设置[ ZIP生成目录 ]"));
  Child<QRadioButton>(window, "CHKDBF")->setChecked(true);
  test::MovePointerOver(Child<QWidget>(window, "Command2"));
  EXPECT_EQ(window.noteText(), QStringLiteral("点击[ 设置DBF文件目录 ]按钮,设置[ DBF文件目录 ]"));
  // Inside a date picker the picker explains itself, not its frame.
  QWidget* date = window.dataDateField();
  test::MovePointerOver(date->findChild<QLineEdit*>());
  EXPECT_TRUE(window.noteText().startsWith(QStringLiteral("报送数据的发送日期")));
  // A control without help leaves the text; the background clears it.
  test::MovePointerOver(Child<QWidget>(window, "SourceDir"));
  EXPECT_TRUE(window.noteText().startsWith(QStringLiteral("报送数据的发送日期")));
  test::MovePointer(&window, {2, 2});
  EXPECT_EQ(window.noteText(), "");
}

TEST_F(IdentityCheckWindowTest, ViewersNeedACompanyCode) {
  Child<QPushButton>(window, "Command4")->click();
  EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("请先输入证券公司编码")});
}

TEST_F(IdentityCheckWindowTest, BothDatePickersRefuseAnUnfinishedDate) {
  window.comparisonBox()->click();
  const QString message = QStringLiteral("数据日期输入错误，要求格式为YYYY-MM-DD");
  for (QDateEdit* date : {window.dataDateField(), window.sendDateField()}) {
    boxes.shown.clear();
    date->setFocus();
    QTest::keyClick(date, Qt::Key_End);
    QTest::keyClick(date, Qt::Key_Backspace);
    QTest::keyClick(date, Qt::Key_Backspace);
    QTest::keyClick(date, Qt::Key_Return);
    EXPECT_EQ(boxes.texts(), QStringList{message}) << date->objectName().toStdString();
    window.companyCodeField()->setFocus(Qt::TabFocusReason);
    test::ProcessEvents();
    EXPECT_EQ(boxes.texts(), (QStringList{message, message})) << date->objectName().toStdString();
    EXPECT_EQ(window.focusWidget(), date);
    date->setDate(QDate(2008, 8, 8));
  }
}

TEST_F(IdentityCheckWindowTest, EveryExplainedControlHasItsOwnHelp) {
  const std::pair<const char*, QString> helps[] = {
      {"ChkCmd", QStringLiteral("确认设置无误后")},        {"Command1", QStringLiteral("检查完成后点击此处")},
      {"Label8", QStringLiteral("比对数据的发送日期")},    {"Label2", QStringLiteral("报送数据的发送日期")},
      {"Command4", QStringLiteral("点击[ 查看 ]按钮")},    {"Command5", QStringLiteral("点击[ 查看 ]按钮")},
      {"Frame4", QStringLiteral("[ 报送文件 ]和[ 比对文件 ]")}, {"Frame8", QStringLiteral("[ 比对文件 ]为每周")},
      {"ZQGSDM", QStringLiteral("在[ 证券公司代码 ]栏中")}, {"Frame2", QStringLiteral("[ 报送文件 ]格式为")},
      {"Command2", QStringLiteral("点击[ 设置ZIP文件目录 ]按钮,设置[ ZIP文件目录 ]")},
  };
  window.comparisonBox()->click();
  for (const auto& [name, start] : helps) {
    test::MovePointer(&window, {2, 2});
    QWidget* control = Child<QWidget>(window, name);
    test::MovePointer(control, {2, 2});
    EXPECT_TRUE(window.noteText().startsWith(start)) << name << ": " << window.noteText().toStdString();
  }
  test::MovePointerOver(window.sendDateField()->findChild<QLineEdit*>());
  EXPECT_TRUE(window.noteText().startsWith(QStringLiteral("比对数据的发送日期")));
  EXPECT_FALSE(window.noteText().endsWith(QStringLiteral("(未勾选无效)")));
}

TEST_F(IdentityCheckWindowTest, EnterOnAGoodDateShowsNothing) {
  window.sendDateField()->setEnabled(true);
  QTest::keyClick(window.sendDateField(), Qt::Key_Return);
  QTest::keyClick(window.dataDateField(), Qt::Key_Return);
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace fc::gui
