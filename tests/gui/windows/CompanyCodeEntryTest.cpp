// The company code field's checks and lookups, and the order in which a run's
// inputs are validated when ChkCmd is pressed.
#include <gtest/gtest.h>

#include <QDateEdit>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "gui/support/GuiTestSupport.h"
#include "gui/windows/AccountCheckWindow.h"
#include "gui/windows/CompanyCodeEntry.h"
#include "gui/windows/IdentityCheckWindow.h"

namespace fc::gui {
namespace {

const QString kNotDigits = QStringLiteral("证券公司编码不正确，有非数字字符");
const QString kNotSix = QStringLiteral("证券公司编码必须6位");

class CompanyCodeTest : public ::testing::Test {
 protected:
  CompanyCodeTest() : window(home.home(), boxes) {
    test::ShowActive(&window);
    code = window.companyCodeField();
    name = window.companyNameField();
  }

  void enter(const QString& text) {
    code->setText(text);
    QTest::keyClick(code, Qt::Key_Return);
  }

  test::TestHome home;
  test::ScriptedBoxes boxes;
  AccountCheckWindow window;
  QLineEdit* code;
  QLineEdit* name;
};

TEST_F(CompanyCodeTest, EnterChecksDigitsBeforeLength) {
  name->setText("kept");
  enter("10000");
  enter("10a001");
  enter("1000a");
  enter(QStringLiteral("１２３４５６"));  // full-width digits are no digits
  EXPECT_EQ(boxes.texts(), (QStringList{kNotSix, kNotDigits, kNotDigits, kNotDigits}));
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("错误提示"));
  EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Warning);
  EXPECT_EQ(name->text(), "");  // no longer the name of the code in the box
  EXPECT_EQ(window.focusWidget(), code);
}

TEST_F(CompanyCodeTest, EnterOnAGoodCodeLooksUpAndMovesToTheDate) {
  enter("100001");
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(name->text(), QStringLiteral("东岳证券股份有限公司"));
  EXPECT_EQ(window.focusWidget(), window.dataDateField());
  enter("999999");
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(name->text(), "");
}

TEST_F(CompanyCodeTest, FieldAcceptsAtMostSixCharacters) {
  code->clear();
  code->setFocus();
  QTest::keyClicks(code, "1234567");
  EXPECT_EQ(code->text(), "123456");
}

TEST_F(CompanyCodeTest, LeavingWithABadCodeBringsTheFocusBack) {
  code->setFocus();
  code->setText("12345");
  window.beginNoField()->setFocus(Qt::TabFocusReason);
  test::ProcessEvents();
  EXPECT_EQ(boxes.texts(), QStringList{kNotSix});
  EXPECT_EQ(window.focusWidget(), code);
}

TEST_F(CompanyCodeTest, LeavingEmptyOrBlankIsAllowedAndAGoodCodeIsLookedUp) {
  for (const char* text : {"", "   "}) {
    code->setFocus();
    code->setText(text);
    window.beginNoField()->setFocus(Qt::TabFocusReason);
    test::ProcessEvents();
  }
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(window.focusWidget(), window.beginNoField());
  code->setFocus();
  code->setText("100002");
  window.beginNoField()->setFocus(Qt::TabFocusReason);
  test::ProcessEvents();
  EXPECT_EQ(name->text(), QStringLiteral("西麓证券有限责任公司"));
  EXPECT_EQ(window.focusWidget(), window.beginNoField());
}

TEST_F(CompanyCodeTest, PointerOverTheBackgroundRefreshesANewSixCharacterCode) {
  code->setText("100001");
  test::MovePointer(&window, {2, 2});
  EXPECT_EQ(name->text(), QStringLiteral("东岳证券股份有限公司"));
  EXPECT_EQ(window.companyCodeEntry()->lastCodeLookedUp(), "100001");
  name->setText("stale");
  test::MovePointer(&window, {3, 3});  // same code as last time: nothing
  EXPECT_EQ(name->text(), "stale");
  code->setText("10000");  // five characters: nothing
  test::MovePointer(&window, {2, 2});
  EXPECT_EQ(name->text(), "stale");
  code->setText("abcdef");  // six characters, no digit check: looked up, not found
  test::MovePointer(&window, {2, 2});
  EXPECT_EQ(name->text(), "");
  code->setText("100002");  // over a control: nothing
  test::MovePointerOver(window.findChild<QWidget*>("ChkCmd"));
  EXPECT_EQ(name->text(), "");
  EXPECT_TRUE(boxes.shown.empty());
}

// ValidateRunInputs through the check button: each case sets up inputs that
// fail at one step, and everything before that step passes.
class RunValidationTest : public CompanyCodeTest {
 protected:
  RunValidationTest() {
    code->setText("100001");
    window.beginNoField()->setText("1");
    window.endNoField()->setText("2");
    window.sourceDirField()->setText("/nowhere");
    check = window.findChild<QPushButton*>("ChkCmd");
  }

  void pressCheck() {
    check->click();
    EXPECT_TRUE(check->isEnabled());
    EXPECT_FALSE(window.running());
  }

  QPushButton* check;
};

TEST_F(RunValidationTest, BlankInTheSourceDirectoryComesFirst) {
  code->setText("12");
  window.sourceDirField()->setText("  /my data ");
  pressCheck();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("信息提示"));
  EXPECT_EQ(boxes.shown[0].text, QStringLiteral("对不起本软件不允许比对路径包含空格，请您重新填写。"));
  EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Warning);
}

TEST_F(RunValidationTest, BadCodeStopsBeforeEverythingElse) {
  code->setText("12");
  window.beginNoField()->setText("x");
  pressCheck();
  EXPECT_EQ(boxes.texts(), QStringList{kNotSix});
  EXPECT_EQ(window.focusWidget(), code);
}

TEST_F(RunValidationTest, UnknownCodeAsksAndNoStops) {
  code->setText("999999");
  window.beginNoField()->setText("x");
  boxes.answer(BoxAnswer::No);
  pressCheck();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("提示信息"));
  EXPECT_EQ(boxes.shown[0].text, QStringLiteral("输入的证券公司编码在证券公司清单中没有找到，是否继续？"));
  EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::YesNo);
  EXPECT_EQ(boxes.shown[0].icon, BoxIcon::None);
  EXPECT_EQ(window.focusWidget(), code);
}

TEST_F(RunValidationTest, UnknownCodeWithYesGoesOnToTheSequenceNumbers) {
  code->setText("999999");
  name->setText("left alone");
  window.beginNoField()->setText("x");
  boxes.answer(BoxAnswer::Yes);
  pressCheck();
  EXPECT_EQ(boxes.texts().last(), QStringLiteral("开始序号不正确"));
  EXPECT_EQ(name->text(), "left alone");
  EXPECT_EQ(window.focusWidget(), window.beginNoField());
}

TEST_F(RunValidationTest, KnownCodeIsNamedAndSequenceNumbersAreChecked) {
  window.endNoField()->setText("y");
  pressCheck();
  EXPECT_EQ(name->text(), QStringLiteral("东岳证券股份有限公司"));
  EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("结束序号不正确")});
  EXPECT_EQ(window.focusWidget(), window.endNoField());

  window.beginNoField()->setText("6");
  window.endNoField()->setText("5");
  pressCheck();
  EXPECT_EQ(boxes.texts().last(), QStringLiteral("开始序号大于结束序号"));
  EXPECT_EQ(window.focusWidget(), window.beginNoField());
}

TEST_F(RunValidationTest, DirectoriesAreNamedByTheirLabels) {
  window.sourceDirField()->setText("  ");
  pressCheck();
  EXPECT_EQ(boxes.texts().last(), QStringLiteral("ZIP文件目录不能为空"));
  EXPECT_EQ(window.focusWidget(), window.sourceDirField());

  window.findChild<QRadioButton*>("CHKDBF")->setChecked(true);
  pressCheck();
  EXPECT_EQ(boxes.texts().last(), QStringLiteral("DBF文件目录不能为空"));

  window.sourceDirField()->setText("/in");
  window.targetDirField()->setText("");
  pressCheck();
  EXPECT_EQ(boxes.texts().last(), QStringLiteral("ZIP生成目录不能为空"));
  EXPECT_EQ(window.focusWidget(), window.targetDirField());
  EXPECT_EQ(boxes.shown.back().title, QStringLiteral("错误提示"));
}

}  // namespace
}  // namespace fc::gui
