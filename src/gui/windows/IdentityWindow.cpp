#include "gui/windows/IdentityWindow.h"

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

#include "gui/dialogs/ViewDir.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/windows/Controls.h"
#include "naming/Kinds.h"
#include "pipeline/Validation.h"

namespace fc::gui {

namespace {

constexpr int kMainWidth = 640;
constexpr int kHelpWidth = 204;
const QString kOpeningNote = QStringLiteral("鼠标停留区域的事项，在此处会有详细说明。\n");
const QString kHelpOnCaption = QStringLiteral("关");
const QString kHelpOffCaption = QStringLiteral("开");

void SetNoteColour(QPlainTextEdit* note, QPalette::ColorRole systemRole) {
  QPalette palette = note->palette();
  palette.setColor(QPalette::Text, QApplication::palette().color(systemRole));
  note->setPalette(palette);
}

// The boxes carry their table's description after one blank.
QString KindCaption(int index) {
  const std::string_view filecat = naming::kIdentityKinds[index].filecat;
  return QLatin1Char(' ') + QString::fromUtf8(filecat.data(), filecat.size());
}

QString ButtonHelp(const QPushButton* button, const QLabel* label) {
  return QStringLiteral("点击[ ") + button->text() + QStringLiteral(" ]按钮,设置[ ") + label->text() +
         QStringLiteral(" ]");
}

}  // namespace

IdentityWindow::IdentityWindow(settings::AppHome home, MessageBoxes& boxes, QWidget* parent)
    : CheckWindow(pipeline::Submission::Identity, std::move(home), boxes, parent) {
  setObjectName(QStringLiteral("mainfrm2"));
  setWindowTitle(QStringLiteral("证券公司投资者身份信息复查数据检查"));

  auto* frame2 = Place(new QGroupBox(QStringLiteral("报送文件（SFZFCJG）"), this), "Frame2",
                       {16, 52, 300, 124});
  khxx0_ = Place(new QCheckBox(KindCaption(0), frame2), "KHXX0",
                 {12, 24, 270, 24});
  khxx0_->setChecked(true);
  label2_->setParent(frame2);
  Place(label2_, "Label2", {12, 56, 90, 26})->setText(QStringLiteral("报送文件日期"));
  dataDate_->setParent(frame2);
  dataDate_->setGeometry(104, 56, 120, 26);
  dataDate_->setDate(QDate(2010, 1, 7));
  watchDatePicker(dataDate_);
  command4_ = MakeButton(frame2, "Command4", QStringLiteral("文件查看及选择"), {12, 88, 130, 28});

  auto* frame8 = Place(new QGroupBox(QStringLiteral("比对文件（SFZHCQK）"), this), "Frame8",
                       {324, 52, 300, 124});
  khxx1_ = Place(new QCheckBox(KindCaption(1), frame8), "KHXX1",
                 {12, 24, 270, 24});
  auto* label8 = Place(new QLabel(QStringLiteral("比对文件日期"), frame8), "Label8", {12, 56, 90, 26});
  sendDate_ = MakeDatePicker(frame8, "SendDate", {104, 56, 120, 26});
  sendDate_->setDate(QDate::currentDate());
  watchDatePicker(sendDate_);
  command5_ = MakeButton(frame8, "Command5", QStringLiteral("文件查看及选择"), {12, 88, 130, 28});

  const int height = placeSharedControls(188, kMainWidth);
  auto* frame9 = Place(new QGroupBox(QStringLiteral("提示说明"), this), "Frame9",
                       {kMainWidth, 10, kHelpWidth, height - 26});
  noteText_ = Place(new QPlainTextEdit(kOpeningNote, frame9), "NoteText",
                    {10, 24, kHelpWidth - 20, frame9->height() - 76});
  noteText_->setReadOnly(true);
  SetNoteColour(noteText_, QPalette::Base);
  command6_ = MakeButton(frame9, "Command6", kHelpOffCaption, {10, frame9->height() - 42, 60, 28});
  command6_->installEventFilter(this);
  resize(kMainWidth + kHelpWidth + 16, height);

  const QString dateHelp = QStringLiteral(
      "报送数据的发送日期及报送文件的文件名中的8位日期，点击[ 下拉按钮 ]将弹出日历菜单供日期设定。");
  const QString sendDateHelp = QStringLiteral(
      "比对数据的发送日期及比对文件名中的8位日期，点击[ 下拉按钮 ]将弹出日历菜单供日期设定。");
  const QString viewerHelp = QStringLiteral(
      "点击[ 查看 ]按钮可以看到当前设置下符合文件特征的所有文件，单击相应文件可自动将文件日期填写到日期栏。");
  fixedHelp_ = {
      {chkCmd_, QStringLiteral("确认设置无误后，点击此处开始文件检查。")},
      {command1_, QStringLiteral("检查完成后点击此处查看检查结果，当未检查就点击此处时可查看到最近一次的文件检查结果。")},
      {label8, sendDateHelp + QStringLiteral("(未勾选无效)")},
      {sendDate_, sendDateHelp},
      {label2_, dateHelp},
      {dataDate_, dateHelp},
      {command4_, viewerHelp},
      {command5_, viewerHelp},
      {frame4_, QStringLiteral("[ 报送文件 ]和[ 比对文件 ]必须存放于同一目录并且格式要一致，即必须同为ZIP或同为DBF。")},
      {frame8, QStringLiteral("[ 比对文件 ]为每周第一个交易日由登记结算机构下发给各证券公司的[ 投资者身份信息核查异常明细表 ]数据文件。")},
      {zqgsdm_, QStringLiteral("在[ 证券公司代码 ]栏中输入证券公司参与人编码，将会在[ 证券公司 ]名称栏中显示公司名称。")},
      {frame2, QStringLiteral("[ 报送文件 ]格式为： 证券公司编码_SFZFCJG_发送日期.ZIP,检查时也可选用DBF文件进行检查。")},
  };

  connect(command4_, &QPushButton::clicked, this, &IdentityWindow::openSubmissionViewer);
  connect(command5_, &QPushButton::clicked, this, &IdentityWindow::openComparisonViewer);
  connect(command6_, &QPushButton::clicked, this, &IdentityWindow::toggleHelp);
  connect(khxx0_, &QCheckBox::clicked, this, &IdentityWindow::submissionBoxClicked);
  connect(khxx1_, &QCheckBox::toggled, this, &IdentityWindow::comparisonBoxToggled);
  comparisonBoxToggled(false);
  finishStartUp();
  // The help panel stands right of everything.
  setTabOrder(stateStr_, noteText_);
  setTabOrder(noteText_, command6_);
}

QList<QWidget*> IdentityWindow::ownTabOrder() const {
  return {khxx0_, dataDate_, command4_, khxx1_, sendDate_, command5_};
}

QString IdentityWindow::noteText() const { return noteText_->toPlainText(); }

bool IdentityWindow::helpOn() const {
  return noteText_->palette().color(QPalette::Text) ==
         QApplication::palette().color(QPalette::WindowText);
}

bool IdentityWindow::companyCodeGiven() {
  if (!zqgsdm_->text().isEmpty()) return true;
  boxes_.show(QStringLiteral("提示信息"), QStringLiteral("请先输入证券公司编码"), BoxIcon::None,
              BoxButtons::Ok);
  return false;
}

void IdentityWindow::openSubmissionViewer() { openViewer(Viewer::ViewDir1); }

void IdentityWindow::openComparisonViewer() { openViewer(Viewer::ViewDir2); }

void IdentityWindow::openViewer(Viewer viewer) {
  if (!companyCodeGiven()) return;
  OpenViewDir(viewer, this, {sourceDir_, zqgsdm_, chkZip_, dataDate_, sendDate_, khxx1_});
  activated();
}

void IdentityWindow::toggleHelp() {
  const bool on = helpOn();
  SetNoteColour(noteText_, on ? QPalette::Base : QPalette::WindowText);
  command6_->setText(on ? kHelpOffCaption : kHelpOnCaption);
}

void IdentityWindow::submissionBoxClicked() {
  if (!khxx0_->isChecked()) khxx0_->setChecked(true);
}

void IdentityWindow::comparisonBoxToggled(bool checked) {
  sendDate_->setEnabled(checked);
  command5_->setEnabled(checked);
  QPalette palette = khxx1_->palette();
  palette.setColor(QPalette::WindowText,
                   QApplication::palette().color(checked ? QPalette::ButtonText : QPalette::Shadow));
  khxx1_->setPalette(palette);
}

void IdentityWindow::addOwnRawInputs(pipeline::RawRunInputs& raw) const {
  raw.selectedKindCount = khxx1_->isChecked() ? 2 : 1;
}

void IdentityWindow::addOwnRunInputs(pipeline::RunInputs& inputs) const {
  inputs.comparisonDate = sendDate_->date().toString(QStringLiteral("yyyyMMdd")).toStdString();
  inputs.selectedKinds = {khxx0_->isChecked(), khxx1_->isChecked()};
}

QString IdentityWindow::helpText(QWidget* control) const {
  if (control == command3_) return ButtonHelp(command3_, label6_);
  if (control == command2_) return ButtonHelp(command2_, label5_);
  return fixedHelp_.value(control);
}

void IdentityWindow::pointerMovedOver(QWidget* control) {
  CheckWindow::pointerMovedOver(control);
  if (!control) {
    noteText_->clear();
    return;
  }
  const QString help = helpText(control);
  if (!help.isEmpty()) noteText_->setPlainText(help);
}

bool IdentityWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == command6_ && event->type() == QEvent::MouseButtonPress) {
    noteText_->setPlainText(command6_->text() == kHelpOffCaption
                                ? QStringLiteral("开启信息提示功能。")
                                : QStringLiteral("关闭信息提示功能。"));
  }
  return CheckWindow::eventFilter(watched, event);
}

}  // namespace fc::gui
