// The check windows and their dialogs worked from the keyboard alone: typed
// dates, Esc, the Tab order, and the arrow keys in the file lists.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <utility>
#include <vector>

#include "gui/dialogs/Browsing.h"
#include "gui/dialogs/DirectoryChooserDialog.h"
#include "gui/dialogs/FileViewerDialog.h"
#include "gui/dialogs/PreciseSelectionDialog.h"
#include "gui/support/DialogTestSupport.h"
#include "gui/support/GuiTestSupport.h"
#include "gui/windows/AccountCheckWindow.h"
#include "gui/windows/IdentityCheckWindow.h"

namespace fc::gui {
namespace {

// Types `keys` into the focused widget, one real key event each.
void Type(const QString& keys) {
  for (const QChar key : keys) QTest::keyClick(QApplication::focusWidget(), key.toLatin1());
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

// The three date boxes of the two windows, each made ready to be reached.
struct DateBoxes {
  DateBoxes(const settings::AppHome& home, test::ScriptedBoxes& boxes) : account(home, boxes), identity(home, boxes) {
    test::ShowActive(&identity);
    identity.comparisonBox()->click();
    test::ShowActive(&account);
  }
  std::vector<std::pair<CheckWindow*, QDateEdit*>> all() {
    return {{&account, account.dataDateField()},
            {&identity, identity.dataDateField()},
            {&identity, identity.sendDateField()}};
  }
  AccountCheckWindow account;
  IdentityCheckWindow identity;
};

// The ways an operator reaches a date box before typing a new date.
enum class Reach { Tab, Enter, ClickYear, ClickMonth, ClickDay, ClickThenSelectAll };

void ReachDateBox(CheckWindow& window, QDateEdit* date, Reach how) {
  test::ShowActive(&window);
  auto* edit = date->findChild<QLineEdit*>();
  const int y = edit->height() / 2;
  switch (how) {
    case Reach::Tab: date->setFocus(Qt::TabFocusReason); break;
    case Reach::Enter:
      if (date != window.dataDateField()) {  // only the data date follows the code
        date->setFocus(Qt::TabFocusReason);
        break;
      }
      window.companyCodeField()->setFocus(Qt::OtherFocusReason);
      window.companyCodeField()->setText("100001");
      QTest::keyClick(window.companyCodeField(), Qt::Key_Return);
      break;
    case Reach::ClickYear: QTest::mouseClick(edit, Qt::LeftButton, {}, {edit->width() / 8, y}); break;
    case Reach::ClickMonth: QTest::mouseClick(edit, Qt::LeftButton, {}, {edit->width() / 2 - 4, y}); break;
    case Reach::ClickDay: QTest::mouseClick(edit, Qt::LeftButton, {}, {edit->width() - 30, y}); break;
    case Reach::ClickThenSelectAll:
      QTest::mouseClick(edit, Qt::LeftButton, {}, {edit->width() / 2, y});
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
      break;
  }
}

TEST_F(KeyboardTest, DateBoxesTakeAWholeTypedDateHoweverTheyWereReached) {
  DateBoxes windows(home.home(), boxes);
  const Reach ways[] = {Reach::Tab, Reach::Enter, Reach::ClickYear, Reach::ClickMonth, Reach::ClickDay,
                        Reach::ClickThenSelectAll};
  const std::pair<QString, QDate> typings[] = {{"20090909", {2009, 9, 9}},   {"2008-08-09", {2008, 8, 9}},
                                               {"2008-08-08", {2008, 8, 8}}, {"20071231", {2007, 12, 31}},
                                               {"2006-1-02", {2006, 1, 2}},  {"2005/03/04", {2005, 3, 4}},
                                               {"2004.05.06", {2004, 5, 6}}};
  for (auto [window, date] : windows.all())
    for (Reach how : ways)
      for (const auto& [typed, expected] : typings) {
        date->setDate(QDate(2010, 1, 7));
        ReachDateBox(*window, date, how);
        ASSERT_TRUE(date->hasFocus()) << date->objectName().toStdString();
        Type(typed);
        EXPECT_EQ(date->date(), expected) << date->objectName().toStdString() << " " << static_cast<int>(how)
                                          << " " << typed.toStdString();
      }
  EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join('|').toStdString();
}

TEST_F(KeyboardTest, APartTypedDateIsFinishedOrRefusedOnLeavingNeverHalfApplied) {
  DateBoxes windows(home.home(), boxes);
  struct Case {
    const char* typed;
    Qt::Key leaveBy;  // Tab or Enter
    QDate expected;
    bool refused;
  };
  const Case cases[] = {
      {"2009-9-9", Qt::Key_Tab, {2009, 9, 9}, false},  {"2009-9-9", Qt::Key_Return, {2009, 9, 9}, false},
      {"2009", Qt::Key_Tab, {2010, 1, 7}, true},       {"2009-09", Qt::Key_Return, {2010, 1, 7}, true},
      {"200909", Qt::Key_Tab, {2010, 1, 7}, true},     {"20091340", Qt::Key_Tab, {2010, 1, 7}, true},
  };
  for (auto [window, date] : windows.all())
    for (const Case& c : cases) {
      boxes.shown.clear();
      date->setDate(QDate(2010, 1, 7));
      ReachDateBox(*window, date, Reach::ClickMonth);
      Type(c.typed);
      EXPECT_EQ(date->date(), QDate(2010, 1, 7)) << c.typed;  // nothing applied while typing
      QTest::keyClick(QApplication::focusWidget(), c.leaveBy);
      test::ProcessEvents();
      const std::string what = date->objectName().toStdString() + " " + c.typed;
      EXPECT_EQ(date->date(), c.expected) << what;
      EXPECT_EQ(boxes.texts(), c.refused ? QStringList{QStringLiteral("数据日期输入错误，要求格式为YYYY-MM-DD")}
                                         : QStringList{})
          << what;
      if (c.refused) {
        EXPECT_TRUE(date->hasFocus()) << what;
      }
    }
  // A click while typing starts over: what was typed is dropped, the date kept.
  QDateEdit* date = windows.account.dataDateField();
  date->setDate(QDate(2010, 1, 7));
  ReachDateBox(windows.account, date, Reach::ClickYear);
  Type("2009-0");
  ReachDateBox(windows.account, date, Reach::ClickDay);
  EXPECT_EQ(date->text(), "2010-01-07");
  Type("20090909");
  EXPECT_EQ(date->date(), QDate(2009, 9, 9));
}

// Enter on each focused button presses it (and it alone); Enter in each text
// box presses none.
void ExpectEnterPressesOnlyTheFocusedButton(QWidget& window) {
  test::ShowActive(&window);
  std::vector<std::pair<QPushButton*, std::unique_ptr<QSignalSpy>>> buttons;
  for (QPushButton* button : window.findChildren<QPushButton*>()) {
    if (!button->isEnabled() || !button->isVisible()) continue;
    QObject::disconnect(button, &QPushButton::clicked, nullptr, nullptr);  // what they open is not the point
    buttons.emplace_back(button, std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
  }
  ASSERT_FALSE(buttons.empty()) << window.objectName().toStdString();
  auto pressed = [&] {
    int n = 0;
    for (const auto& [button, spy] : buttons) n += static_cast<int>(spy->count());
    return n;
  };
  for (QLineEdit* field : window.findChildren<QLineEdit*>()) {
    if (!field->isEnabled() || !field->isVisible()) continue;
    field->setFocus(Qt::TabFocusReason);
    QTest::keyClick(field, Qt::Key_Return);
    test::ProcessEvents();
    EXPECT_EQ(pressed(), 0) << window.objectName().toStdString() << " " << field->objectName().toStdString();
  }
  for (const auto& [button, spy] : buttons) {
    const int before = pressed();
    test::ShowActive(&window);
    button->setFocus(Qt::TabFocusReason);
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(spy->count(), 1) << window.objectName().toStdString() << " " << button->objectName().toStdString();
    EXPECT_EQ(pressed(), before + 1) << button->objectName().toStdString();
  }
}

TEST_F(KeyboardTest, EnterPressesTheFocusedButtonAndNoButtonFromATextBox) {
  AccountCheckWindow account(home.home(), boxes);
  account.findChild<QRadioButton*>("CHKDBF")->setChecked(true);  // the output chooser takes part
  ExpectEnterPressesOnlyTheFocusedButton(account);
  IdentityCheckWindow identity(home.home(), boxes);
  identity.comparisonBox()->click();
  ExpectEnterPressesOnlyTheFocusedButton(identity);

  test::WindowFields fields;
  DirectoryChooserDialog chooser(Chooser::AccountSource, {fields.sourceDir, fields.code, fields.name, fields.zip},
                                 home.home(), nullptr, boxes);
  ExpectEnterPressesOnlyTheFocusedButton(chooser);
  FileViewerDialog viewer(Viewer::Submission, {fields.sourceDir, fields.code, fields.zip, fields.dataDate,
                                               fields.sendDate, fields.comparison});
  ExpectEnterPressesOnlyTheFocusedButton(viewer);
  PreciseSelectionDialog precise({fields.sourceDir, fields.code, fields.zip, fields.dataDate, fields.kinds,
                                  fields.allData, fields.incData, fields.beginNo, fields.endNo},
                                 boxes);
  ExpectEnterPressesOnlyTheFocusedButton(precise);
}

TEST_F(KeyboardTest, EscClosesNeitherCheckWindowNorThePreciseSelection) {
  AccountCheckWindow account(home.home(), boxes);
  test::ShowActive(&account);
  account.dataDateField()->setFocus(Qt::TabFocusReason);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  QTest::keyClick(account.companyCodeField(), Qt::Key_Escape);
  EXPECT_TRUE(account.isVisible());
  EXPECT_FALSE(std::filesystem::exists(home.home().settingsFile()));  // not closed, nothing saved

  IdentityCheckWindow identity(home.home(), boxes);
  test::ShowActive(&identity);
  QTest::keyClick(identity.companyCodeField(), Qt::Key_Escape);
  EXPECT_TRUE(identity.isVisible());

  PreciseTargets targets{account.sourceDirField(), account.companyCodeField(),
                         account.findChild<QRadioButton*>("CHKZIP"), account.dataDateField(), {},
                         account.fullTransferOption(), account.incrementalOption(), account.beginNoField(),
                         account.endNoField()};
  for (int i = 0; i < kAccountKindCount; ++i) targets.kindBoxes[static_cast<std::size_t>(i)] = account.kindBox(i);
  PreciseSelectionDialog precise(targets, boxes, &account);
  test::ShowActive(&precise);
  QTest::keyClick(precise.fileList(), Qt::Key_Escape);
  EXPECT_TRUE(precise.isVisible());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(KeyboardTest, TabFollowsTheWindowsFromTopToBottomAndLeftToRight) {
  AccountCheckWindow account(home.home(), boxes);
  test::ShowActive(&account);
  EXPECT_EQ(TabWalk(account.companyCodeField()),
            (QStringList{"ZQGSDM", "ZQGSMC", "DataDate", "ALLData", "BeginNo", "EndNo", "KHXX0", "KHXX1", "KHXX2",
                         "KHXX3", "KHXX4", "Command4", "CHKZIP", "RuleSet", "SourceDir", "Command2", "ChkCmd", "Command1",
                         "ExitCMD", "StateStr"}));

  IdentityCheckWindow identity(home.home(), boxes);
  test::ShowActive(&identity);
  identity.comparisonBox()->click();
  EXPECT_EQ(TabWalk(identity.companyCodeField()),
            (QStringList{"ZQGSDM", "ZQGSMC", "KHXX0", "DataDate", "Command4", "KHXX1", "SendDate", "Command5",
                         "CHKZIP", "RuleSet", "SourceDir", "Command2", "ChkCmd", "Command1", "ExitCMD", "StateStr",
                         "NoteText",
                         "Command6"}));
  EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join('|').toStdString();
}

TEST_F(KeyboardTest, ArrowKeysInTheFileListsAnalyseTheFileAsAClickDoes) {
  test::TempDir files;
  test::Touch(files, {"100001_SFZFCJG_20080808.ZIP"});
  test::WindowFields fields;
  fields.sourceDir->setText(test::ToQString(files.path()));
  fields.code->setText("100001");
  {
    FileViewerDialog single(Viewer::Submission, {fields.sourceDir, fields.code, fields.zip, fields.dataDate,
                                                 fields.sendDate, fields.comparison});
    test::ShowActive(&single);
    for (int key : {Qt::Key_Down, Qt::Key_Up}) {  // the only file: no arrow moves, each analyses it
      fields.dataDate->setDate(QDate(2010, 1, 7));
      single.fileList()->setFocus(Qt::TabFocusReason);
      QTest::keyClick(single.fileList(), key);
      EXPECT_EQ(fields.dataDate->date(), QDate(2008, 8, 8)) << key;
    }
  }
  test::Touch(files, {"100001_SFZHCQK_20080804.ZIP", "100001_SFZHCQK_20080811.ZIP"});
  FileViewerDialog viewer(Viewer::Comparison, {fields.sourceDir, fields.code, fields.zip, fields.dataDate,
                                               fields.sendDate, fields.comparison});
  test::ShowActive(&viewer);
  viewer.fileList()->setFocus(Qt::TabFocusReason);
  viewer.fileList()->setCurrentRow(0);
  QTest::keyClick(viewer.fileList(), Qt::Key_Down);
  EXPECT_EQ(fields.sendDate->date(), QDate(2008, 8, 11));
  QTest::keyClick(viewer.fileList(), Qt::Key_Up);
  EXPECT_EQ(fields.sendDate->date(), QDate(2008, 8, 4));

  test::Touch(files, {"100001_KHJBXX_20080808_1.ZIP", "100001_YYBXX_20080809_1.ZIP"});
  fields.dataDate->setDate(QDate(2010, 1, 7));
  PreciseSelectionDialog precise({fields.sourceDir, fields.code, fields.zip, fields.dataDate, fields.kinds,
                                  fields.allData, fields.incData, fields.beginNo, fields.endNo},
                                 boxes);
  test::ShowActive(&precise);
  precise.fileList()->setFocus(Qt::TabFocusReason);
  precise.fileList()->setCurrentRow(0);
  QTest::keyClick(precise.fileList(), Qt::Key_Down);
  EXPECT_EQ(precise.findChild<QLabel*>("Label3")->text(), QStringLiteral("[数据日期]为:2008-08-09"));
}

}  // namespace
}  // namespace fc::gui
