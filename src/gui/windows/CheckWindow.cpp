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

#include "gui/dialogs/DirectoryChooserDialog.h"
#include "gui/results/ReportButtons.h"
#include "gui/results/ResultsWindow.h"
#include "gui/results/VerdictLine.h"
#include "gui/shell/LayoutScaling.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/shell/PointerWatch.h"
#include "gui/shell/QtText.h"
#include "gui/windows/CompanyCodeEntry.h"
#include "gui/windows/Controls.h"
#include "gui/windows/RuleSetChoice.h"
#include "gui/windows/RunBridge.h"
#include "pipeline/Validation.h"
#include "ruleset/RuleSets.h"
#include "settings/NumberSettings.h"
#include "settings/PrivateFiles.h"
#include "settings/Settings.h"
#include "store/Store.h"
#include "text/Text.h"

namespace fc::gui {

namespace {

const QString kDateError = QStringLiteral("数据日期输入错误，要求格式为YYYY-MM-DD");
const QString kBusyRefusal = QStringLiteral("正在检查文件，请等待检查完毕后再关闭窗口");
const QString kStopQuestion = QStringLiteral("是否停止检查?");

std::string Trimmed(const QLineEdit* field) { return std::string(text::Trim(field->text().toStdString())); }

// A folder field's path as kept, whatever separators it was typed or shown with.
std::string PathIn(const QLineEdit* field) { return TypedPath(field->text()).toStdString(); }

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
  // The object names, here and in the two check windows, are the ones tests
  // and accessibility tools look up; they keep the form they have always had.
  companyCodeCaption_ = Place(new QLabel(QStringLiteral("证券公司编码"), this), "Label1", {16, 16, 90, 24});
  companyCode_ = Place(new QLineEdit(this), "ZQGSDM", {106, 16, 100, 24});
  companyNameCaption_ = Place(new QLabel(QStringLiteral("证券公司名称"), this), "Label7", {226, 16, 90, 24});
  companyName_ = Place(new QLineEdit(this), "ZQGSMC", {316, 16, 308, 24});
  companyName_->setReadOnly(true);
  dataDateCaption_ = new QLabel(this);
  dataDate_ = MakeDatePicker(this, "DataDate", {});

  fileTypeFrame_ = Place(new QGroupBox(QStringLiteral("检查文件类型"), this), "Frame4", {});
  zipType_ = Place(new QRadioButton(QStringLiteral("ZIP文件"), fileTypeFrame_), "CHKZIP", {14, 22, 90, 22});
  dbfType_ = Place(new QRadioButton(QStringLiteral("DBF文件"), fileTypeFrame_), "CHKDBF", {110, 22, 90, 22});
  zipType_->setChecked(true);
  ruleSetCaption_ = Place(new QLabel(QStringLiteral("规则集"), this), "RuleSetLabel", {});
  ruleSet_ = Place(new RuleSetChoice(home_, this), "RuleSet", {});
  sourceDirCaption_ = Place(new QLabel(QStringLiteral("ZIP文件目录"), this), "Label5", {});
  sourceDir_ = Place(new QLineEdit(this), "SourceDir", {});
  sourceDirButton_ = MakeButton(this, "Command2", QStringLiteral("设置ZIP文件目录"), {});
  targetDirFrame_ = Place(new QGroupBox(this), "Frame5", {});
  targetDirCaption_ = Place(new QLabel(QStringLiteral("ZIP生成目录"), targetDirFrame_), "Label6", {});
  targetDir_ = Place(new QLineEdit(targetDirFrame_), "TargetDir", {});
  targetDirButton_ = MakeButton(this, "Command3", QStringLiteral("设置ZIP生成目录"), {});
  checkButton_ = MakeButton(this, "ChkCmd", QStringLiteral("检查DBF文件"), {});
  stopButton_ = MakeButton(this, "StopCmd", QStringLiteral("停止检查"), {});
  stopButton_->setEnabled(false);
  latestResultsButton_ = MakeButton(this, "Command1", QStringLiteral("查看最近检查结果"), {});
  exitButton_ = MakeButton(this, "ExitCMD", QStringLiteral("返回主界面"), {});
  statusLine_ = Place(new QLineEdit(this), "StateStr", {});
  statusLine_->setReadOnly(true);
  progress_ = Place(new QProgressBar(this), "RunProgress", {});
  progress_->setFormat(QStringLiteral("%v / %m"));
  progress_->setTextVisible(false);
  verdictLine_ = Place(new QLabel(this), "RunVerdict", {});
  verdictLine_->hide();

  entry_ = new CompanyCodeEntry(companyCode_, companyName_, boxes_, this);
  entry_->setNextField(dataDate_);
  bridge_ = new RunBridge(boxes_, this);
  auto* watch = new PointerWatch(this);

  connect(dbfType_, &QRadioButton::toggled, this, &CheckWindow::applyCheckType);
  connect(dataDate_, &QDateEdit::dateChanged, ruleSet_, &RuleSetChoice::followDate);
  connect(checkButton_, &QPushButton::clicked, this, &CheckWindow::startCheck);
  connect(stopButton_, &QPushButton::clicked, this, &CheckWindow::stopCheck);
  connect(latestResultsButton_, &QPushButton::clicked, this, &CheckWindow::showResults);
  connect(sourceDirButton_, &QPushButton::clicked, this, &CheckWindow::chooseSourceDir);
  connect(targetDirButton_, &QPushButton::clicked, this, &CheckWindow::chooseTargetDir);
  connect(exitButton_, &QPushButton::clicked, this, &CheckWindow::returnToWelcome);
  connect(bridge_, &RunBridge::statusChanged, statusLine_, &QLineEdit::setText);
  connect(bridge_, &RunBridge::progressChanged, this, &CheckWindow::showProgress);
  connect(bridge_, &RunBridge::finished, this, &CheckWindow::runEnded);
  connect(watch, &PointerWatch::movedOver, this, &CheckWindow::pointerMovedOver);
  // A long path is cut by its field; the pointer resting on it shows it whole.
  for (QLineEdit* field : {statusLine_, sourceDir_, targetDir_})
    connect(field, &QLineEdit::textChanged, field, &QWidget::setToolTip);
}

CheckWindow::~CheckWindow() = default;

int CheckWindow::placeSharedControls(int top, int width) {
  const int buttonLeft = width - 146;
  fileTypeFrame_->setGeometry(16, top, 210, 52);
  ruleSetCaption_->setGeometry(240, top + 14, 50, 26);
  ruleSet_->setGeometry(290, top + 13, width - 306, 28);
  const int sourceTop = top + 66;
  sourceDirCaption_->setGeometry(16, sourceTop, 90, 26);
  sourceDir_->setGeometry(106, sourceTop, buttonLeft - 116, 26);
  sourceDirButton_->setGeometry(buttonLeft, sourceTop - 1, 130, 28);
  const int targetTop = sourceTop + 38;
  targetDirFrame_->setGeometry(10, targetTop - 8, buttonLeft - 14, 40);
  targetDirCaption_->setGeometry(6, 8, 90, 26);
  targetDir_->setGeometry(96, 8, targetDirFrame_->width() - 100, 26);
  targetDirButton_->setGeometry(buttonLeft, targetTop - 1, 130, 28);
  const int buttonsTop = targetTop + 50;
  checkButton_->setGeometry(16, buttonsTop, 140, 32);
  latestResultsButton_->setGeometry(170, buttonsTop, 150, 32);
  stopButton_->setGeometry(334, buttonsTop, 110, 32);
  exitButton_->setGeometry(buttonLeft, buttonsTop, 130, 32);
  const int statusTop = buttonsTop + 46;
  statusLine_->setGeometry(16, statusTop, buttonLeft - 26, 26);
  progress_->setGeometry(buttonLeft, statusTop, 130, 26);
  const int verdictTop = statusTop + 32;
  verdictLine_->setGeometry(16, verdictTop, width - 32, kVerdictLineHeight);
  return verdictTop + kVerdictLineHeight + 16;
}

void CheckWindow::finishStartUp() {
  if (settings::NarrowHome(home_.home))
    statusLine_->setText(ShownPath(FromStd(settings::NarrowedHomeText(home_.home))));
  std::string savedCode;
  if (std::optional<settings::SettingsFile> saved = readSettings()) {
    // Trimmed: the field takes six characters, and blanks around a code
    // would push its digits out.
    savedCode = text::Trim(saved->companyCode);
    companyCode_->setText(FromStd(savedCode));
    restoreOwnSettings(*saved);
    sourceDir_->setText(ShownPath(FromStd(saved->sourceDir)));
  }
  // Every window opens on the ZIP type with an empty output directory,
  // whatever the saved type and directory were, and with its captions.
  zipType_->setChecked(true);
  applyCheckType();
  try {
    store_ = store::Store::open(home_.home, home_.data);
  } catch (const std::exception& e) {
    boxes_.show(QStringLiteral("错误提示"), QStringLiteral("检查结果库无法打开：") + FromStd(e.what()),
                BoxIcon::Error, BoxButtons::Ok);
  }
  entry_->setStore(store_.get());
  entry_->lookUpAtStartUp(savedCode);
  ruleSet_->followDate(dataDate_->date());
  orderTabs();
  RememberLayout(this);
}

void CheckWindow::orderTabs() {
  QList<QWidget*> order = {companyCode_, companyName_};
  order += ownTabOrder();
  order += {zipType_, dbfType_, ruleSet_, sourceDir_, sourceDirButton_, targetDir_, targetDirButton_,
            checkButton_, stopButton_, latestResultsButton_, exitButton_, statusLine_};
  for (qsizetype i = 1; i < order.size(); ++i) setTabOrder(order[i - 1], order[i]);
}

bool CheckWindow::zipTypeSelected() const { return zipType_->isChecked(); }

bool CheckWindow::running() const { return bridge_->running(); }

void CheckWindow::applyCheckType() {
  const bool dbf = dbfType_->isChecked();
  sourceDirCaption_->setText(dbf ? QStringLiteral("DBF文件目录") : QStringLiteral("ZIP文件目录"));
  checkButton_->setText(dbf ? QStringLiteral("检查DBF文件") : QStringLiteral("检查ZIP文件"));
  sourceDirButton_->setText(dbf ? QStringLiteral("设置DBF文件目录") : QStringLiteral("设置ZIP文件目录"));
  targetDirCaption_->setText(QStringLiteral("ZIP生成目录"));
  targetDirButton_->setText(QStringLiteral("设置ZIP生成目录"));
  targetDirCaption_->setEnabled(dbf);
  SetTextColour(targetDirCaption_, dbf ? QPalette::ButtonText : QPalette::Dark);
  targetDirButton_->setEnabled(dbf);
  // The output folder is only ever one the operator set for packing: a
  // source folder copied in would receive the archives beside the incoming
  // ones. Leaving the DBF type keeps it for the way back.
  if (!dbf && targetDirFrame_->isEnabled()) packingDir_ = targetDir_->text();
  targetDirFrame_->setEnabled(dbf);
  targetDir_->setText(dbf ? packingDir_ : QString());
  SetBackground(targetDir_, dbf ? QPalette::Base : QPalette::Button);
}

void CheckWindow::startCheck() {
  if (pipeline::SourceDirHasBlank(sourceDir_->text().toStdString())) {
    boxes_.show(QStringLiteral("信息提示"), QString::fromUtf8(pipeline::kBlankInPathMessage),
                BoxIcon::Warning, BoxButtons::Ok);
    return;
  }
  checkButton_->setEnabled(false);
  pipeline::CompanyQuestions questions{
      [this](const std::string& code) {
        std::optional<std::string> name = entry_->findCompany(code);
        if (name) companyName_->setText(FromStd(*name));
        return name;
      },
      [this] {
        return boxes_.show(QStringLiteral("提示信息"),
                           QString::fromUtf8(pipeline::kUnknownCompanyQuestion), BoxIcon::None,
                           BoxButtons::YesNo) == BoxAnswer::Yes;
      }};
  const pipeline::RawRunInputs raw = rawInputs();
  std::optional<pipeline::InputProblem> problem = pipeline::ValidateRunInputs(raw, questions);
  if (!problem) problem = pipeline::CheckScratchDirs(raw, home_);
  if (!problem) problem = pipeline::CheckOutputDir(raw);
  if (problem) {
    if (!problem->message.empty()) ShowInputError(boxes_, FromStd(problem->message));
    focusInput(problem->focus);
    checkButton_->setEnabled(true);
    return;
  }
  setCursor(Qt::WaitCursor);
  exitButton_->setEnabled(false);
  stopButton_->setEnabled(true);
  progress_->reset();
  progress_->setTextVisible(false);
  verdictLine_->hide();
  bridge_->start(home_, runInputs());
}

void CheckWindow::stopCheck() {
  if (!running()) return;
  stopButton_->setEnabled(false);
  bridge_->requestStop();
  statusLine_->setText(QStringLiteral("正在停止检查......"));
}

void CheckWindow::keyPressEvent(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape) return QDialog::keyPressEvent(event);
  event->accept();
  if (!running() || !stopButton_->isEnabled()) return;
  if (boxes_.show(QStringLiteral("提示信息"), kStopQuestion, BoxIcon::Question, BoxButtons::YesNo) == BoxAnswer::Yes)
    stopCheck();
}

void CheckWindow::runEnded(bool completed) {
  ShowVerdict(verdictLine_, LatestRunFacts(home_.storeFile()));
  verdictLine_->show();
  unsetCursor();
  stopButton_->setEnabled(false);
  exitButton_->setEnabled(true);
  checkButton_->setEnabled(true);
  emit checkFinished(completed);
}

void CheckWindow::showProgress(int current, int total) {
  if (total <= 0) return;
  progress_->setRange(0, total);
  progress_->setValue(current);
  progress_->setTextVisible(true);
}

// During a run the window shows the results so far, marked as such, and
// shows them whole once the run has ended; the status line keeps following
// the run meanwhile.
void CheckWindow::showResults() {
  if (!running()) {
    statusLine_->clear();
    progress_->reset();
    progress_->setTextVisible(false);
  }
  {
    ResultsWindow results(store_.get(), boxes_, this);
    results.useRuleSet(ruleset::LatestRunRuleSet(home_));
    results.describeRun(LatestRunFacts(home_.storeFile()), submission_);
    ReportButtons reportButtons(&results, home_, boxes_);
    reportButtons.refuseExportWhile([this] { return running(); });
    if (running()) {
      results.markRunning();
      RunBridge::AskOverIt(&results);  // the run's end must not wait unseen behind it
      connect(bridge_, &RunBridge::finished, &results, [this, &results] {
        results.reload();
        results.describeRun(LatestRunFacts(home_.storeFile()), submission_);
      });
    }
    results.exec();
  }
  activated();
}

void CheckWindow::chooseSourceDir() {
  const Chooser chooser =
      submission_ == pipeline::Submission::Account ? Chooser::AccountSource : Chooser::IdentitySource;
  OpenDirectoryChooser(chooser, this, {sourceDir_, companyCode_, companyName_, zipType_}, home_, store_.get(), boxes_);
  activated();
}

void CheckWindow::chooseTargetDir() {
  const Chooser chooser =
      submission_ == pipeline::Submission::Account ? Chooser::AccountTarget : Chooser::IdentityTarget;
  OpenDirectoryChooser(chooser, this, {targetDir_, nullptr, nullptr, zipType_}, home_, store_.get(), boxes_);
  activated();
}

void CheckWindow::returnToWelcome() { reject(); }

void CheckWindow::activated() {
  companyCode_->setFocus(Qt::OtherFocusReason);
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

std::filesystem::path CheckWindow::settingsFile() const {
  return submission_ == pipeline::Submission::Identity ? home_.identitySettingsFile() : home_.settingsFile();
}

// A home of an earlier version has only chkcfg.ini, which both windows
// shared: the identity window starts from it until it has a file of its own.
std::optional<settings::SettingsFile> CheckWindow::readSettings() const {
  if (std::optional<settings::SettingsFile> own = settings::ReadSettings(settingsFile())) return own;
  if (submission_ != pipeline::Submission::Identity) return std::nullopt;
  return settings::ReadSettings(home_.settingsFile());
}

void CheckWindow::saveSettings() {
  settings::SettingsFile current;
  current.companyCode = Trimmed(companyCode_);
  // Chars, not "0": GCC 12 at -O3 takes a one-letter literal assigned to a
  // string for an overlapping copy and warns (-Wrestrict) where none can be.
  current.beginNo = '0';
  current.endNo = '0';
  saveOwnSettings(current);
  current.fileType = zipTypeSelected() ? settings::kFileTypeZip : settings::kFileTypeDbf;
  current.sourceDir = text::Trim(PathIn(sourceDir_));
  current.targetDir = text::Trim(PathIn(targetDir_));
  std::string error;
  if (!settings::WriteSettings(settingsFile(), current, error) ||
      !WriteNumberSettingsIfMissing(home_, error))
    boxes_.show(QStringLiteral("错误提示"), QStringLiteral("设置文件无法保存：") + FromStd(error),
                BoxIcon::Error, BoxButtons::Ok);
}

pipeline::RawRunInputs CheckWindow::rawInputs() const {
  pipeline::RawRunInputs raw;
  raw.submission = submission_;
  raw.companyCode = companyCode_->text().toStdString();
  raw.sourceDir = PathIn(sourceDir_);
  raw.targetDir = PathIn(targetDir_);
  raw.checkType = zipTypeSelected() ? pipeline::CheckType::Zip : pipeline::CheckType::Dbf;
  raw.sourceCaption = sourceDirCaption_->text().toStdString();
  raw.targetCaption = targetDirCaption_->text().toStdString();
  addOwnRawInputs(raw);
  return raw;
}

pipeline::RunInputs CheckWindow::runInputs() const {
  pipeline::RunInputs inputs;
  inputs.dataDate = dataDate_->date().toString(QStringLiteral("yyyyMMdd")).toStdString();
  inputs.recordsLimit = static_cast<size_t>(settings::ReadRecordsLimit(home_.recordsLimitFile()));
  inputs.threads = settings::ReadThreads(home_.threadsFile());
  inputs.ruleSet = ruleSet_->chosen();
  addOwnRunInputs(inputs);
  return pipeline::MakeRunInputs(rawInputs(), std::move(inputs));
}

QWidget* CheckWindow::inputField(pipeline::InputField field) const {
  switch (field) {
    case pipeline::InputField::SourceDir: return sourceDir_;
    case pipeline::InputField::TargetDir: return targetDir_;
    default: return companyCode_;
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
