#include "gui/windows/IdentityCheckWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "gui/dialogs/FileViewerDialog.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/shell/QtText.h"
#include "gui/windows/Controls.h"
#include "naming/Kinds.h"
#include "pipeline/Validation.h"
#include "settings/Settings.h"

namespace fc::gui {

namespace {

constexpr int kMainWidth = 640;
constexpr int kHelpWidth = 204;
const QString kOpeningNote = QStringLiteral("鼠标停留区域的事项，在此处会有详细说明。\n");
const QString kHelpOnCaption = QStringLiteral("关");
const QString kHelpOffCaption = QStringLiteral("开");

// Switched off, the help is still written but not shown: the panel takes the
// window's colour, text and ground alike, so that it reads as switched off
// rather than as an empty white box.
void ShowHelp(QPlainTextEdit* note, bool on) {
  const QPalette system = QApplication::palette();
  QPalette palette = note->palette();
  palette.setColor(QPalette::Text, system.color(on ? QPalette::WindowText : QPalette::Window));
  palette.setColor(QPalette::Base, system.color(on ? QPalette::Base : QPalette::Window));
  note->setPalette(palette);
}

// The boxes carry their table's description after one blank.
QString KindCaption(naming::IdentityKind kind) {
  const std::string_view filecat = naming::kIdentityKinds[naming::IndexOf(kind)].filecat;
  return QLatin1Char(' ') + FromStd(filecat);
}

// The window's own lines of its settings file, in this order.
enum OwnLine : size_t { kDataDateLine, kComparisonTickedLine, kSendDateLine, kOwnLines };
const QString kSavedDateForm = QStringLiteral("yyyyMMdd");

void RestoreDate(QDateEdit* picker, const std::string& saved) {
  const QDate date = QDate::fromString(QString::fromStdString(saved), kSavedDateForm);
  if (date.isValid()) picker->setDate(date);
}

QString ButtonHelp(const QPushButton* button, const QLabel* label) {
  return QStringLiteral("点击[ ") + button->text() + QStringLiteral(" ]按钮,设置[ ") + label->text() +
         QStringLiteral(" ]");
}

}  // namespace

IdentityCheckWindow::IdentityCheckWindow(settings::AppHome home, MessageBoxes& boxes, QWidget* parent)
    : CheckWindow(pipeline::Submission::Identity, std::move(home), boxes, parent) {
  setObjectName(QStringLiteral("mainfrm2"));
  setWindowTitle(QStringLiteral("证券公司投资者身份信息复查数据检查"));

  auto* submissionFrame = Place(new QGroupBox(QStringLiteral("报送文件（SFZFCJG）"), this), "Frame2",
                                {16, 52, 300, 124});
  submissionBox_ = Place(new QCheckBox(KindCaption(naming::IdentityKind::Sfzfcjg), submissionFrame), "KHXX0",
                         {12, 24, 270, 24});
  submissionBox_->setChecked(true);
  dataDateCaption_->setParent(submissionFrame);
  Place(dataDateCaption_, "Label2", {12, 56, 90, 26})->setText(QStringLiteral("报送文件日期"));
  dataDate_->setParent(submissionFrame);
  dataDate_->setGeometry(104, 56, 120, 26);
  dataDate_->setDate(QDate(2010, 1, 7));
  watchDatePicker(dataDate_);
  submissionViewerButton_ = MakeButton(submissionFrame, "Command4", QStringLiteral("文件查看及选择"), {12, 88, 130, 28});

  auto* comparisonFrame = Place(new QGroupBox(QStringLiteral("比对文件（SFZHCQK）"), this), "Frame8",
                                {324, 52, 300, 124});
  comparisonBox_ = Place(new QCheckBox(KindCaption(naming::IdentityKind::Sfzhcqk), comparisonFrame), "KHXX1",
                         {12, 24, 270, 24});
  auto* sendDateCaption = Place(new QLabel(QStringLiteral("比对文件日期"), comparisonFrame), "Label8", {12, 56, 90, 26});
  sendDate_ = MakeDatePicker(comparisonFrame, "SendDate", {104, 56, 120, 26});
  sendDate_->setDate(QDate::currentDate());
  watchDatePicker(sendDate_);
  comparisonViewerButton_ = MakeButton(comparisonFrame, "Command5", QStringLiteral("文件查看及选择"), {12, 88, 130, 28});

  const int height = placeSharedControls(188, kMainWidth);
  auto* helpFrame = Place(new QGroupBox(QStringLiteral("提示说明"), this), "Frame9",
                          {kMainWidth, 10, kHelpWidth, height - 26});
  noteText_ = Place(new QPlainTextEdit(kOpeningNote, helpFrame), "NoteText",
                    {10, 24, kHelpWidth - 20, helpFrame->height() - 76});
  noteText_->setReadOnly(true);
  ShowHelp(noteText_, false);
  helpButton_ = MakeButton(helpFrame, "Command6", kHelpOffCaption, {10, helpFrame->height() - 42, 60, 28});
  helpButton_->installEventFilter(this);
  resize(kMainWidth + kHelpWidth + 16, height);

  const QString dateHelp = QStringLiteral(
      "报送数据的发送日期及报送文件的文件名中的8位日期，点击[ 下拉按钮 ]将弹出日历菜单供日期设定。");
  const QString sendDateHelp = QStringLiteral(
      "比对数据的发送日期及比对文件名中的8位日期，点击[ 下拉按钮 ]将弹出日历菜单供日期设定。");
  const QString viewerHelp = QStringLiteral(
      "点击[ 查看 ]按钮可以看到当前设置下符合文件特征的所有文件，单击相应文件可自动将文件日期填写到日期栏。");
  fixedHelp_ = {
      {checkButton_, QStringLiteral("确认设置无误后，点击此处开始文件检查。")},
      {latestResultsButton_, QStringLiteral("检查完成后点击此处查看检查结果，当未检查就点击此处时可查看到最近一次的文件检查结果。")},
      {sendDateCaption, sendDateHelp + QStringLiteral("(未勾选无效)")},
      {sendDate_, sendDateHelp},
      {dataDateCaption_, dateHelp},
      {dataDate_, dateHelp},
      {submissionViewerButton_, viewerHelp},
      {comparisonViewerButton_, viewerHelp},
      {fileTypeFrame_, QStringLiteral("[ 报送文件 ]和[ 比对文件 ]必须存放于同一目录并且格式要一致，即必须同为ZIP或同为DBF。")},
      {comparisonFrame, QStringLiteral("[ 比对文件 ]为每周第一个交易日由登记结算机构下发给各证券公司的[ 投资者身份信息核查异常明细表 ]数据文件。")},
      {companyCode_, QStringLiteral("在[ 证券公司代码 ]栏中输入证券公司参与人编码，将会在[ 证券公司 ]名称栏中显示公司名称。")},
      {submissionFrame, QStringLiteral("[ 报送文件 ]格式为： 证券公司编码_SFZFCJG_发送日期.ZIP,检查时也可选用DBF文件进行检查。")},
  };

  connect(submissionViewerButton_, &QPushButton::clicked, this, &IdentityCheckWindow::openSubmissionViewer);
  connect(comparisonViewerButton_, &QPushButton::clicked, this, &IdentityCheckWindow::openComparisonViewer);
  connect(helpButton_, &QPushButton::clicked, this, &IdentityCheckWindow::toggleHelp);
  connect(submissionBox_, &QCheckBox::clicked, this, &IdentityCheckWindow::submissionBoxClicked);
  connect(comparisonBox_, &QCheckBox::toggled, this, &IdentityCheckWindow::comparisonBoxToggled);
  comparisonBoxToggled(false);
  finishStartUp();
  // The help panel stands right of everything.
  setTabOrder(statusLine_, noteText_);
  setTabOrder(noteText_, helpButton_);
}

QList<QWidget*> IdentityCheckWindow::ownTabOrder() const {
  return {submissionBox_, dataDate_, submissionViewerButton_, comparisonBox_, sendDate_, comparisonViewerButton_};
}

QString IdentityCheckWindow::noteText() const { return noteText_->toPlainText(); }

bool IdentityCheckWindow::helpOn() const {
  return noteText_->palette().color(QPalette::Text) ==
         QApplication::palette().color(QPalette::WindowText);
}

bool IdentityCheckWindow::companyCodeGiven() {
  if (!companyCode_->text().isEmpty()) return true;
  boxes_.show(QStringLiteral("提示信息"), QStringLiteral("请先输入证券公司编码"), BoxIcon::None,
              BoxButtons::Ok);
  return false;
}

void IdentityCheckWindow::openSubmissionViewer() { openViewer(Viewer::Submission); }

void IdentityCheckWindow::openComparisonViewer() { openViewer(Viewer::Comparison); }

void IdentityCheckWindow::openViewer(Viewer viewer) {
  if (!companyCodeGiven()) return;
  OpenFileViewer(viewer, this, {sourceDir_, companyCode_, zipType_, dataDate_, sendDate_, comparisonBox_});
  activated();
}

void IdentityCheckWindow::toggleHelp() {
  const bool on = helpOn();
  ShowHelp(noteText_, !on);
  helpButton_->setText(on ? kHelpOffCaption : kHelpOnCaption);
}

void IdentityCheckWindow::submissionBoxClicked() {
  if (!submissionBox_->isChecked()) submissionBox_->setChecked(true);
}

void IdentityCheckWindow::comparisonBoxToggled(bool checked) {
  sendDate_->setEnabled(checked);
  comparisonViewerButton_->setEnabled(checked);
  QPalette palette = comparisonBox_->palette();
  palette.setColor(QPalette::WindowText,
                   QApplication::palette().color(checked ? QPalette::ButtonText : QPalette::Shadow));
  comparisonBox_->setPalette(palette);
}

// The dates and the comparison file come back as the operator left them.
void IdentityCheckWindow::restoreOwnSettings(const settings::SettingsFile& saved) {
  const std::vector<std::string>& lines = saved.windowLines;
  if (lines.size() < kOwnLines) return;
  RestoreDate(dataDate_, lines[kDataDateLine]);
  comparisonBox_->setChecked(lines[kComparisonTickedLine] == "1");
  RestoreDate(sendDate_, lines[kSendDateLine]);
}

void IdentityCheckWindow::saveOwnSettings(settings::SettingsFile& settings) const {
  settings.windowLines.assign(kOwnLines, std::string());
  settings.windowLines[kDataDateLine] = dataDate_->date().toString(kSavedDateForm).toStdString();
  settings.windowLines[kComparisonTickedLine] = comparisonBox_->isChecked() ? "1" : "0";
  settings.windowLines[kSendDateLine] = sendDate_->date().toString(kSavedDateForm).toStdString();
}

void IdentityCheckWindow::addOwnRawInputs(pipeline::RawRunInputs& raw) const {
  raw.selectedKindCount = comparisonBox_->isChecked() ? 2 : 1;
}

void IdentityCheckWindow::addOwnRunInputs(pipeline::RunInputs& inputs) const {
  inputs.comparisonDate = sendDate_->date().toString(QStringLiteral("yyyyMMdd")).toStdString();
  inputs.selectedKinds = {submissionBox_->isChecked(), comparisonBox_->isChecked()};
}

QString IdentityCheckWindow::helpText(QWidget* control) const {
  if (control == targetDirButton_) return ButtonHelp(targetDirButton_, targetDirCaption_);
  if (control == sourceDirButton_) return ButtonHelp(sourceDirButton_, sourceDirCaption_);
  return fixedHelp_.value(control);
}

void IdentityCheckWindow::pointerMovedOver(QWidget* control) {
  CheckWindow::pointerMovedOver(control);
  if (!control) {
    noteText_->clear();
    return;
  }
  const QString help = helpText(control);
  if (!help.isEmpty()) noteText_->setPlainText(help);
}

bool IdentityCheckWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == helpButton_ && event->type() == QEvent::MouseButtonPress) {
    noteText_->setPlainText(helpButton_->text() == kHelpOffCaption
                                ? QStringLiteral("开启信息提示功能。")
                                : QStringLiteral("关闭信息提示功能。"));
  }
  return CheckWindow::eventFilter(watched, event);
}

}  // namespace fc::gui
