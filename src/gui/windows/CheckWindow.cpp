#include "gui/windows/CheckWindow.h"

#include <QApplication>
#include <QDateEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <exception>
#include <filesystem>
#include <utility>

#include "gui/dialogs/SelectDir.h"
#include "gui/results/ResultsWindow.h"
#include "gui/results/ReportButtons.h"
#include "gui/results/VerdictLine.h"
#include "gui/shell/LayoutScaling.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/shell/PointerWatch.h"
#include "gui/windows/CompanyCodeEntry.h"
#include "gui/windows/Controls.h"
#include "gui/windows/RunBridge.h"
#include "pipeline/Validation.h"
#include "settings/PrivateFiles.h"
#include "settings/NumberSettings.h"
#include "settings/Settings.h"
#include "store/Store.h"
#include "text/Text.h"

namespace fc::gui {

namespace {

const QString kDateError = QStringLiteral("数据日期输入错误，要求格式为YYYY-MM-DD");
const QString kBusyRefusal = QStringLiteral("正在检查文件，请等待检查完毕后再关闭窗口");
const QString kStopQuestion = QStringLiteral("是否停止检查?");

QString FromStd(const std::string& text) { return QString::fromStdString(text); }
std::string Trimmed(const QLineEdit* field) { return std::string(text::Trim(field->text().toStdString())); }

// The system colours the file-type switch paints with.
void SetTextColour(QWidget* widget, QPalette::ColorRole systemRole) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, QApplication::palette().color(systemRole));
  widget->setPalette(palette);
}

void SetBackground(QLineEdit* field, QPalette::ColorRole systemRole) {
  QPalette palette = field->palette();
  palette.setColor(QPalette::Base, QApplication::palette().color(systemRole));
  field->setPalette(palette);
}

bool IsEnterKey(const QEvent* event) {
  if (event->type() != QEvent::KeyPress) return false;
  int key = static_cast<const QKeyEvent*>(event)->key();
  return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// The records limit and the thread count are the operator's to edit in their
// own files: the window only reads them, and writes the default of one that
// is missing so that it is there to edit.
bool WriteNumberSettingsIfMissing(const settings::AppHome& home, std::string& error) {
  std::error_code unknown;
  if (!std::filesystem::exists(home.recordsLimitFile(), unknown) && !unknown &&
      !settings::WriteRecordsLimit(home.recordsLimitFile(), settings::kDefaultRecordsLimit, error))
    return false;
  if (std::filesystem::exists(home.threadsFile(), unknown) || unknown) return true;
  return settings::WriteThreads(home.threadsFile(), settings::kDefaultThreads, error);
}

}  // namespace

CheckWindow::CheckWindow(pipeline::Submission submission, settings::AppHome home,
                         MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), boxes_(boxes), submission_(submission), home_(std::move(home)) {
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  setSizeGripEnabled(true);
  // Only ExitCMD and the close box close the window: Esc would lose the
  // operator's date, ticks and selection (keyPressEvent).
  label1_ = Place(new QLabel(QStringLiteral("证券公司编码"), this), "Label1", {16, 16, 90, 24});
  zqgsdm_ = Place(new QLineEdit(this), "ZQGSDM", {106, 16, 100, 24});
  label7_ = Place(new QLabel(QStringLiteral("证券公司名称"), this), "Label7", {226, 16, 90, 24});
  zqgsmc_ = Place(new QLineEdit(this), "ZQGSMC", {316, 16, 308, 24});
  zqgsmc_->setReadOnly(true);
  label2_ = new QLabel(this);
  dataDate_ = MakeDatePicker(this, "DataDate", {});

  frame4_ = Place(new QGroupBox(QStringLiteral("检查文件类型"), this), "Frame4", {});
  chkZip_ = Place(new QRadioButton(QStringLiteral("ZIP文件"), frame4_), "CHKZIP", {14, 22, 90, 22});
  chkDbf_ = Place(new QRadioButton(QStringLiteral("DBF文件"), frame4_), "CHKDBF", {110, 22, 90, 22});
  chkZip_->setChecked(true);
  label5_ = Place(new QLabel(QStringLiteral("ZIP文件目录"), this), "Label5", {});
  sourceDir_ = Place(new QLineEdit(this), "SourceDir", {});
  command2_ = MakeButton(this, "Command2", QStringLiteral("设置ZIP文件目录"), {});
  frame5_ = Place(new QGroupBox(this), "Frame5", {});
  label6_ = Place(new QLabel(QStringLiteral("ZIP生成目录"), frame5_), "Label6", {});
  targetDir_ = Place(new QLineEdit(frame5_), "TargetDir", {});
  command3_ = MakeButton(this, "Command3", QStringLiteral("设置ZIP生成目录"), {});
  chkCmd_ = MakeButton(this, "ChkCmd", QStringLiteral("检查DBF文件"), {});
  stopCmd_ = MakeButton(this, "StopCmd", QStringLiteral("停止检查"), {});
  stopCmd_->setEnabled(false);
  command1_ = MakeButton(this, "Command1", QStringLiteral("查看最近检查结果"), {});
  exitCmd_ = MakeButton(this, "ExitCMD", QStringLiteral("返回主界面"), {});
  stateStr_ = Place(new QLineEdit(this), "StateStr", {});
  stateStr_->setReadOnly(true);
  progress_ = Place(new QProgressBar(this), "RunProgress", {});
  progress_->setFormat(QStringLiteral("%v / %m"));
  progress_->setTextVisible(false);
  verdictLine_ = Place(new QLabel(this), "RunVerdict", {});
  verdictLine_->hide();

  entry_ = new CompanyCodeEntry(zqgsdm_, zqgsmc_, boxes_, this);
  entry_->setNextField(dataDate_);
  bridge_ = new RunBridge(boxes_, this);
  auto* watch = new PointerWatch(this);

  connect(chkDbf_, &QRadioButton::toggled, this, &CheckWindow::applyCheckType);
  connect(chkCmd_, &QPushButton::clicked, this, &CheckWindow::startCheck);
  connect(stopCmd_, &QPushButton::clicked, this, &CheckWindow::stopCheck);
  connect(command1_, &QPushButton::clicked, this, &CheckWindow::showResults);
  connect(command2_, &QPushButton::clicked, this, &CheckWindow::chooseSourceDir);
  connect(command3_, &QPushButton::clicked, this, &CheckWindow::chooseTargetDir);
  connect(exitCmd_, &QPushButton::clicked, this, &CheckWindow::returnToWelcome);
  connect(bridge_, &RunBridge::statusChanged, stateStr_, &QLineEdit::setText);
  connect(bridge_, &RunBridge::progressChanged, this, &CheckWindow::showProgress);
  connect(bridge_, &RunBridge::finished, this, &CheckWindow::runEnded);
  connect(watch, &PointerWatch::movedOver, this, &CheckWindow::pointerMovedOver);
  // A long path is cut by its field; the pointer resting on it shows it whole.
  for (QLineEdit* field : {stateStr_, sourceDir_, targetDir_})
    connect(field, &QLineEdit::textChanged, field, &QWidget::setToolTip);
}

CheckWindow::~CheckWindow() = default;

int CheckWindow::placeSharedControls(int top, int width) {
  const int buttonLeft = width - 146;
  frame4_->setGeometry(16, top, 210, 52);
  const int sourceTop = top + 66;
  label5_->setGeometry(16, sourceTop, 90, 26);
  sourceDir_->setGeometry(106, sourceTop, buttonLeft - 116, 26);
  command2_->setGeometry(buttonLeft, sourceTop - 1, 130, 28);
  const int targetTop = sourceTop + 38;
  frame5_->setGeometry(10, targetTop - 8, buttonLeft - 14, 40);
  label6_->setGeometry(6, 8, 90, 26);
  targetDir_->setGeometry(96, 8, frame5_->width() - 100, 26);
  command3_->setGeometry(buttonLeft, targetTop - 1, 130, 28);
  const int buttonsTop = targetTop + 50;
  chkCmd_->setGeometry(16, buttonsTop, 140, 32);
  command1_->setGeometry(170, buttonsTop, 150, 32);
  stopCmd_->setGeometry(334, buttonsTop, 110, 32);
  exitCmd_->setGeometry(buttonLeft, buttonsTop, 130, 32);
  const int statusTop = buttonsTop + 46;
  stateStr_->setGeometry(16, statusTop, buttonLeft - 26, 26);
  progress_->setGeometry(buttonLeft, statusTop, 130, 26);
  const int verdictTop = statusTop + 32;
  verdictLine_->setGeometry(16, verdictTop, width - 32, 26);
  return verdictTop + 26 + 16;
}

void CheckWindow::finishStartUp() {
  if (settings::NarrowHome(home_.home)) stateStr_->setText(FromStd(settings::NarrowedHomeText(home_.home)));
  std::string savedCode;
  if (std::optional<settings::SettingsFile> saved = settings::ReadSettings(home_.settingsFile())) {
    // Trimmed: the field takes six characters, and blanks around a code
    // would push its digits out.
    savedCode = text::Trim(saved->companyCode);
    zqgsdm_->setText(FromStd(savedCode));
    restoreOwnSettings(*saved);
    sourceDir_->setText(FromStd(saved->sourceDir));
  }
  // Every window opens on the ZIP type with an empty output directory,
  // whatever the saved type and directory were, and with its captions.
  chkZip_->setChecked(true);
  applyCheckType();
  try {
    store_ = store::Store::open(home_.home, home_.data);
  } catch (const std::exception& e) {
    boxes_.show(QStringLiteral("错误提示"), QStringLiteral("检查结果库无法打开：") + FromStd(e.what()),
                BoxIcon::Error, BoxButtons::Ok);
  }
  entry_->setStore(store_.get());
  entry_->lookUpAtStartUp(savedCode);
  orderTabs();
  RememberLayout(this);
}

void CheckWindow::orderTabs() {
  QList<QWidget*> order = {zqgsdm_, zqgsmc_};
  order += ownTabOrder();
  order += {chkZip_, chkDbf_, sourceDir_, command2_, targetDir_, command3_, chkCmd_, stopCmd_, command1_, exitCmd_, stateStr_};
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

bool CheckWindow::zipTypeSelected() const { return chkZip_->isChecked(); }

bool CheckWindow::running() const { return bridge_->running(); }

void CheckWindow::applyCheckType() {
  const bool dbf = chkDbf_->isChecked();
  label5_->setText(dbf ? QStringLiteral("DBF文件目录") : QStringLiteral("ZIP文件目录"));
  chkCmd_->setText(dbf ? QStringLiteral("检查DBF文件") : QStringLiteral("检查ZIP文件"));
  command2_->setText(dbf ? QStringLiteral("设置DBF文件目录") : QStringLiteral("设置ZIP文件目录"));
  label6_->setText(QStringLiteral("ZIP生成目录"));
  command3_->setText(QStringLiteral("设置ZIP生成目录"));
  label6_->setEnabled(dbf);
  SetTextColour(label6_, dbf ? QPalette::ButtonText : QPalette::Dark);
  command3_->setEnabled(dbf);
  frame5_->setEnabled(dbf);
  targetDir_->setText(dbf ? FromStd(Trimmed(sourceDir_)) : QString());
  SetBackground(targetDir_, dbf ? QPalette::Base : QPalette::Button);
}

void CheckWindow::startCheck() {
  if (pipeline::SourceDirHasBlank(sourceDir_->text().toStdString())) {
    boxes_.show(QStringLiteral("信息提示"), QString::fromUtf8(pipeline::kBlankInPathMessage),
                BoxIcon::Question, BoxButtons::Ok);
    return;
  }
  chkCmd_->setEnabled(false);
  pipeline::CompanyQuestions questions{
      [this](const std::string& code) {
        std::optional<std::string> name = entry_->findCompany(code);
        if (name) zqgsmc_->setText(FromStd(*name));
        return name;
      },
      [this] {
        return boxes_.show(QStringLiteral("提示信息"),
                           QString::fromUtf8(pipeline::kUnknownCompanyQuestion), BoxIcon::None,
                           BoxButtons::YesNo) == BoxAnswer::Yes;
      }};
  const pipeline::RawRunInputs raw = rawInputs();
  std::optional<pipeline::InputProblem> problem = pipeline::ValidateRunInputs(raw, questions);
  if (!problem) problem = pipeline::CheckOutputDir(raw);
  if (problem) {
    if (!problem->message.empty()) ShowInputError(boxes_, FromStd(problem->message));
    focusInput(problem->focus);
    chkCmd_->setEnabled(true);
    return;
  }
  setCursor(Qt::WaitCursor);
  exitCmd_->setEnabled(false);
  stopCmd_->setEnabled(true);
  progress_->reset();
  progress_->setTextVisible(false);
  verdictLine_->hide();
  bridge_->start(home_, runInputs());
}

void CheckWindow::stopCheck() {
  if (!running()) return;
  stopCmd_->setEnabled(false);
  bridge_->requestStop();
  stateStr_->setText(QStringLiteral("正在停止检查......"));
}

void CheckWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) return QDialog::keyPressEvent(event);
  event->accept();
  if (!running() || !stopCmd_->isEnabled()) return;
  if (boxes_.show(QStringLiteral("提示信息"), kStopQuestion, BoxIcon::Question, BoxButtons::YesNo) == BoxAnswer::Yes)
    stopCheck();
}

void CheckWindow::runEnded(bool completed) {
  ShowVerdict(verdictLine_, LatestRunFacts(home_.storeFile()));
  verdictLine_->show();
  unsetCursor();
  stopCmd_->setEnabled(false);
  exitCmd_->setEnabled(true);
  chkCmd_->setEnabled(true);
  emit checkFinished(completed);
}

void CheckWindow::showProgress(int current, int total) {
  if (total <= 0) return;
  progress_->setRange(0, total);
  progress_->setValue(current);
  progress_->setTextVisible(true);
}

std::string CheckWindow::submissionCode() const {
  return submission_ == pipeline::Submission::Account ? "account" : "identity";
}

// During a run the window shows the results so far, marked as such, and
// shows them whole once the run has ended; the status line keeps following
// the run meanwhile.
void CheckWindow::showResults() {
  if (!running()) {
    stateStr_->clear();
    progress_->reset();
    progress_->setTextVisible(false);
  }
  {
    ResultsWindow results(store_.get(), boxes_, this);
    results.useAgreement(home_.data / "interface" / "layouts.csv");
    results.describeRun(LatestRunFacts(home_.storeFile()), submissionCode());
    ReportButtons reportButtons(&results, home_, boxes_);
    reportButtons.refuseExportWhile([this] { return running(); });
    if (running()) {
      results.markRunning();
      connect(bridge_, &RunBridge::finished, &results, [this, &results] {
        results.reload();
        results.describeRun(LatestRunFacts(home_.storeFile()), submissionCode());
      });
    }
    results.exec();
  }
  activated();
}

void CheckWindow::chooseSourceDir() {
  const Chooser chooser =
      submission_ == pipeline::Submission::Account ? Chooser::SelectDir3 : Chooser::SelectDir1;
  OpenSelectDir(chooser, this, {sourceDir_, zqgsdm_, zqgsmc_, chkZip_}, home_, store_.get(), boxes_);
  activated();
}

void CheckWindow::chooseTargetDir() {
  const Chooser chooser =
      submission_ == pipeline::Submission::Account ? Chooser::SelectDir4 : Chooser::SelectDir2;
  OpenSelectDir(chooser, this, {targetDir_, nullptr, nullptr, chkZip_}, home_, store_.get(), boxes_);
  activated();
}

void CheckWindow::returnToWelcome() { reject(); }

void CheckWindow::activated() {
  zqgsdm_->setFocus(Qt::OtherFocusReason);
  RememberLayout(this);
}

void CheckWindow::done(int result) {
  if (running()) {  // the run owns the store and the working directories
    boxes_.show(QStringLiteral("提示信息"), kBusyRefusal, BoxIcon::Information, BoxButtons::Ok);
    return;
  }
  saveSettings();
  entry_->setStore(nullptr);
  store_.reset();
  QDialog::done(result);
}

void CheckWindow::saveSettings() {
  settings::SettingsFile current;
  current.companyCode = Trimmed(zqgsdm_);
  current.beginNo = "0";
  current.endNo = "0";
  saveOwnSettings(current);
  current.fileType = zipTypeSelected() ? settings::kFileTypeZip : settings::kFileTypeDbf;
  current.sourceDir = Trimmed(sourceDir_);
  current.targetDir = Trimmed(targetDir_);
  std::string error;
  if (!settings::WriteSettings(home_.settingsFile(), current, error) ||
      !WriteNumberSettingsIfMissing(home_, error))
    boxes_.show(QStringLiteral("错误提示"), QStringLiteral("设置文件无法保存：") + FromStd(error),
                BoxIcon::Error, BoxButtons::Ok);
}

pipeline::RawRunInputs CheckWindow::rawInputs() const {
  pipeline::RawRunInputs raw;
  raw.submission = submission_;
  raw.companyCode = zqgsdm_->text().toStdString();
  raw.sourceDir = sourceDir_->text().toStdString();
  raw.targetDir = targetDir_->text().toStdString();
  raw.checkType = zipTypeSelected() ? pipeline::CheckType::Zip : pipeline::CheckType::Dbf;
  raw.sourceCaption = label5_->text().toStdString();
  raw.targetCaption = label6_->text().toStdString();
  addOwnRawInputs(raw);
  return raw;
}

pipeline::RunInputs CheckWindow::runInputs() const {
  pipeline::RunInputs inputs;
  inputs.submission = submission_;
  inputs.companyCode = Trimmed(zqgsdm_);
  inputs.dataDate = dataDate_->date().toString(QStringLiteral("yyyyMMdd")).toStdString();
  inputs.sourceDir = pipeline::RunDirectory(sourceDir_->text().toStdString());
  inputs.targetDir = pipeline::RunDirectory(targetDir_->text().toStdString());
  inputs.checkType = zipTypeSelected() ? pipeline::CheckType::Zip : pipeline::CheckType::Dbf;
  inputs.recordsLimit = static_cast<size_t>(settings::ReadRecordsLimit(home_.recordsLimitFile()));
  inputs.threads = settings::ReadThreads(home_.threadsFile());
  addOwnRunInputs(inputs);
  return inputs;
}

QWidget* CheckWindow::inputField(pipeline::InputField field) const {
  switch (field) {
    case pipeline::InputField::SourceDir: return sourceDir_;
    case pipeline::InputField::TargetDir: return targetDir_;
    default: return zqgsdm_;
  }
}

void CheckWindow::focusInput(pipeline::InputField field) {
  inputField(field)->setFocus(Qt::OtherFocusReason);
}

void CheckWindow::watchDatePicker(DatePicker* picker) {
  picker->installEventFilter(this);
  // Told once the focus has arrived where the operator moved it, then back
  // to the picker, which shows its last date again.
  connect(picker, &DatePicker::typingRefused, this, [this, picker] {
    QMetaObject::invokeMethod(
        this,
        [this, picker] {
          ShowInputError(boxes_, kDateError);
          picker->setFocus(Qt::OtherFocusReason);
        },
        Qt::QueuedConnection);
  });
}

bool CheckWindow::eventFilter(QObject* watched, QEvent* event) {
  auto* picker = qobject_cast<DatePicker*>(watched);
  if (!picker || !IsEnterKey(event)) return QDialog::eventFilter(watched, event);
  if (picker->finishTyping())
    dateAccepted(picker);
  else
    ShowInputError(boxes_, kDateError);
  return true;
}

void CheckWindow::pointerMovedOver(QWidget* control) {
  if (!control) entry_->refresh();
}

void CheckWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  ScaleLayout(this);
}

void CheckWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  activated();
}

}  // namespace fc::gui
