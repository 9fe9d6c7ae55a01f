// The precise file selection: the filter condition taken from a clicked
// name, the filtered list, the kinds and sequence range taken from it, and
// what confirming and cancelling leave in the settlement-fund window.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "gui/dialogs/Browsing.h"
#include "gui/dialogs/LabelSignal.h"
#include "gui/dialogs/PreciseSelectionDialog.h"
#include "gui/support/DialogTestSupport.h"
#include "gui/support/GuiTestSupport.h"
#include "support/TempDir.h"

namespace fc::gui {
namespace {

const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);
const QString kLowerCase = QStringLiteral("文件名字母为小写！按接口要求文件名字母应该大写。");

class PreciseSelectionDialogTest : public ::testing::Test {
 protected:
  PreciseSelectionDialogTest() {
    test::Touch(files, {"100001_KHJBXX_20080808_1.ZIP", "QL_100001_KHJBXX_20080808_3.ZIP",
                        "QL_100001_KHJBXX_20080808_1.ZIP", "QL_100001_ZJBDXX_20080808_2.ZIP",
                        "QL_100001_ZJZQDY_20080808_1.zip", "100001_YYBXX_20080808_1.ZIP", "100001_ZHBYZ_20080808_2.zip",
                        "QL_100001_KHJBXX_20080809_1.ZIP", "100001_khjbxx_20080808_1.ZIP",
                        "QL_100001_khjbxx_20080808_5.ZIP", "100001_KHJBXX_20080808_1234.ZIP",
                        "100001_KHJBXX_20081301_1.ZIP", "100001_YYBXX_20080808_1.DBF", "100002_KHJBXX_20080808_1.ZIP"});
    fields.sourceDir->setText(test::ToQString(files.path()));
    fields.code->setText("100001");
    fields.kinds[2]->setChecked(false);
  }

  void open() {
    dialog = std::make_unique<PreciseSelectionDialog>(
        PreciseTargets{fields.sourceDir, fields.code, fields.zip, fields.dataDate, fields.kinds, fields.allData,
                       fields.incData, fields.beginNo, fields.endNo},
        boxes);
    dialog->show();
  }

  template <class W>
  W* control(const char* name) {
    W* found = dialog->findChild<W*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  QString text(const char* label) { return control<QLabel>(label)->text(); }
  QColor colour(const char* label) { return ShownColour(control<QLabel>(label)); }
  QPushButton* filterButton() { return control<QPushButton>("Command2"); }
  void click(const char* name) { test::ClickEntry(dialog->fileList(), name); }

  // Picks `name` to fix the condition and applies the filter.
  void filterBy(const char* name) {
    click(name);
    ASSERT_TRUE(filterButton()->isEnabled());
    filterButton()->click();
    ASSERT_TRUE(dialog->filtered());
  }

  std::vector<bool> windowTicks() const {
    std::vector<bool> ticks;
    for (QCheckBox* box : fields.kinds) ticks.push_back(box->isChecked());
    return ticks;
  }
  std::vector<bool> dialogTicks() {
    std::vector<bool> ticks;
    for (const char* name : {"DateCheck0", "DateCheck1", "DateCheck2", "DateCheck3", "DateCheck4"})
      ticks.push_back(control<QCheckBox>(name)->isChecked());
    return ticks;
  }

  test::TempDir files;
  test::WindowFields fields;
  test::ScriptedBoxes boxes;
  std::unique_ptr<PreciseSelectionDialog> dialog;
};

TEST_F(PreciseSelectionDialogTest, OpensOnTheCompanysSubmissionFilesWithTheWindowsTablesUnticked) {
  open();
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("文件选择及检查项精确配置"));
  EXPECT_EQ(windowTicks(), std::vector<bool>(5, false));
  EXPECT_EQ(test::EntriesOf(dialog->fileList()),
            (test::Names{"100001_khjbxx_20080808_1.ZIP", "100001_KHJBXX_20080808_1.ZIP",
                         "100001_KHJBXX_20080808_1234.ZIP", "100001_KHJBXX_20081301_1.ZIP", "100001_YYBXX_20080808_1.ZIP",
                         "100001_ZHBYZ_20080808_2.zip", "QL_100001_KHJBXX_20080808_1.ZIP",
                         "QL_100001_KHJBXX_20080808_3.ZIP", "QL_100001_khjbxx_20080808_5.ZIP",
                         "QL_100001_KHJBXX_20080809_1.ZIP", "QL_100001_ZJBDXX_20080808_2.ZIP",
                         "QL_100001_ZJZQDY_20080808_1.zip"}));
  EXPECT_EQ(text("Label1"), QStringLiteral("[文件类型]为:ZIP文件 "));
  EXPECT_EQ(text("Label2"), test::Shown(files.path()));
  EXPECT_FALSE(filterButton()->isEnabled());
  EXPECT_EQ(filterButton()->text(), QStringLiteral("按此条件筛选"));
  EXPECT_EQ(dialogTicks(), std::vector<bool>(5, false));
  EXPECT_FALSE(control<QCheckBox>("DateCheck0")->isEnabled());
  EXPECT_EQ(control<QCheckBox>("DateCheck3")->text(), QStringLiteral("    YYBXX"));

  fields.dbf->setChecked(true);
  open();
  EXPECT_EQ(test::EntriesOf(dialog->fileList()), test::Names{"100001_YYBXX_20080808_1.DBF"});
  EXPECT_EQ(text("Label1"), QStringLiteral("[文件类型]为:DBF文件 "));
}

TEST_F(PreciseSelectionDialogTest, RejectedNamesAreRedAndKeepTheFilterOff) {
  open();
  click("QL_100001_KHJBXX_20080808_1.ZIP");
  ASSERT_TRUE(filterButton()->isEnabled());
  click("100001_KHJBXX_20081301_1.ZIP");
  EXPECT_EQ(text("Label3"), QStringLiteral("错误:[数据日期]非法:2008-13-01！"));
  EXPECT_EQ(text("Label5"), QStringLiteral("[传输模式]为:命名不符合接口约定无法判断"));
  EXPECT_EQ(colour("Label3"), kRed);
  EXPECT_EQ(colour("Label5"), kRed);
  EXPECT_FALSE(filterButton()->isEnabled());
  click("100001_KHJBXX_20080808_1234.ZIP");
  EXPECT_EQ(text("Label3"), QStringLiteral("错误:所选文件命名格式不符合接口规范！"));
  EXPECT_FALSE(filterButton()->isEnabled());
  EXPECT_EQ(fields.dataDate->date(), QDate(2010, 1, 7));
}

TEST_F(PreciseSelectionDialogTest, NameWithoutModeAsksForItBeforeFiltering) {
  open();
  click("QL_100001_KHJBXX_20080808_1.ZIP");
  EXPECT_EQ(text("Label5"), QStringLiteral("[传输模式]为:全量"));
  EXPECT_TRUE(filterButton()->isEnabled());
  // After a name with a mode the button must not stay on for one without.
  click("100001_YYBXX_20080808_1.ZIP");
  EXPECT_EQ(text("Label3"), QStringLiteral("[数据日期]为:2008-08-08"));
  EXPECT_EQ(text("Label5"), QStringLiteral("[传输模式]为:模式待定"));
  EXPECT_EQ(colour("Label5"), kYellow);
  EXPECT_EQ(colour("Label3"), SignalColour(Signal::Normal));
  EXPECT_FALSE(control<QGroupBox>("Frame3")->isHidden());
  EXPECT_FALSE(filterButton()->isEnabled());

  control<QRadioButton>("Option2")->click();
  EXPECT_EQ(text("Label5"), QStringLiteral("[传输模式]为：增量"));
  EXPECT_EQ(colour("Label5"), SignalColour(Signal::Normal));
  EXPECT_TRUE(control<QRadioButton>("Option2")->isChecked());
  control<QRadioButton>("Option1")->click();
  EXPECT_EQ(text("Label5"), QStringLiteral("[传输模式]为：全量"));
  EXPECT_TRUE(control<QRadioButton>("Option1")->isChecked());
  EXPECT_FALSE(control<QRadioButton>("Option2")->isChecked());
  ASSERT_TRUE(filterButton()->isEnabled());

  filterButton()->click();
  EXPECT_TRUE(control<QGroupBox>("Frame3")->isHidden());
  EXPECT_EQ(text("Label6"), QStringLiteral("传输模式: 全量传输"));
  EXPECT_EQ(test::EntriesOf(dialog->fileList()).size(), 7u);  // as for a name of the full mode
}

TEST_F(PreciseSelectionDialogTest, FullTransferFilterListsThePrefixedAndTheFiveLetterKindsOfTheDate) {
  open();
  click("QL_100001_KHJBXX_20080808_1.ZIP");
  EXPECT_EQ(text("Label3"), QStringLiteral("[数据日期]为:2008-08-08"));
  filterButton()->click();
  EXPECT_EQ(test::EntriesOf(dialog->fileList()),
            (test::Names{"100001_YYBXX_20080808_1.ZIP", "100001_ZHBYZ_20080808_2.zip",
                         "QL_100001_KHJBXX_20080808_1.ZIP", "QL_100001_KHJBXX_20080808_3.ZIP",
                         "QL_100001_khjbxx_20080808_5.ZIP", "QL_100001_ZJBDXX_20080808_2.ZIP",
                         "QL_100001_ZJZQDY_20080808_1.zip"}));
  EXPECT_EQ(fields.dataDate->date(), QDate(2008, 8, 8));
  EXPECT_EQ(text("Label8"), QStringLiteral("文件类型: ZIP文件"));
  EXPECT_EQ(text("Label4"), QStringLiteral("数据日期:20080808"));
  EXPECT_EQ(text("Label6"), QStringLiteral("传输模式: 全量传输"));
  EXPECT_EQ(text("Label7"), QStringLiteral("文件序号: 0 - 0"));
  EXPECT_EQ(filterButton()->text(), QStringLiteral("取消条件筛选"));
  EXPECT_EQ(windowTicks(), std::vector<bool>(5, false));
}

TEST_F(PreciseSelectionDialogTest, SequenceDigitsThreeOneTwoGiveTheRangeOneToThree) {
  open();
  filterBy("QL_100001_KHJBXX_20080808_1.ZIP");
  click("QL_100001_KHJBXX_20080808_3.ZIP");
  EXPECT_EQ(text("Label7"), QStringLiteral("文件序号:3 - 3"));
  click("QL_100001_ZJZQDY_20080808_1.zip");
  click("QL_100001_ZJBDXX_20080808_2.ZIP");
  EXPECT_EQ(text("Label7"), QStringLiteral("文件序号:1 - 3"));
  EXPECT_EQ(text("Label5"), QStringLiteral("[已筛选]传输模式: 全量传输"));
  EXPECT_EQ(text("Label3"), QStringLiteral("[已筛选]数据日期:2008-08-08"));
  const std::vector<bool> taken{true, true, true, false, false};
  EXPECT_EQ(dialogTicks(), taken);
  EXPECT_EQ(windowTicks(), taken);
  EXPECT_TRUE(control<QCheckBox>("DateCheck1")->isEnabled());
  EXPECT_FALSE(control<QCheckBox>("DateCheck3")->isEnabled());

  // The operator may leave out a table taken by a click.
  control<QCheckBox>("DateCheck1")->click();
  EXPECT_EQ(windowTicks(), (std::vector<bool>{true, false, true, false, false}));

  fields.dataDate->setDate(QDate(2011, 1, 1));
  control<QPushButton>("SelectOk")->click();
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(fields.beginNo->text(), "1");
  EXPECT_EQ(fields.endNo->text(), "3");
  EXPECT_TRUE(fields.allData->isChecked());
  EXPECT_FALSE(fields.incData->isChecked());
  EXPECT_EQ(fields.dataDate->date(), QDate(2008, 8, 8));
  EXPECT_EQ(windowTicks(), (std::vector<bool>{true, false, true, false, false}));
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(PreciseSelectionDialogTest, LongerSequenceNumbersAreListedByValueAndWidenTheRange) {
  test::Touch(files, {"100001_KHJBXX_20080808_10.ZIP", "100001_ZJZQDY_20080808_2.ZIP", "100001_ZJBDXX_20080808_20.ZIP"});
  open();
  filterBy("100001_KHJBXX_20080808_10.ZIP");
  EXPECT_EQ(test::EntriesOf(dialog->fileList()),
            (test::Names{"100001_khjbxx_20080808_1.ZIP", "100001_KHJBXX_20080808_1.ZIP",
                         "100001_KHJBXX_20080808_10.ZIP", "100001_KHJBXX_20080808_1234.ZIP",
                         "100001_YYBXX_20080808_1.ZIP", "100001_ZHBYZ_20080808_2.zip",
                         "100001_ZJBDXX_20080808_20.ZIP", "100001_ZJZQDY_20080808_2.ZIP"}));
  click("100001_ZJZQDY_20080808_2.ZIP");
  click("100001_ZJBDXX_20080808_20.ZIP");
  EXPECT_EQ(text("Label7"), QStringLiteral("文件序号:2 - 20"));
  control<QPushButton>("SelectOk")->click();
  EXPECT_EQ(fields.beginNo->text(), "2");
  EXPECT_EQ(fields.endNo->text(), "20");
}

// A filter confirmed before any file is chosen would untick every table:
// the operator is told, and the earlier choice stays.
TEST_F(PreciseSelectionDialogTest, ConfirmingAFilterWithoutFilesKeepsTheEarlierChoice) {
  fields.allData->setChecked(true);
  fields.beginNo->setText("4");
  fields.endNo->setText("7");
  const std::vector<bool> earlier = windowTicks();
  open();
  filterBy("100001_KHJBXX_20080808_1.ZIP");
  EXPECT_EQ(text("Label6"), QStringLiteral("传输模式: 增量传输"));
  boxes.answer(BoxAnswer::Cancel);
  control<QPushButton>("SelectOk")->click();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::OkCancel);
  EXPECT_TRUE(dialog->isVisible());
  boxes.answer(BoxAnswer::Ok);
  control<QPushButton>("SelectOk")->click();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(fields.beginNo->text(), "4");
  EXPECT_EQ(fields.endNo->text(), "7");
  EXPECT_TRUE(fields.allData->isChecked());
  EXPECT_EQ(windowTicks(), earlier);
}

TEST_F(PreciseSelectionDialogTest, ConfirmingWithoutAFilterAsksAndRestoresOnOk) {
  open();
  click("QL_100001_KHJBXX_20080808_1.ZIP");
  boxes.answer(BoxAnswer::Cancel);
  control<QPushButton>("SelectOk")->click();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("提示信息"));
  EXPECT_EQ(boxes.shown[0].text, QStringLiteral("未进行任何操作,点击取消继续设置"));
  EXPECT_EQ(boxes.shown[0].icon, BoxIcon::None);
  EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::OkCancel);
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(windowTicks(), std::vector<bool>(5, false));

  boxes.answer(BoxAnswer::Ok);
  control<QPushButton>("SelectOk")->click();
  EXPECT_FALSE(dialog->isVisible());
  EXPECT_EQ(windowTicks(), (std::vector<bool>{true, true, false, true, true}));
  EXPECT_EQ(fields.dataDate->date(), QDate(2010, 1, 7));
  EXPECT_EQ(fields.beginNo->text(), "0");
}

TEST_F(PreciseSelectionDialogTest, CancellingRestoresTheDateAndTicksItFound) {
  open();
  control<QPushButton>("Command1")->click();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(windowTicks(), (std::vector<bool>{true, true, false, true, true}));

  open();
  filterBy("QL_100001_KHJBXX_20080808_1.ZIP");
  click("100001_ZHBYZ_20080808_2.zip");
  EXPECT_EQ(windowTicks(), (std::vector<bool>{false, false, false, false, true}));
  EXPECT_EQ(fields.dataDate->date(), QDate(2008, 8, 8));
  control<QPushButton>("Command1")->click();
  EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("所有项将还原成原有设置")});
  EXPECT_EQ(boxes.shown[0].icon, BoxIcon::None);
  EXPECT_EQ(windowTicks(), (std::vector<bool>{true, true, false, true, true}));
  EXPECT_EQ(fields.dataDate->date(), QDate(2010, 1, 7));
  EXPECT_FALSE(fields.allData->isChecked());
  EXPECT_FALSE(dialog->isVisible());
}

TEST_F(PreciseSelectionDialogTest, LowerCaseNameIsRefusedInBothStates) {
  open();
  click("100001_khjbxx_20080808_1.ZIP");
  EXPECT_EQ(text("Label3"), kLowerCase);
  EXPECT_EQ(colour("Label3"), kRed);
  EXPECT_TRUE(text("Label5").isEmpty());
  EXPECT_FALSE(filterButton()->isEnabled());

  filterBy("QL_100001_KHJBXX_20080808_1.ZIP");
  click("QL_100001_khjbxx_20080808_5.ZIP");
  EXPECT_EQ(text("Label3"), kLowerCase);
  EXPECT_EQ(colour("Label3"), kRed);
  EXPECT_TRUE(text("Label5").isEmpty());
  EXPECT_EQ(text("Label7"), QStringLiteral("文件序号:0 - 0"));
  EXPECT_EQ(dialogTicks(), std::vector<bool>(5, false));
  EXPECT_EQ(windowTicks(), std::vector<bool>(5, false));
}

TEST_F(PreciseSelectionDialogTest, CancellingTheFilterUnticksAndListsEverythingAgain) {
  open();
  const test::Names unfiltered = test::EntriesOf(dialog->fileList());
  filterBy("QL_100001_KHJBXX_20080808_1.ZIP");
  click("QL_100001_KHJBXX_20080808_3.ZIP");
  click("100001_YYBXX_20080808_1.ZIP");
  filterButton()->click();
  EXPECT_FALSE(dialog->filtered());
  EXPECT_EQ(dialogTicks(), std::vector<bool>(5, false));
  EXPECT_FALSE(control<QCheckBox>("DateCheck0")->isEnabled());
  EXPECT_EQ(windowTicks(), std::vector<bool>(5, false));
  EXPECT_EQ(test::EntriesOf(dialog->fileList()), unfiltered);
  EXPECT_EQ(filterButton()->text(), QStringLiteral("按此条件筛选"));
  EXPECT_FALSE(filterButton()->isEnabled());
  for (const char* label : {"Label3", "Label5"}) EXPECT_TRUE(text(label).isEmpty());
  EXPECT_EQ(text("Label8"), QStringLiteral("文件类型:"));
  EXPECT_EQ(text("Label7"), QStringLiteral("文件序号:"));

  // A new filter starts a new range.
  filterBy("QL_100001_KHJBXX_20080808_1.ZIP");
  click("QL_100001_ZJBDXX_20080808_2.ZIP");
  EXPECT_EQ(text("Label7"), QStringLiteral("文件序号:2 - 2"));
}

}  // namespace
}  // namespace fc::gui
