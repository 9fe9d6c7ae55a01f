// The selection dialogs opened from their check windows' buttons, writing
// into those windows.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <functional>

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

// Runs `act` on the dialog that the next button opens, then makes sure it
// has closed, so that a failing test cannot hang in its event loop.
template <class Dialog>
void OnNextDialog(std::function<void(Dialog&)> act) {
  test::InspectNextModalWindow([act](QWidget* modal) {
    if (auto* dialog = qobject_cast<Dialog*>(modal))
      act(*dialog);
    else
      ADD_FAILURE() << "the button opened no dialog of the expected kind";
  });
}

void ClickButton(QWidget* window, const char* name) {
  QPushButton* button = window->findChild<QPushButton*>(name);
  ASSERT_NE(button, nullptr) << name;
  button->click();
}

class DialogWindowsTest : public ::testing::Test {
 protected:
  DialogWindowsTest() {
    test::Touch(files, {"100001_SFZFCJG_20080808.ZIP", "100001_SFZHCQK_20080804.ZIP", "QL_100001_KHJBXX_20080808_2.ZIP",
                        "100001_ZHBYZ_20080808_1.ZIP"});
  }

  test::TestHome home;
  test::ScriptedBoxes boxes;
  test::TempDir files;
  test::TempDir output;
};

TEST_F(DialogWindowsTest, IdentityViewersWriteTheTwoDates) {
  IdentityCheckWindow window(home.home(), boxes);
  test::ShowActive(&window);
  window.companyCodeField()->setText("100001");
  window.sourceDirField()->setText(test::ToQString(files.path()));
  window.comparisonBox()->click();

  OnNextDialog<FileViewerDialog>([](FileViewerDialog& viewer) {
    test::ClickEntry(viewer.fileList(), "100001_SFZHCQK_20080804.ZIP");
    ClickButton(&viewer, "SelectOk");
  });
  ClickButton(&window, "Command5");
  EXPECT_EQ(window.sendDateField()->date(), QDate(2008, 8, 4));

  OnNextDialog<FileViewerDialog>([](FileViewerDialog& viewer) {
    EXPECT_EQ(viewer.windowTitle(), QStringLiteral("查看及选择[ 报送文件 ]"));
    test::ClickEntry(viewer.fileList(), "100001_SFZFCJG_20080808.ZIP");
    ClickButton(&viewer, "SelectOk");
  });
  ClickButton(&window, "Command4");
  EXPECT_EQ(window.dataDateField()->date(), QDate(2008, 8, 8));
}

TEST_F(DialogWindowsTest, ChoosersWriteTheDirectoriesAndTheCompany) {
  IdentityCheckWindow window(home.home(), boxes);
  test::ShowActive(&window);
  window.sourceDirField()->setText(test::ToQString(files.path()));
  boxes.answer(BoxAnswer::Ok);
  OnNextDialog<DirectoryChooserDialog>([](DirectoryChooserDialog& chooser) {
    test::DoubleClickEntry(chooser.fileList(), "100001_SFZFCJG_20080808.ZIP");
    ClickButton(&chooser, "SelectOk");
  });
  ClickButton(&window, "Command2");
  EXPECT_EQ(window.companyCodeField()->text(), "100001");
  EXPECT_EQ(window.companyNameField()->text(), QStringLiteral("东岳证券股份有限公司"));
  EXPECT_EQ(window.sourceDirField()->text(), test::Shown(files.path()));

  window.findChild<QRadioButton*>("CHKDBF")->click();  // the output directory is needed
  const QString target = test::ToQString(output.path());
  OnNextDialog<DirectoryChooserDialog>([&target](DirectoryChooserDialog& chooser) {
    EXPECT_EQ(chooser.fileList(), nullptr);
    chooser.directoryList()->setPath(target);
    ClickButton(&chooser, "SelectOk");
  });
  ClickButton(&window, "Command3");
  EXPECT_EQ(window.targetDirField()->text(), QDir::toNativeSeparators(target));
}

TEST_F(DialogWindowsTest, PreciseSelectionSetsUpTheAccountWindow) {
  AccountCheckWindow window(home.home(), boxes);
  test::ShowActive(&window);
  window.companyCodeField()->setText("100001");
  window.sourceDirField()->setText(test::ToQString(files.path()));
  OnNextDialog<PreciseSelectionDialog>([](PreciseSelectionDialog& precise) {
    test::ClickEntry(precise.fileList(), "QL_100001_KHJBXX_20080808_2.ZIP");
    ClickButton(&precise, "Command2");
    test::ClickEntry(precise.fileList(), "QL_100001_KHJBXX_20080808_2.ZIP");
    test::ClickEntry(precise.fileList(), "100001_ZHBYZ_20080808_1.ZIP");
    ClickButton(&precise, "SelectOk");
  });
  ClickButton(&window, "Command4");
  EXPECT_EQ(window.dataDateField()->date(), QDate(2008, 8, 8));
  EXPECT_TRUE(window.fullTransferOption()->isChecked());
  EXPECT_EQ(window.beginNoField()->text(), "1");
  EXPECT_EQ(window.endNoField()->text(), "2");
  std::vector<bool> ticks;
  for (int i = 0; i < 5; ++i) ticks.push_back(window.kindBox(i)->isChecked());
  EXPECT_EQ(ticks, (std::vector<bool>{true, false, false, false, true}));
}

}  // namespace
}  // namespace fc::gui
