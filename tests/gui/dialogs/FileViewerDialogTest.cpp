// The identity window's file viewers: what they list, the texts and colours
// of a clicked name, the seven-day window around the comparison date, and
// the dates they write.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "gui/dialogs/Browsing.h"
#include "gui/dialogs/FileViewerDialog.h"
#include "gui/dialogs/LabelSignal.h"
#include "gui/support/DialogTestSupport.h"
#include "support/TempDir.h"

namespace fc::gui {
namespace {

const QColor kRed(255, 0, 0);
const QColor kYellow(255, 255, 0);

class FileViewerDialogTest : public ::testing::Test {
 protected:
  FileViewerDialogTest() {
    test::Touch(files, {"100001_SFZFCJG_20080804.ZIP", "100001_SFZFCJG_20080805.ZIP", "100001_SFZFCJG_20080811.zip",
                        "100001_SFZFCJG_20080812.ZIP", "100001_SFZFCJG_20080803.ZIP", "100001_SFZFCJG_20081301.ZIP",
                        "100001_SFZFCJG_200808081.ZIP", "100001_SFZFCJG_20080808.DBF", "100001_SFZHCQK_20080728.ZIP",
                        "100001_SFZHCQK_20080230.zip", "100002_SFZFCJG_20080806.ZIP"});
    fields.sourceDir->setText(test::ToQString(files.path()));
    fields.code->setText("100001");
  }

  std::unique_ptr<FileViewerDialog> open(Viewer viewer) {
    auto dialog = std::make_unique<FileViewerDialog>(
        viewer,
        ViewerTargets{fields.sourceDir, fields.code, fields.zip, fields.dataDate, fields.sendDate, fields.comparison});
    dialog->show();
    return dialog;
  }

  // Clicks `name` in the viewer and returns the result line.
  QString click(FileViewerDialog& dialog, const char* name) {
    test::ClickEntry(dialog.fileList(), name);
    return dialog.resultLabel()->text();
  }

  test::TempDir files;
  test::WindowFields fields;
};

TEST_F(FileViewerDialogTest, LongPathLosesItsMiddleAndKeepsItWholeInTheTooltip) {
  const QString deep = test::ToQString(files.path()) + QStringLiteral("/") + QString(40, 'a') + QStringLiteral("/") +
                       QString(40, 'b') + QStringLiteral("/submissions");
  fields.sourceDir->setText(deep);
  auto dialog = open(Viewer::Submission);
  const QLabel* path = dialog->findChild<QLabel*>("Label2");
  EXPECT_EQ(path->toolTip(), QDir::toNativeSeparators(deep));
  EXPECT_TRUE(path->text().startsWith(QDir::toNativeSeparators(deep).left(4))) << path->text().toStdString();
  EXPECT_TRUE(path->text().endsWith(QStringLiteral("submissions"))) << path->text().toStdString();
  EXPECT_TRUE(path->text().contains(QChar(0x2026)));
  EXPECT_LE(path->fontMetrics().horizontalAdvance(path->text()), path->contentsRect().width());
}

TEST_F(FileViewerDialogTest, ListsTheCompanysFilesOfTheChosenType) {
  auto dialog = open(Viewer::Submission);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("查看及选择[ 报送文件 ]"));
  EXPECT_EQ(test::EntriesOf(dialog->fileList()),
            (test::Names{"100001_SFZFCJG_20080803.ZIP", "100001_SFZFCJG_20080804.ZIP", "100001_SFZFCJG_20080805.ZIP",
                         "100001_SFZFCJG_20080811.zip", "100001_SFZFCJG_20080812.ZIP", "100001_SFZFCJG_20081301.ZIP",
                         "100001_SFZFCJG_200808081.ZIP"}));  // digits compared as numbers
  EXPECT_EQ(dialog->findChild<QLabel*>("Label1")->text(), QStringLiteral("[文件类型]为:ZIP文件 "));
  EXPECT_EQ(dialog->findChild<QLabel*>("Label2")->text(), test::Shown(files.path()));

  fields.dbf->setChecked(true);
  dialog = open(Viewer::Comparison);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("查看及选择[ 比对文件 ]"));
  EXPECT_TRUE(test::EntriesOf(dialog->fileList()).empty());
  EXPECT_EQ(dialog->findChild<QLabel*>("Label1")->text(), QStringLiteral("[文件类型]为:DBF文件 "));
  fields.zip->setChecked(true);
  dialog = open(Viewer::Comparison);
  EXPECT_EQ(test::EntriesOf(dialog->fileList()),
            (test::Names{"100001_SFZHCQK_20080230.zip", "100001_SFZHCQK_20080728.ZIP"}));
}

TEST_F(FileViewerDialogTest, SubmissionDateIsWeighedAgainstTheComparisonDate) {
  const QString sameDate =
      QStringLiteral("警告：报送文件日期与比对文件日期相同，建议报送数据的发送日期大于比对文件日期");
  const QString outsideWindow = QStringLiteral("警告：报送文件日期不在比对文件日期之后7个自然日的时间窗口内！");
  auto dialog = open(Viewer::Submission);
  QLabel* result = dialog->resultLabel();
  for (bool ticked : {false, true}) {
    fields.comparison->setChecked(ticked);
    EXPECT_EQ(click(*dialog, "100001_SFZFCJG_20080804.ZIP"), sameDate);
    EXPECT_EQ(ShownColour(result), kYellow);
    EXPECT_EQ(fields.dataDate->date(), QDate(2008, 8, 4));
    for (const char* inside : {"100001_SFZFCJG_20080805.ZIP", "100001_SFZFCJG_20080811.zip"}) {
      EXPECT_TRUE(click(*dialog, inside).startsWith(QStringLiteral("[数据日期]为:2008-08-")));
      EXPECT_EQ(ShownColour(result), SignalColour(Signal::Normal));
    }
    EXPECT_EQ(fields.dataDate->date(), QDate(2008, 8, 11));
    EXPECT_EQ(click(*dialog, "100001_SFZFCJG_20080812.ZIP"),
              ticked ? outsideWindow : QStringLiteral("[数据日期]为:2008-08-12"));
    EXPECT_EQ(ShownColour(result), ticked ? kYellow : SignalColour(Signal::Normal));
    EXPECT_EQ(fields.dataDate->date(), QDate(2008, 8, 12));
    EXPECT_EQ(click(*dialog, "100001_SFZFCJG_20080803.ZIP"),
              ticked ? outsideWindow : QStringLiteral("[数据日期]为:2008-08-03"));
    EXPECT_EQ(fields.dataDate->date(), QDate(2008, 8, 3));
  }
  EXPECT_EQ(fields.sendDate->date(), QDate(2008, 8, 4));
}

TEST_F(FileViewerDialogTest, RejectedSubmissionNamesAreRedAndWriteNoDate) {
  auto dialog = open(Viewer::Submission);
  EXPECT_EQ(click(*dialog, "100001_SFZFCJG_20081301.ZIP"), QStringLiteral("错误：[数据日期]非法:2008-13-01！"));
  EXPECT_EQ(ShownColour(dialog->resultLabel()), kRed);
  EXPECT_EQ(click(*dialog, "100001_SFZFCJG_200808081.ZIP"), QStringLiteral("错误：所选文件命名格式不符合接口规范！"));
  EXPECT_EQ(ShownColour(dialog->resultLabel()), kRed);
  EXPECT_EQ(fields.dataDate->date(), QDate(2010, 1, 7));
}

TEST_F(FileViewerDialogTest, ComparisonViewerWritesTheSendDate) {
  auto dialog = open(Viewer::Comparison);
  EXPECT_EQ(click(*dialog, "100001_SFZHCQK_20080230.zip"), QStringLiteral("[数据日期]非法:2008-02-30"));
  EXPECT_EQ(ShownColour(dialog->resultLabel()), kRed);
  EXPECT_EQ(fields.sendDate->date(), QDate(2008, 8, 4));
  EXPECT_EQ(click(*dialog, "100001_SFZHCQK_20080728.ZIP"), QStringLiteral("[数据日期]为:2008-07-28"));
  EXPECT_EQ(ShownColour(dialog->resultLabel()), SignalColour(Signal::Normal));
  EXPECT_EQ(fields.sendDate->date(), QDate(2008, 7, 28));
  EXPECT_EQ(fields.dataDate->date(), QDate(2010, 1, 7));
}

TEST_F(FileViewerDialogTest, MissingSourceDirectoryShowsAnEmptyListAndConfirmCloses) {
  test::TempDir empty;
  fields.sourceDir->setText(test::ToQString(empty.path()));
  auto dialog = open(Viewer::Submission);
  EXPECT_TRUE(test::EntriesOf(dialog->fileList()).empty());
  fields.sourceDir->setText(test::ToQString(empty.path() / "gone"));
  dialog = open(Viewer::Submission);
  EXPECT_EQ(dialog->fileList()->path(), QDir::currentPath());
  dialog->findChild<QPushButton*>("SelectOk")->click();
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_EQ(fields.dataDate->date(), QDate(2010, 1, 7));
}

}  // namespace
}  // namespace fc::gui
