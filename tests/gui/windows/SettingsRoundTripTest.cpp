// The check windows' settings: read at start-up, written at close, and what
// survives (code, numbers, source directory) and what does not (file type,
// output directory).
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <fstream>

#include "gui/support/GuiTestSupport.h"
#include "gui/windows/AccountCheckWindow.h"
#include "gui/windows/CompanyCodeEntry.h"
#include "gui/windows/IdentityCheckWindow.h"
#include "settings/Settings.h"
#include "text/Text.h"

namespace fc::gui {
namespace {

class SettingsRoundTripTest : public ::testing::Test {
 protected:
  QRadioButton* dbfOption(CheckWindow& window) {
    return window.findChild<QRadioButton*>("CHKDBF");
  }

  test::TestHome home;
  test::ScriptedBoxes boxes;
};

TEST_F(SettingsRoundTripTest, FirstStartHasEmptyFieldsAndZipType) {
  AccountCheckWindow window(home.home(), boxes);
  EXPECT_EQ(window.companyCodeField()->text(), "");
  EXPECT_EQ(window.beginNoField()->text(), "0");
  EXPECT_EQ(window.endNoField()->text(), "0");
  EXPECT_TRUE(window.zipTypeSelected());
  EXPECT_EQ(window.sourceDirField()->text(), "");
  EXPECT_EQ(window.targetDirField()->text(), "");
  EXPECT_TRUE(window.incrementalOption()->isChecked());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(SettingsRoundTripTest, CodeNumbersAndDirectoryComeBackTypeAndOutputDoNot) {
  {
    AccountCheckWindow window(home.home(), boxes);
    window.companyCodeField()->setText(" 10001");
    window.beginNoField()->setText("3");
    window.endNoField()->setText("7");
    // Typed with the system's separators, kept with "/".
    window.sourceDirField()->setText(QDir::toNativeSeparators("/data/in"));
    dbfOption(window)->setChecked(true);
    window.targetDirField()->setText(QDir::toNativeSeparators("/data/out"));
    window.returnToWelcome();
  }
  const auto saved = settings::ReadSettings(home.home().settingsFile());
  ASSERT_TRUE(saved);
  EXPECT_EQ(saved->companyCode, "10001");  // saved trimmed
  EXPECT_EQ(saved->fileType, settings::kFileTypeDbf);
  EXPECT_EQ(saved->sourceDir, "/data/in");
  EXPECT_EQ(saved->targetDir, "/data/out");

  AccountCheckWindow window(home.home(), boxes);
  EXPECT_EQ(window.companyCodeField()->text(), "10001");
  EXPECT_EQ(window.beginNoField()->text(), "3");
  EXPECT_EQ(window.endNoField()->text(), "7");
  EXPECT_EQ(window.sourceDirField()->text(), QDir::toNativeSeparators("/data/in"));
  EXPECT_TRUE(window.zipTypeSelected());
  EXPECT_EQ(window.targetDirField()->text(), "");
  EXPECT_EQ(window.findChild<QPushButton*>("ChkCmd")->text(), QStringLiteral("检查ZIP文件"));
  EXPECT_TRUE(boxes.shown.empty());
}

// Neither window opens with the other's inputs; the identity window's dates
// and comparison file come back too.
TEST_F(SettingsRoundTripTest, EachWindowKeepsItsOwnInputs) {
  {
    AccountCheckWindow account(home.home(), boxes);
    account.companyCodeField()->setText("100001");
    account.beginNoField()->setText("4");
    account.sourceDirField()->setText("/account");
    account.returnToWelcome();
  }
  {
    IdentityCheckWindow identity(home.home(), boxes);
    EXPECT_EQ(identity.companyCodeField()->text(), "100001");  // from chkcfg.ini, until it has its own
    identity.companyCodeField()->setText("100002");
    identity.sourceDirField()->setText("/identity");
    identity.dataDateField()->setDate(QDate(2009, 3, 4));
    identity.comparisonBox()->setChecked(true);
    identity.sendDateField()->setDate(QDate(2009, 3, 2));
    identity.returnToWelcome();
  }
  AccountCheckWindow account(home.home(), boxes);
  EXPECT_EQ(account.companyCodeField()->text(), "100001");
  EXPECT_EQ(account.sourceDirField()->text(), QDir::toNativeSeparators("/account"));
  EXPECT_EQ(account.beginNoField()->text(), "4");
  IdentityCheckWindow identity(home.home(), boxes);
  EXPECT_EQ(identity.companyCodeField()->text(), "100002");
  EXPECT_EQ(identity.sourceDirField()->text(), QDir::toNativeSeparators("/identity"));
  EXPECT_EQ(identity.dataDateField()->date(), QDate(2009, 3, 4));
  EXPECT_TRUE(identity.comparisonBox()->isChecked());
  EXPECT_TRUE(identity.sendDateField()->isEnabled());
  EXPECT_EQ(identity.sendDateField()->date(), QDate(2009, 3, 2));
  EXPECT_EQ(settings::ReadSettings(home.home().settingsFile())->windowLines.size(), 0u);  // six lines, as ever
}

// The output folder is what the operator set in it, or empty: never the
// source folder, and it survives a trip to the ZIP type and back.
TEST_F(SettingsRoundTripTest, OutputFolderIsOnlyWhatTheOperatorSet) {
  AccountCheckWindow window(home.home(), boxes);
  window.sourceDirField()->setText("/incoming");
  dbfOption(window)->setChecked(true);
  EXPECT_EQ(window.targetDirField()->text(), "");
  window.targetDirField()->setText("/outgoing");
  window.findChild<QRadioButton*>("CHKZIP")->setChecked(true);
  EXPECT_EQ(window.targetDirField()->text(), "");
  window.sourceDirField()->setText("/other");
  dbfOption(window)->setChecked(true);
  EXPECT_EQ(window.targetDirField()->text(), "/outgoing");
}

TEST_F(SettingsRoundTripTest, SequenceNumbersAreSavedByTheirNumericValue) {
  {
    AccountCheckWindow window(home.home(), boxes);
    window.beginNoField()->setText(" 12");
    window.endNoField()->setText("ab");
    window.returnToWelcome();
  }
  const auto saved = settings::ReadSettings(home.home().settingsFile());
  ASSERT_TRUE(saved);
  EXPECT_EQ(text::Trim(saved->beginNo), "12");
  EXPECT_EQ(text::Trim(saved->endNo), "0");
}

TEST_F(SettingsRoundTripTest, SavedCodeIsTrimmedAndLookedUp) {
  std::ofstream(home.home().settingsFile(), std::ios::binary) << "  100001  \r\n3\r\n7\r\n2\r\n/in\r\n/out\r\n";
  AccountCheckWindow window(home.home(), boxes);
  EXPECT_EQ(window.companyCodeField()->text(), "100001");
  EXPECT_EQ(window.companyNameField()->text(), QStringLiteral("东岳证券股份有限公司"));
  EXPECT_EQ(window.companyCodeEntry()->lastCodeLookedUp(), "100001");
  EXPECT_TRUE(window.zipTypeSelected());  // a saved DBF type still opens on ZIP
  EXPECT_EQ(window.targetDirField()->text(), "");
}

TEST_F(SettingsRoundTripTest, UnknownSavedCodeLeavesTheNameEmptySilently) {
  std::ofstream(home.home().settingsFile(), std::ios::binary) << "999999\r\n0\r\n0\r\n1\r\n\r\n\r\n";
  IdentityCheckWindow window(home.home(), boxes);
  EXPECT_EQ(window.companyCodeField()->text(), "999999");
  EXPECT_EQ(window.companyNameField()->text(), "");
  EXPECT_TRUE(boxes.shown.empty());
  // A longer code is looked up as saved, not as the six-character field cuts it.
  std::ofstream(home.home().settingsFile(), std::ios::binary) << " 1000019 \r\n0\r\n0\r\n1\r\n\r\n\r\n";
  AccountCheckWindow longer(home.home(), boxes);
  EXPECT_EQ(longer.companyCodeField()->text(), "100001");
  EXPECT_EQ(longer.companyNameField()->text(), "");
}

TEST_F(SettingsRoundTripTest, FailedWriteKeepsTheOldSettingsAndSaysSo) {
  std::ofstream(home.home().settingsFile(), std::ios::binary) << "100001\r\n1\r\n2\r\n1\r\n/old\r\n\r\n";
  {
    AccountCheckWindow window(home.home(), boxes);
    window.companyCodeField()->setText("100002");
    // A directory stands where the new settings would be written first.
    std::filesystem::create_directory(home.home().home / "chkcfg.ini.tmp");
    window.returnToWelcome();
  }
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Error);
  EXPECT_EQ(settings::ReadSettings(home.home().settingsFile())->companyCode, "100001");
}

}  // namespace
}  // namespace fc::gui
