// The directory choosers: where they open, what their file lists show and
// when, the company code offered on a double click, and the two refusals.
#include <gtest/gtest.h>

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <memory>

#include "gui/dialogs/Browsing.h"
#include "gui/dialogs/DirectoryChooserDialog.h"
#include "gui/shell/QtText.h"
#include "gui/support/DialogTestSupport.h"
#include "gui/support/GuiTestSupport.h"
#include "store/Store.h"
#include "support/StoreRows.h"

namespace fc::gui {
namespace {

namespace fs = std::filesystem;

const QString kBlankRefusal = QStringLiteral("对不起本软件不允许设置名称带有空格的路径，请您重新选择！");
const QString kWorkDirRefusal = QStringLiteral("与该软件工作目录冲突，请选择其它目录！");

class DirectoryChooserDialogTest : public ::testing::Test {
 protected:
  DirectoryChooserDialogTest() : store(store::Store::open(home.home().home, home.home().data)) {
    test::Touch(files, {"100001_SFZFCJG_20080808.ZIP", "100001_SFZFCJG_20080808.dbf", "100001_SFZHCQK_20080804.zip",
                        "100001_SFZHCQK_20080804.DBF", "100001_KHJBXX_20080808_1.ZIP",
                        "QL_100001_KHJBXX_20080808_1.ZIP", "100001_ZHBYZ_20080808_2.dbf", "100001_YYBXX_20080808_1.zip",
                        "readme.zip", "notes.txt", "200001_KHJBXX_20080808_1.ZIP"});
    fs::create_directory(files / "sub");
    test::Touch(other, {"b.ZIP", "a.zip", "C.zip", "d.dbf"});
    fields.sourceDir->setText(test::ToQString(files.path()));
  }

  std::unique_ptr<DirectoryChooserDialog> open(Chooser chooser, QLineEdit* field) {
    auto dialog = std::make_unique<DirectoryChooserDialog>(
        chooser, ChooserTargets{field, fields.code, fields.name, fields.zip}, home.home(), store.get(), boxes,
        nullptr, std::vector<std::string>{root, drive(files.path())});
    dialog->show();
    return dialog;
  }

  std::unique_ptr<DirectoryChooserDialog> openSource(Chooser chooser) { return open(chooser, fields.sourceDir); }

  // Browses to `dir` and confirms.
  void choose(DirectoryChooserDialog& dialog, const fs::path& dir) {
    ASSERT_TRUE(dialog.directoryList()->setPath(test::ToQString(dir)));
    dialog.findChild<QPushButton*>("SelectOk")->click();
  }

  // The drives the choosers are given: the root of the temporary files' drive
  // ("/" or "C:/"), and folders named as Qt names them.
  static std::string drive(const fs::path& dir) { return test::ToQString(dir).toStdString(); }
  const std::string root = QDir::rootPath().toStdString();

  test::TestHome home;
  std::unique_ptr<store::Store> store;
  test::ScriptedBoxes boxes;
  test::WindowFields fields;
  test::TempDir files;
  test::TempDir other;
};

TEST_F(DirectoryChooserDialogTest, IdentityChooserListsByItsPatternInBothModes) {
  auto dialog = openSource(Chooser::IdentitySource);
  EXPECT_EQ(dialog->windowTitle(), QStringLiteral("目录选择"));
  EXPECT_EQ(dialog->directoryList()->path(), test::ToQString(files.path()));
  EXPECT_EQ(test::EntriesOf(dialog->fileList()),
            (test::Names{"100001_SFZFCJG_20080808.ZIP", "100001_SFZHCQK_20080804.zip"}));
  EXPECT_EQ(dialog->fileListLabel()->text(), QStringLiteral("文件列表（类型：*.zip）"));

  fields.dbf->setChecked(true);
  dialog = openSource(Chooser::IdentitySource);
  // The comparison files stay listed by their ".zip" name.
  EXPECT_EQ(test::EntriesOf(dialog->fileList()),
            (test::Names{"100001_SFZFCJG_20080808.dbf", "100001_SFZHCQK_20080804.zip"}));
  EXPECT_EQ(dialog->fileListLabel()->text(), QStringLiteral("文件列表（类型：*.dbf）"));

  ASSERT_TRUE(dialog->directoryList()->setPath(test::ToQString(other.path())));
  EXPECT_TRUE(test::EntriesOf(dialog->fileList()).empty());
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(DirectoryChooserDialogTest, AccountChooserOpensOnSubmissionFilesThenListsEveryFileOfTheType) {
  auto dialog = openSource(Chooser::AccountSource);
  EXPECT_EQ(test::EntriesOf(dialog->fileList()),
            (test::Names{"100001_KHJBXX_20080808_1.ZIP", "100001_YYBXX_20080808_1.zip",
                         "200001_KHJBXX_20080808_1.ZIP", "QL_100001_KHJBXX_20080808_1.ZIP"}));
  // The caption already tells the plain pattern that the first change sets.
  EXPECT_EQ(dialog->fileListLabel()->text(), QStringLiteral("符合特征的文件列表（*.zip）"));

  test::DoubleClickEntry(dialog->directoryList(), "sub");
  EXPECT_EQ(dialog->directoryList()->path(), test::ToQString(files.path() / "sub"));
  EXPECT_TRUE(test::EntriesOf(dialog->fileList()).empty());
  ASSERT_TRUE(dialog->directoryList()->setPath(test::ToQString(other.path())));
  EXPECT_EQ(test::EntriesOf(dialog->fileList()), (test::Names{"a.zip", "b.ZIP", "C.zip"}));

  fields.dbf->setChecked(true);
  ASSERT_TRUE(dialog->directoryList()->setPath(test::ToQString(files.path())));
  EXPECT_EQ(test::EntriesOf(dialog->fileList()), (test::Names{"100001_SFZFCJG_20080808.dbf", "100001_SFZHCQK_20080804.DBF",
                         "100001_ZHBYZ_20080808_2.dbf"}));
  EXPECT_EQ(dialog->fileListLabel()->text(), QStringLiteral("符合特征的文件列表（*.dbf）"));
}

TEST_F(DirectoryChooserDialogTest, MissingOrEmptyFieldOpensOnTheDefaultDirectoryWithoutAMessage) {
  fields.sourceDir->setText(test::ToQString(files.path() / "gone"));
  auto dialog = openSource(Chooser::AccountSource);
  EXPECT_EQ(dialog->directoryList()->path(), QDir::currentPath());
  EXPECT_EQ(dialog->fileListLabel()->text(), QStringLiteral("具备发送文件特征的文件列表"));
  fields.targetDir->clear();
  dialog = open(Chooser::AccountTarget, fields.targetDir);
  EXPECT_EQ(dialog->directoryList()->path(), QDir::currentPath());
  EXPECT_EQ(dialog->fileList(), nullptr);
  EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(DirectoryChooserDialogTest, ConfirmingWritesTheBrowsedDirectory) {
  fields.targetDir->setText(QStringLiteral("  ") + test::ToQString(files.path()) + QStringLiteral(" "));
  auto dialog = open(Chooser::IdentityTarget, fields.targetDir);
  EXPECT_EQ(dialog->directoryList()->path(), test::ToQString(files.path()));
  choose(*dialog, other.path());
  EXPECT_EQ(fields.targetDir->text(), test::Shown(other.path()));
  EXPECT_EQ(dialog->result(), QDialog::Accepted);
  EXPECT_FALSE(dialog->isVisible());
}

TEST_F(DirectoryChooserDialogTest, PathWithABlankIsRefusedBeforeTheWorkingDirectories) {
  fs::create_directories(files / "with blank" / "workdir");
  auto dialog = openSource(Chooser::AccountSource);
  const QString before = fields.sourceDir->text();
  choose(*dialog, files / "with blank");
  settings::AppHome blankHome{files / "with blank", home.home().data};
  DirectoryChooserDialog inBlankHome(Chooser::AccountTarget, {fields.targetDir, nullptr, nullptr, fields.zip},
                                     blankHome, nullptr, boxes);
  inBlankHome.show();
  choose(inBlankHome, blankHome.workdir());
  EXPECT_EQ(boxes.texts(), (QStringList{kBlankRefusal, kBlankRefusal}));
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("信息提示"));
  EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Warning);
  EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::Ok);
  EXPECT_EQ(fields.sourceDir->text(), before) << "refused: the field keeps what it held";
  EXPECT_TRUE(fields.targetDir->text().isEmpty());
  EXPECT_TRUE(dialog->isVisible());
}

TEST_F(DirectoryChooserDialogTest, WorkingDirectoriesAreRefusedInAnyLetterCaseButNotBelow) {
  const fs::path& appHome = home.home().home;
  for (const char* name : {"workdir", "DBFDIR", "LchkDir", "WorkDir"}) fs::create_directories(appHome / name);
  fs::create_directories(appHome / "workdir" / "inside");
  auto dialog = open(Chooser::AccountTarget, fields.targetDir);
  for (const char* name : {"workdir", "DBFDIR", "LchkDir", "WorkDir"}) choose(*dialog, appHome / name);
  EXPECT_EQ(boxes.texts(), QStringList(4, kWorkDirRefusal));
  EXPECT_TRUE(fields.targetDir->text().isEmpty());
  choose(*dialog, appHome / "workdir" / "inside");
  EXPECT_EQ(fields.targetDir->text(), test::Shown(appHome / "workdir" / "inside"));
}

TEST_F(DirectoryChooserDialogTest, LinkToAWorkingDirectoryIsRefused) {
  fs::create_directories(home.home().lchkdir());
  fs::create_directory_symlink(home.home().lchkdir(), other / "shortcut");
  auto dialog = open(Chooser::IdentityTarget, fields.targetDir);
  choose(*dialog, other / "shortcut");
  EXPECT_EQ(boxes.texts(), QStringList{kWorkDirRefusal});
  EXPECT_TRUE(fields.targetDir->text().isEmpty());
}

TEST_F(DirectoryChooserDialogTest, AccountChooserOffersTheCodeOfBothNameForms) {
  auto dialog = openSource(Chooser::AccountSource);
  boxes.answer(BoxAnswer::Cancel);
  test::DoubleClickEntry(dialog->fileList(), "100001_KHJBXX_20080808_1.ZIP");
  EXPECT_TRUE(fields.code->text().isEmpty());
  boxes.answer(BoxAnswer::Ok);
  test::DoubleClickEntry(dialog->fileList(), "QL_100001_KHJBXX_20080808_1.ZIP");
  ASSERT_EQ(boxes.shown.size(), 2u);
  EXPECT_EQ(boxes.shown[1].title, QStringLiteral("文件名分析"));
  EXPECT_EQ(boxes.shown[1].text, QStringLiteral("确认将证券公司代码设置为:[100001] [东岳证券股份有限公司] 吗?"));
  EXPECT_EQ(boxes.shown[1].icon, BoxIcon::Question);
  EXPECT_EQ(boxes.shown[1].buttons, BoxButtons::OkCancel);
  EXPECT_EQ(fields.code->text(), "100001");
  EXPECT_EQ(fields.name->text(), QStringLiteral("东岳证券股份有限公司"));

  test::ClickEntry(dialog->fileList(), "200001_KHJBXX_20080808_1.ZIP");
  test::DoubleClickEntry(dialog->fileList(), "200001_KHJBXX_20080808_1.ZIP");
  EXPECT_EQ(boxes.shown.size(), 2u);
}

TEST_F(DirectoryChooserDialogTest, IdentityChooserIgnoresTheFullTransferPrefix) {
  test::Touch(files, {"QL_100001_SFZFCJG_20080808.ZIP", "100777_SFZHCQK_20080804.zip"});
  auto dialog = openSource(Chooser::IdentitySource);
  boxes.answer(BoxAnswer::Ok);
  test::DoubleClickEntry(dialog->fileList(), "QL_100001_SFZFCJG_20080808.ZIP");
  EXPECT_TRUE(boxes.shown.empty());
  test::DoubleClickEntry(dialog->fileList(), "100777_SFZHCQK_20080804.zip");
  EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("确认将证券公司代码设置为:[100777] [未能匹配到公司名称] 吗?")});
  EXPECT_EQ(fields.code->text(), "100777");
  EXPECT_EQ(fields.name->text(), QStringLiteral("未能匹配到公司名称"));
}

TEST_F(DirectoryChooserDialogTest, WithoutAWorkingStoreADoubleClickOffersNoCode) {
  auto dialog = std::make_unique<DirectoryChooserDialog>(
      Chooser::AccountSource, ChooserTargets{fields.sourceDir, fields.code, fields.name, fields.zip}, home.home(),
      nullptr, boxes);
  dialog->show();
  test::DoubleClickEntry(dialog->fileList(), "100001_KHJBXX_20080808_1.ZIP");
  test::StoreRows(*store, "drop table zqgs");  // a store that can no longer answer
  dialog = openSource(Chooser::AccountSource);
  test::DoubleClickEntry(dialog->fileList(), "100001_KHJBXX_20080808_1.ZIP");
  EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join('|').toStdString();
  EXPECT_EQ(fields.code->text(), "");
  EXPECT_EQ(fields.name->text(), "");
}

TEST_F(DirectoryChooserDialogTest, UnreadableDriveLeavesTheDirectoryWhereItWas) {
  auto dialog = std::make_unique<DirectoryChooserDialog>(
      Chooser::IdentityTarget, ChooserTargets{fields.targetDir, nullptr, nullptr, fields.zip}, home.home(), nullptr,
      boxes, nullptr, std::vector<std::string>{root, drive(files.path() / "gone"), drive(files.path())});
  ASSERT_TRUE(dialog->directoryList()->setPath(test::ToQString(other.path())));
  DriveList* drives = dialog->driveList();
  drives->setCurrentIndex(1);
  emit drives->activated(1);
  EXPECT_EQ(dialog->directoryList()->path(), test::ToQString(other.path()));
  EXPECT_EQ(drives->drive(), FromStd(root));
  drives->setCurrentIndex(2);
  emit drives->activated(2);
  EXPECT_EQ(dialog->directoryList()->path(), test::ToQString(files.path()));
  EXPECT_TRUE(boxes.shown.empty());
}

}  // namespace
}  // namespace fc::gui
