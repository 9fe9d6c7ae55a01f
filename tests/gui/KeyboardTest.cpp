// The check windows and their dialogs worked from the keyboard alone: typed
// dates, Esc, the Tab order, and the arrow keys in the file lists.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QTest>
#include <utility>

#include "GuiTestSupport.h"
#include "dialogs_Support.h"
#include "gui/dialogs/Browsing.h"
#include "gui/dialogs/ViewDir.h"
#include "gui/dialogs/ViewDir3.h"
#include "gui/windows/AccountWindow.h"
#include "gui/windows/IdentityWindow.h"

namespace fc::gui {
namespace {

// Types `keys` into the focused widget, one real key event each.
void Type(const QString& keys) {
  for (const QChar key : keys) QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
}

// Enter on a good company code moves to the data date with its year selected.
void EnterCodeAndMoveToTheDate(CheckWindow& window) {
  window.companyCodeField()->setFocus(Qt::OtherFocusReason);
  window.companyCodeField()->setText("100001");
  QTest::keyClick(window.companyCodeField(), Qt::Key_Return);
  ASSERT_EQ(QApplication::focusWidget(), window.dataDateField());
}

// The named control that has the focus (a date picker for its inner field).
QString FocusedControl() {
  QWidget* widget = QApplication::focusWidget();
  while (widget && widget->objectName().isEmpty()) widget = widget->parentWidget();
  return widget ? widget->objectName() : QString();
}

// The controls Tab visits from `first`, each once, until it comes round again.
QStringList TabWalk(QWidget* first) {
  first->setFocus(Qt::TabFocusReason);
  QStringList visited{FocusedControl()};
  for (int presses = 0; presses < 100; ++presses) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    test::ProcessEvents();
    const QString now = FocusedControl();
    if (now == visited.first()) break;
    if (now != visited.last()) visited << now;  // a date picker takes Tab once per section
  }
  return visited;
}

class KeyboardTest : public ::testing::Test {
 protected:
  test::TestHome home;
  test::ScriptedBoxes boxes;
};

TEST_F(KeyboardTest, DateBoxesTakeTheTypedDateWithOrWithoutDashes) {
  const std::pair<QString, QString> forms[] = {{QStringLiteral("2008-08-08"), QStringLiteral("2008-08-04")},
                                               {QStringLiteral("20080808"), QStringLiteral("20080804")}};
  for (const auto& [typed, comparison] : forms) {
    AccountWindow account(home.home(), boxes);
    test::ShowActive(&account);
    EnterCodeAndMoveToTheDate(account);
    Type(typed);
    EXPECT_EQ(account.dataDateField()->date(), QDate(2008, 8, 8)) << typed.toStdString();

    IdentityWindow identity(home.home(), boxes);
    test::ShowActive(&identity);
    EnterCodeAndMoveToTheDate(identity);
    Type(typed);
    EXPECT_EQ(identity.dataDateField()->date(), QDate(2008, 8, 8)) << typed.toStdString();
    identity.comparisonBox()->click();
    identity.sendDateField()->setFocus(Qt::TabFocusReason);
    Type(comparison);
    EXPECT_EQ(identity.sendDateField()->date(), QDate(2008, 8, 4)) << typed.toStdString();
  }
  EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join('|').toStdString();
}

TEST_F(KeyboardTest, EscClosesNeitherCheckWindowNorThePreciseSelection) {
  AccountWindow account(home.home(), boxes);
  test::ShowActive(&account);
  account.dataDateField()->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  QTest::keyClick(account.companyCodeField(), Qt::Key_Escape);
  EXPECT_TRUE(account.isVisible());
  EXPECT_FALSE(std::filesystem::exists(home.home().settingsFile()));  // not closed, nothing saved

  IdentityWindow identity(home.home(), boxes);
  test::ShowActive(&identity);
  QTest::keyClick(identity.companyCodeField(), Qt::Key_Escape);
  EXPECT_TRUE(identity.isVisible());

  PreciseTargets targets{account.sourceDirField(), account.companyCodeField(),
                         account.findChild<QRadioButton*>("CHKZIP"), account.dataDateField(), {},
                         account.fullTransferOption(), account.incrementalOption(), account.beginNoField(),
                         account.endNoField()};
  for (int i = 0; i < kAccountKindCount; ++i) targets.kindBoxes[static_cast<std::size_t>(i)] = account.kindBox(i);
  ViewDir3 precise(targets, boxes, &account);
  test::ShowActive(&precise);
  QTest::keyClick(precise.fileList(), Qt::Key_Escape);
  EXPECT_TRUE(precise.isVisible());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(KeyboardTest, TabFollowsTheWindowsFromTopToBottomAndLeftToRight) {
  AccountWindow account(home.home(), boxes);
  test::ShowActive(&account);
  EXPECT_EQ(TabWalk(account.companyCodeField()),
            (QStringList{"ZQGSDM", "ZQGSMC", "DataDate", "ALLData", "BeginNo", "EndNo", "KHXX0", "KHXX1", "KHXX2",
                         "KHXX3", "KHXX4", "Command4", "CHKZIP", "SourceDir", "Command2", "ChkCmd", "Command1",
                         "ExitCMD", "StateStr"}));

  IdentityWindow identity(home.home(), boxes);
  test::ShowActive(&identity);
  identity.comparisonBox()->click();
  EXPECT_EQ(TabWalk(identity.companyCodeField()),
            (QStringList{"ZQGSDM", "ZQGSMC", "KHXX0", "DataDate", "Command4", "KHXX1", "SendDate", "Command5",
                         "CHKZIP", "SourceDir", "Command2", "ChkCmd", "Command1", "ExitCMD", "StateStr", "NoteText",
                         "Command6"}));
  EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join('|').toStdString();
}

TEST_F(KeyboardTest, ArrowKeysInTheFileListsAnalyseTheFileAsAClickDoes) {
  test::TempDir files;
  test::Touch(files, {"100001_SFZHCQK_20080804.ZIP", "100001_SFZHCQK_20080811.ZIP"});
  test::WindowFields fields;
  fields.sourceDir->setText(test::ToQString(files.path()));
  fields.code->setText("100001");
  ViewDir viewer(Viewer::ViewDir2, {fields.sourceDir, fields.code, fields.zip, fields.dataDate, fields.sendDate,
                                    fields.comparison});
  test::ShowActive(&viewer);
  viewer.fileList()->setFocus(Qt::TabFocusReason);
  viewer.fileList()->setCurrentRow(0);
  QTest::keyClick(viewer.fileList(), Qt::Key_Down);
  EXPECT_EQ(fields.sendDate->date(), QDate(2008, 8, 11));
  QTest::keyClick(viewer.fileList(), Qt::Key_Up);
  EXPECT_EQ(fields.sendDate->date(), QDate(2008, 8, 4));

  test::Touch(files, {"100001_KHJBXX_20080808_1.ZIP", "100001_YYBXX_20080809_1.ZIP"});
  fields.dataDate->setDate(QDate(2010, 1, 7));
  ViewDir3 precise({fields.sourceDir, fields.code, fields.zip, fields.dataDate, fields.kinds, fields.allData,
                    fields.incData, fields.beginNo, fields.endNo},
                   boxes);
  test::ShowActive(&precise);
  precise.fileList()->setFocus(Qt::TabFocusReason);
  precise.fileList()->setCurrentRow(0);
  QTest::keyClick(precise.fileList(), Qt::Key_Down);
  EXPECT_EQ(precise.findChild<QLabel*>("Label3")->text(), QStringLiteral("[数据日期]为:2008-08-09"));
}

}  // namespace
}  // namespace fc::gui
