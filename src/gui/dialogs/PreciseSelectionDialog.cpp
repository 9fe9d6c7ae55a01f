#include "gui/dialogs/PreciseSelectionDialog.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "gui/dialogs/Browsing.h"
#include "gui/dialogs/LabelSignal.h"
#include "gui/dialogs/PathLabel.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/shell/QtText.h"
#include "gui/windows/Controls.h"
#include "naming/FileNames.h"
#include "naming/ListPatterns.h"

namespace fc::gui {

namespace {

const QString kApplyFilter = QStringLiteral("按此条件筛选");
const QString kCancelFilter = QStringLiteral("取消条件筛选");
const QString kFullTransferCondition = QStringLiteral("传输模式: 全量传输");
const QString kPromptTitle = QStringLiteral("提示信息");

void ShowLine(QLabel* label, const QString& text, Signal signal) {
  label->setText(text);
  SetSignal(label, signal);
}

QLabel* MakeLabel(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
  auto* label = Place(new QLabel(caption, parent), name, geometry);
  label->setWordWrap(true);
  return label;
}

QDate FromDateText(const QString& text) { return QDate::fromString(text, Qt::ISODate); }

}  // namespace

void SequenceRange::take(int number) {
  current = number;
  if (highest == kNone) highest = current;
  if (lowest == kNone) lowest = current;
  if (highest < current)
    highest = current;
  else if (current < lowest)
    lowest = current;
}

PreciseSelectionDialog::PreciseSelectionDialog(const PreciseTargets& targets, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), targets_(targets), boxes_(boxes) {
  buildControls();
  for (std::size_t i = 0; i < kPreciseKinds; ++i) {
    openingTicks_[i] = targets_.kindBoxes[i]->isChecked();
    targets_.kindBoxes[i]->setChecked(false);
  }
  openingDate_ = targets_.dataDate->date();
  filterButton_->setEnabled(false);
  const QString source = targets_.sourceDir->text();
  files_->setPath(TypedPath(source.trimmed()));
  ShowPath(sourcePath_, source);
  showUnfilteredList();
}

void PreciseSelectionDialog::buildControls() {
  // The object names are the ones tests and accessibility tools look up;
  // they keep the form they have always had.
  setObjectName(QStringLiteral("ViewDir3"));
  setWindowTitle(QStringLiteral("文件选择及检查项精确配置"));
  KeepOpenOnEscape(this);  // closing unasked would keep half a selection
  auto* pathFrame = Place(new QGroupBox(QStringLiteral("当前设置的待查文件存放路径"), this), "Frame2",
                          {12, 8, 616, 56});
  sourcePath_ = MakeLabel(pathFrame, "Label2", {}, {10, 22, 596, 26});
  MakeLabel(this, "Labellist1", QStringLiteral("您设置的待查目录下有以下文件具有报送文件特征："), {12, 72, 330, 24});
  files_ = Place(new FileList(this), "File1", {12, 98, 330, 300});

  auto* attributesFrame = Place(new QGroupBox(QStringLiteral("选择中的文件属性"), this), "Frame1", {354, 72, 274, 190});
  fileTypeLine_ = MakeLabel(attributesFrame, "Label1", {}, {10, 22, 254, 24});
  dateLine_ = MakeLabel(attributesFrame, "Label3", {}, {10, 50, 254, 44});
  modeLine_ = MakeLabel(attributesFrame, "Label5", {}, {10, 98, 254, 44});
  SetSignal(dateLine_, Signal::Normal);
  SetSignal(modeLine_, Signal::Normal);
  modeOptions_ = Place(new QGroupBox(attributesFrame), "Frame3", {10, 144, 254, 38});
  fullOption_ = Place(new QRadioButton(QStringLiteral("全量"), modeOptions_), "Option1", {12, 8, 90, 24});
  incrementalOption_ = Place(new QRadioButton(QStringLiteral("增量"), modeOptions_), "Option2", {120, 8, 90, 24});
  // Both options are off until the operator picks one.
  fullOption_->setAutoExclusive(false);
  incrementalOption_->setAutoExclusive(false);
  modeOptions_->hide();

  filterButton_ = MakeButton(this, "Command2", kApplyFilter, {354, 272, 274, 30});
  filterType_ = MakeLabel(this, "Label8", QStringLiteral("文件类型:"), {354, 310, 274, 22});
  filterDate_ = MakeLabel(this, "Label4", QStringLiteral("数据日期:"), {354, 332, 274, 22});
  filterMode_ = MakeLabel(this, "Label6", QStringLiteral("传输模式:"), {354, 354, 274, 22});
  filterRange_ = MakeLabel(this, "Label7", QStringLiteral("文件序号:"), {354, 376, 274, 22});

  auto* kinds = Place(new QGroupBox(this), "DateChecks", {12, 406, 616, 40});
  for (std::size_t i = 0; i < kPreciseKinds; ++i) {
    takenKinds_[i] = Place(new QCheckBox(QStringLiteral("    ") + FromStd(naming::kAccountKinds[i].name), kinds),
                           "DateCheck", {8 + static_cast<int>(i) * 120, 8, 116, 24});
    takenKinds_[i]->setObjectName(QStringLiteral("DateCheck%1").arg(i));
    takenKinds_[i]->setEnabled(false);
    connect(takenKinds_[i], &QCheckBox::toggled, this, &PreciseSelectionDialog::mirrorTicks);
  }
  auto* confirmButton = MakeButton(this, "SelectOk", QStringLiteral("确认设置"), {376, 456, 120, 32});
  auto* cancelButton = MakeButton(this, "Command1", QStringLiteral("取消设置"), {508, 456, 120, 32});
  setFixedSize(640, 500);

  connect(files_, &FileList::fileChosen, this, &PreciseSelectionDialog::fileClicked);
  connect(fullOption_, &QRadioButton::clicked, this, [this] { modeChosen(true); });
  connect(incrementalOption_, &QRadioButton::clicked, this, [this] { modeChosen(false); });
  connect(filterButton_, &QPushButton::clicked, this, &PreciseSelectionDialog::filterClicked);
  connect(confirmButton, &QPushButton::clicked, this, &PreciseSelectionDialog::confirm);
  connect(cancelButton, &QPushButton::clicked, this, &PreciseSelectionDialog::cancel);
}

naming::FileType PreciseSelectionDialog::fileType() const {
  return targets_.zipType->isChecked() ? naming::FileType::Zip : naming::FileType::Dbf;
}

void PreciseSelectionDialog::showUnfilteredList() {
  const naming::FileType type = fileType();
  files_->setPattern(naming::AccountListPattern(targets_.companyCode->text().toStdString(), type));
  fileTypeLine_->setText(type == naming::FileType::Zip ? QStringLiteral("[文件类型]为:ZIP文件 ")
                                                       : QStringLiteral("[文件类型]为:DBF文件 "));
}

void PreciseSelectionDialog::fileClicked(QListWidgetItem* item) {
  fullOption_->setChecked(false);
  incrementalOption_->setChecked(false);
  modeOptions_->hide();
  const naming::AccountName name = naming::AnalyseAccountFileName(item->text().toStdString());
  if (name.outcome != naming::NameOutcome::Ok) {
    ShowLine(modeLine_, FromStd(naming::ModeLine(name.outcome, name.mode)), Signal::Error);
    ShowLine(dateLine_, FromStd(naming::OutcomeText(naming::NameViewer::PreciseSelection, name.outcome, name.dateText)),
             Signal::Error);
    if (!filtered_) filterButton_->setEnabled(false);
    return;
  }
  modeIncremental_ = name.mode == naming::TransferMode::Incremental;
  modeFull_ = name.mode == naming::TransferMode::Full;
  if (filtered_)
    takeFiltered(name);
  else
    takeUnfiltered(name);
}

void PreciseSelectionDialog::takeUnfiltered(const naming::AccountName& name) {
  if (name.kindClass == naming::KindClass::LowerCase) {
    ShowLine(dateLine_, FromStd(naming::kLowerCaseKindText), Signal::Error);
    ShowLine(modeLine_, {}, Signal::Normal);
    filterButton_->setEnabled(false);
    return;
  }
  pickedDateText_ = FromStd(name.dateText);
  filterDateText_ = pickedDateText_;
  filterDateDigits_ = name.dateDigits;
  ShowLine(modeLine_, FromStd(naming::ModeLine(name.outcome, name.mode)), Signal::Normal);
  ShowLine(dateLine_, FromStd(naming::OutcomeText(naming::NameViewer::PreciseSelection, name.outcome, name.dateText)),
           Signal::Normal);
  const bool pending = name.mode == naming::TransferMode::Pending;
  // Until an option is picked the mode is open, and a filter applied then
  // would list one mode while announcing the other.
  filterButton_->setEnabled(!pending);
  modeOptions_->setVisible(pending);
  if (pending) SetSignal(modeLine_, Signal::Warning);
}

void PreciseSelectionDialog::modeChosen(bool full) {
  modeFull_ = full;
  modeIncremental_ = !full;
  ShowLine(modeLine_, full ? QStringLiteral("[传输模式]为：全量") : QStringLiteral("[传输模式]为：增量"), Signal::Normal);
  fullOption_->setChecked(full);
  incrementalOption_->setChecked(!full);
  filterButton_->setEnabled(true);
}

void PreciseSelectionDialog::takeFiltered(const naming::AccountName& name) {
  modeOptions_->hide();
  pickedDateText_ = FromStd(name.dateText);
  filterDateText_ = pickedDateText_;
  filterDateDigits_ = name.dateDigits;
  ShowLine(modeLine_, QStringLiteral("[已筛选]") + filterMode_->text(), Signal::Normal);
  ShowLine(dateLine_, QStringLiteral("[已筛选]数据日期:") + pickedDateText_, Signal::Normal);
  filterButton_->setEnabled(true);
  if (name.kindClass == naming::KindClass::Known) {
    QCheckBox* box = takenKinds_[static_cast<std::size_t>(name.kindIndex)];
    box->setEnabled(true);
    box->setChecked(true);
    sequenceRange_.take(name.sequence);
  } else if (name.kindClass == naming::KindClass::LowerCase) {
    ShowLine(dateLine_, FromStd(naming::kLowerCaseKindText), Signal::Error);
    modeLine_->clear();
  }
  showRange();
}

void PreciseSelectionDialog::showRange() {
  const bool none = sequenceRange_.empty();
  filterRange_->setText(QStringLiteral("文件序号:%1 - %2")
                            .arg(none ? 0 : sequenceRange_.lowest)
                            .arg(none ? 0 : sequenceRange_.highest));
}

void PreciseSelectionDialog::filterClicked() {
  if (filtered_)
    cancelFilter();
  else
    applyFilter();
}

void PreciseSelectionDialog::applyFilter() {
  const naming::FileType type = fileType();
  filterType_->setText(type == naming::FileType::Zip ? QStringLiteral("文件类型: ZIP文件")
                                                     : QStringLiteral("文件类型: DBF文件"));
  filterRange_->setText(QStringLiteral("文件序号: 0 - 0"));
  targets_.dataDate->setDate(FromDateText(filterDateText_));
  files_->setPattern(naming::FilterPattern(targets_.companyCode->text().toStdString(), filterDateDigits_,
                                           !modeIncremental_, type));
  filterDate_->setText(QStringLiteral("数据日期:") + FromStd(filterDateDigits_));
  filterMode_->setText(modeFull_ ? kFullTransferCondition : QStringLiteral("传输模式: 增量传输"));
  modeOptions_->hide();
  filterButton_->setText(kCancelFilter);
  filtered_ = true;
}

void PreciseSelectionDialog::cancelFilter() {
  filterType_->setText(QStringLiteral("文件类型:"));
  ShowLine(modeLine_, {}, Signal::Normal);
  ShowLine(dateLine_, {}, Signal::Normal);
  sequenceRange_ = {};
  modeFull_ = modeIncremental_ = false;
  for (QCheckBox* box : takenKinds_) {
    box->setChecked(false);
    box->setEnabled(false);
  }
  filterDate_->setText(QStringLiteral("数据日期:"));
  filterMode_->setText(QStringLiteral("传输模式:"));
  filterRange_->setText(QStringLiteral("文件序号:"));
  showUnfilteredList();
  filterButton_->setText(kApplyFilter);
  filterButton_->setEnabled(false);
  filtered_ = false;
}

void PreciseSelectionDialog::mirrorTicks() {
  for (std::size_t i = 0; i < kPreciseKinds; ++i) targets_.kindBoxes[i]->setChecked(takenKinds_[i]->isChecked());
}

void PreciseSelectionDialog::restoreOpening() {
  targets_.dataDate->setDate(openingDate_);
  for (std::size_t i = 0; i < kPreciseKinds; ++i) targets_.kindBoxes[i]->setChecked(openingTicks_[i]);
}

// Confirming with nothing chosen keeps the window's earlier choice, once the
// operator has agreed: taking the empty choice would untick every table and
// leave a run with no file to check.
void PreciseSelectionDialog::confirmNothingChosen(const QString& question) {
  if (boxes_.show(kPromptTitle, question, BoxIcon::None, BoxButtons::OkCancel) != BoxAnswer::Ok) return;
  restoreOpening();
  accept();
}

bool PreciseSelectionDialog::anyFileTaken() const {
  return std::any_of(takenKinds_.begin(), takenKinds_.end(), [](const QCheckBox* box) { return box->isChecked(); });
}

void PreciseSelectionDialog::confirm() {
  if (!filtered_) return confirmNothingChosen(QStringLiteral("未进行任何操作,点击取消继续设置"));
  if (!anyFileTaken())
    return confirmNothingChosen(QStringLiteral("筛选后未选择任何文件,将保留原有设置;点击取消继续设置"));
  targets_.dataDate->setDate(FromDateText(pickedDateText_));
  const bool full = filterMode_->text() == kFullTransferCondition;
  targets_.fullTransfer->setChecked(full);
  targets_.incremental->setChecked(!full);
  mirrorTicks();
  const bool none = sequenceRange_.empty();
  targets_.beginNo->setText(QString::number(none ? 0 : sequenceRange_.lowest));
  targets_.endNo->setText(QString::number(none ? 0 : sequenceRange_.highest));
  accept();
}

void PreciseSelectionDialog::cancel() {
  restoreOpening();
  if (filtered_)
    boxes_.show(kPromptTitle, QStringLiteral("所有项将还原成原有设置"), BoxIcon::None, BoxButtons::Ok);
  reject();
}

void OpenPreciseSelection(QWidget* parent, const PreciseTargets& targets, MessageBoxes& boxes) {
  PreciseSelectionDialog dialog(targets, boxes, parent);
  dialog.exec();
}

}  // namespace fc::gui
