#include "gui/dialogs/DirectoryChooserDialog.h"

#include <QAbstractButton>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "gui/dialogs/Browsing.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/shell/QtText.h"
#include "gui/windows/Controls.h"
#include "naming/CompanyCode.h"
#include "naming/FileNames.h"
#include "naming/ListPatterns.h"
#include "store/Store.h"

namespace fc::gui {

// How the four choosers differ.
struct ChooserSetup {
  bool listsFiles;            // File1 and Labellist1 are shown
  bool fullPrefix;            // code recognition takes "QL_" names too
  const char* designCaption;  // Labellist1 until the first directory change
  const char* changedCaption; // Labellist1 after a change; %1 = "*.zip" or "*.dbf"
  std::string (*changedPattern)(naming::FileType);  // set on each directory change
  std::string (*openingPattern)(naming::FileType);  // set last when opening; nullptr: the changed one, first
};

namespace {

constexpr ChooserSetup kSetups[] = {
    {true, false, "文件列表", "文件列表（类型：%1）", naming::IdentityChooserPattern, nullptr},
    {false, false, nullptr, nullptr, nullptr, nullptr},
    {true, true, "具备发送文件特征的文件列表", "符合特征的文件列表（%1）", naming::PlainChooserPattern,
     naming::AccountChooserPattern},
    {false, false, nullptr, nullptr, nullptr, nullptr},
};

const QString kRefusalTitle = QStringLiteral("信息提示");
const QString kBlankRefusal = QStringLiteral("对不起本软件不允许设置名称带有空格的路径，请您重新选择！");
const QString kWorkDirRefusal = QStringLiteral("与该软件工作目录冲突，请选择其它目录！");

// Equal as the operator would type them in any letter case, or the same
// directory reached another way (a link): either would let a run empty it.
bool SameDirectory(const QString& path, const QString& workDir) {
  if (path.toLower() == workDir.toLower()) return true;
  const QString canonical = QFileInfo(path).canonicalFilePath();
  return !canonical.isEmpty() && canonical == QFileInfo(workDir).canonicalFilePath();
}

}  // namespace

DirectoryChooserDialog::DirectoryChooserDialog(Chooser chooser, const ChooserTargets& targets, settings::AppHome home,
                                               store::Store* store, MessageBoxes& boxes, QWidget* parent,
                                               std::vector<std::string> drives)
    : QDialog(parent),
      setup_(kSetups[static_cast<int>(chooser)]),
      targets_(targets),
      home_(std::move(home)),
      store_(store),
      boxes_(boxes) {
  // The object names are the ones tests and accessibility tools look up;
  // they keep the form they have always had.
  setObjectName(QStringLiteral("SelectDir%1").arg(static_cast<int>(chooser) + 1));
  setWindowTitle(QStringLiteral("目录选择"));
  drives_ = Place(new DriveList(this, std::move(drives)), "Drive1", {12, 12, 260, 26});
  directories_ = Place(new DirectoryList(this), "Dir1", {12, 46, 260, 300});
  int width = 284;
  if (setup_.listsFiles) {
    filesCaption_ = Place(new QLabel(QString::fromUtf8(setup_.designCaption), this), "Labellist1", {284, 12, 280, 26});
    files_ = Place(new FileList(this), "File1", {284, 46, 280, 300});
    width = 576;
    connect(files_, &QListWidget::itemDoubleClicked, this, &DirectoryChooserDialog::fileDoubleClicked);
  }
  confirmButton_ = MakeButton(this, "SelectOk", QStringLiteral("确认并保存设置"), {width - 244, 358, 140, 32});
  auto* cancelButton = MakeButton(this, "SelectCancel", QStringLiteral("取消"), {width - 92, 358, 80, 32});
  setFixedSize(width, 402);

  connect(drives_, &QComboBox::activated, this, &DirectoryChooserDialog::driveChosen);
  connect(directories_, &DirectoryList::pathChanged, this, &DirectoryChooserDialog::directoryChanged);
  connect(confirmButton_, &QPushButton::clicked, this, &DirectoryChooserDialog::confirm);
  connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
  load();
}

void DirectoryChooserDialog::load() {
  if (setup_.listsFiles && !setup_.openingPattern) showChangedPattern();
  const QString target = TypedPath(targets_.dirField->text().trimmed());
  directories_->setPath(target);
  // A target the list cannot show (none yet) leaves it where it was: the
  // drive shown is always the listed folder's.
  drives_->showDriveOf(directories_->path());
  if (!setup_.openingPattern) return;
  // Last, so a freshly opened chooser lists the submission files although the
  // directory change has just set the plain pattern.
  files_->setPath(target);
  files_->setPattern(setup_.openingPattern(fileType()));
}

void DirectoryChooserDialog::driveChosen() {
  if (!directories_->setPath(drives_->drive())) drives_->showDriveOf(directories_->path());
}

void DirectoryChooserDialog::directoryChanged() {
  drives_->showDriveOf(directories_->path());
  if (!setup_.listsFiles) return;
  showChangedPattern();
  files_->setPath(directories_->path());
}

void DirectoryChooserDialog::showChangedPattern() {
  const naming::FileType type = fileType();
  files_->setPattern(setup_.changedPattern(type));
  filesCaption_->setText(QString::fromUtf8(setup_.changedCaption).arg(FromStd(naming::PlainChooserPattern(type))));
}

void DirectoryChooserDialog::fileDoubleClicked(QListWidgetItem* item) {
  if (std::optional<std::string> code = naming::RecogniseCompanyCode(item->text().toStdString(), setup_.fullPrefix))
    confirmCompanyCode(*code);
}

void DirectoryChooserDialog::confirmCompanyCode(const std::string& code) {
  if (!store_) return;  // no company list to name the company from
  naming::CompanyConfirmation confirmation;
  try {
    confirmation = naming::PrepareCompanyConfirmation(code, store_->findCompany(code));
  } catch (const store::StoreError&) {
    return;  // the window reported its store when it opened
  }
  if (boxes_.show(FromStd(naming::kConfirmTitle), FromStd(confirmation.question), BoxIcon::Question,
                  BoxButtons::OkCancel) != BoxAnswer::Ok)
    return;
  targets_.companyCode->setText(FromStd(confirmation.code));
  targets_.companyName->setText(FromStd(confirmation.name));
}

void DirectoryChooserDialog::confirm() {
  const QString path = directories_->path();
  if (std::optional<QString> refused = refusal(path)) {
    boxes_.show(kRefusalTitle, *refused, BoxIcon::Warning, BoxButtons::Ok);
    return;
  }
  targets_.dirField->setText(ShownPath(path));
  accept();
}

std::optional<QString> DirectoryChooserDialog::refusal(const QString& path) const {
  if (path.contains(QLatin1Char(' '))) return kBlankRefusal;
  for (const std::filesystem::path& workDir : {home_.dbfdir(), home_.workdir(), home_.lchkdir()})
    if (SameDirectory(path, DirectoryPath(FromPath(workDir)))) return kWorkDirRefusal;
  return std::nullopt;
}

naming::FileType DirectoryChooserDialog::fileType() const {
  return targets_.zipType->isChecked() ? naming::FileType::Zip : naming::FileType::Dbf;
}

void OpenDirectoryChooser(Chooser chooser, QWidget* parent, const ChooserTargets& targets,
                          const settings::AppHome& home, store::Store* store, MessageBoxes& boxes) {
  DirectoryChooserDialog dialog(chooser, targets, home, store, boxes, parent);
  dialog.exec();
}

}  // namespace fc::gui
