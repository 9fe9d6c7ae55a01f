#include "gui/dialogs/ViewDir3.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "gui/dialogs/Browsing.h"
#include "gui/dialogs/LabelSignal.h"
#include "gui/dialogs/PathLabel.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/windows/Controls.h"
#include "naming/FileNames.h"
#include "naming/ListPatterns.h"

namespace fc::gui {

namespace {

const QString kApplyFilter = QStringLiteral("按此条件筛选");
const QString kCancelFilter = QStringLiteral("取消条件筛选");
const QString kFullTransferCondition = QStringLiteral("传输模式: 全量传输");
const QString kPromptTitle = QStringLiteral("提示信息");

QString FromStd(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

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

ViewDir3::ViewDir3(const PreciseTargets& targets, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), targets_(targets), boxes_(boxes) {
  buildControls();
  for (std::size_t i = 0; i < kPreciseKinds; ++i) {
    openingTicks_[i] = targets_.kindBoxes[i]->isChecked();
    targets_.kindBoxes[i]->setChecked(false);
  }
  openingDate_ = targets_.dataDate->date();
  command2_->setEnabled(false);
  const QString source = targets_.sourceDir->text();
  file1_->setPath(source.trimmed());
  ShowPath(label2_, source);
  showUnfilteredList();
}

void ViewDir3::buildControls() {
  setObjectName(QStringLiteral("ViewDir3"));
  setWindowTitle(QStringLiteral("文件选择及检查项精确配置"));
  KeepOpenOnEscape(this);  // closing unasked would keep half a selection
  auto* frame2 = Place(new QGroupBox(QStringLiteral("当前设置的待查文件存放路径"), this), "Frame2",
                       {12, 8, 616, 56});
  label2_ = MakeLabel(frame2, "Label2", {}, {10, 22, 596, 26});
  MakeLabel(this, "Labellist1", QStringLiteral("您设置的待查目录下有以下文件具有报送文件特征："), {12, 72, 330, 24});
  file1_ = Place(new FileList(this), "File1", {12, 98, 330, 300});

  auto* frame1 = Place(new QGroupBox(QStringLiteral("选择中的文件属性"), this), "Frame1", {354, 72, 274, 190});
  label1_ = MakeLabel(frame1, "Label1", {}, {10, 22, 254, 24});
  label3_ = MakeLabel(frame1, "Label3", {}, {10, 50, 254, 44});
  label5_ = MakeLabel(frame1, "Label5", {}, {10, 98, 254, 44});
  SetSignal(label3_, Signal::Normal);
  SetSignal(label5_, Signal::Normal);
  frame3_ = Place(new QGroupBox(frame1), "Frame3", {10, 144, 254, 38});
  option1_ = Place(new QRadioButton(QStringLiteral("全量"), frame3_), "Option1", {12, 8, 90, 24});
  option2_ = Place(new QRadioButton(QStringLiteral("增量"), frame3_), "Option2", {120, 8, 90, 24});
  // Both options are off until the operator picks one.
  option1_->setAutoExclusive(false);
  option2_->setAutoExclusive(false);
  frame3_->hide();

  command2_ = MakeButton(this, "Command2", kApplyFilter, {354, 272, 274, 30});
  label8_ = MakeLabel(this, "Label8", QStringLiteral("文件类型:"), {354, 310, 274, 22});
  label4_ = MakeLabel(this, "Label4", QStringLiteral("数据日期:"), {354, 332, 274, 22});
  label6_ = MakeLabel(this, "Label6", QStringLiteral("传输模式:"), {354, 354, 274, 22});
  label7_ = MakeLabel(this, "Label7", QStringLiteral("文件序号:"), {354, 376, 274, 22});

  auto* kinds = Place(new QGroupBox(this), "DateChecks", {12, 406, 616, 40});
  for (std::size_t i = 0; i < kPreciseKinds; ++i) {
    dateCheck_[i] = Place(new QCheckBox(QStringLiteral("    ") + FromStd(naming::kAccountKinds[i].name), kinds),
                          "DateCheck", {8 + static_cast<int>(i) * 120, 8, 116, 24});
    dateCheck_[i]->setObjectName(QStringLiteral("DateCheck%1").arg(i));
    dateCheck_[i]->setEnabled(false);
    connect(dateCheck_[i], &QCheckBox::toggled, this, &ViewDir3::mirrorTicks);
  }
  auto* selectOk = MakeButton(this, "SelectOk", QStringLiteral("确认设置"), {376, 456, 120, 32});
  auto* command1 = MakeButton(this, "Command1", QStringLiteral("取消设置"), {508, 456, 120, 32});
  setFixedSize(640, 500);

  connect(file1_, &FileList::fileChosen, this, &ViewDir3::fileClicked);
  connect(option1_, &QRadioButton::clicked, this, [this] { modeChosen(true); });
  connect(option2_, &QRadioButton::clicked, this, [this] { modeChosen(false); });
  connect(command2_, &QPushButton::clicked, this, &ViewDir3::filterClicked);
  connect(selectOk, &QPushButton::clicked, this, &ViewDir3::confirm);
  connect(command1, &QPushButton::clicked, this, &ViewDir3::cancel);
}

naming::FileType ViewDir3::fileType() const {
  return targets_.zipType->isChecked() ? naming::FileType::Zip : naming::FileType::Dbf;
}

void ViewDir3::showUnfilteredList() {
  const naming::FileType type = fileType();
  file1_->setPattern(naming::AccountListPattern(targets_.companyCode->text().toStdString(), type));
  label1_->setText(type == naming::FileType::Zip ? QStringLiteral("[文件类型]为:ZIP文件 ")
                                                 : QStringLiteral("[文件类型]为:DBF文件 "));
}

void ViewDir3::fileClicked(QListWidgetItem* item) {
  option1_->setChecked(false);
  option2_->setChecked(false);
  frame3_->hide();
  const naming::AccountName name = naming::AnalyseAccountFileName(item->text().toStdString());
  if (name.outcome != naming::NameOutcome::Ok) {
    ShowLine(label5_, FromStd(naming::ModeLine(name.outcome, name.mode)), Signal::Error);
    ShowLine(label3_, FromStd(naming::OutcomeText(naming::NameViewer::PreciseSelection, name.outcome, name.dateText)),
             Signal::Error);
    if (!filtered_) command2_->setEnabled(false);
    return;
  }
  modeIncremental_ = name.mode == naming::TransferMode::Incremental;
  modeFull_ = name.mode == naming::TransferMode::Full;
  if (filtered_)
    takeFiltered(name);
  else
    takeUnfiltered(name);
}

void ViewDir3::takeUnfiltered(const naming::AccountName& name) {
  if (name.kindClass == naming::KindClass::LowerCase) {
    ShowLine(label3_, FromStd(naming::kLowerCaseKindText), Signal::Error);
    ShowLine(label5_, {}, Signal::Normal);
    command2_->setEnabled(false);
    return;
  }
  pickedDateText_ = FromStd(name.dateText);
  filterDateText_ = pickedDateText_;
  filterDateDigits_ = name.dateDigits;
  ShowLine(label5_, FromStd(naming::ModeLine(name.outcome, name.mode)), Signal::Normal);
  ShowLine(label3_, FromStd(naming::OutcomeText(naming::NameViewer::PreciseSelection, name.outcome, name.dateText)),
           Signal::Normal);
  const bool pending = name.mode == naming::TransferMode::Pending;
  // Until an option is picked the mode is open, and a filter applied then
  // would list one mode while announcing the other.
  command2_->setEnabled(!pending);
  frame3_->setVisible(pending);
  if (pending) SetSignal(label5_, Signal::Warning);
}

void ViewDir3::modeChosen(bool full) {
  modeFull_ = full;
  modeIncremental_ = !full;
  ShowLine(label5_, full ? QStringLiteral("[传输模式]为：全量") : QStringLiteral("[传输模式]为：增量"), Signal::Normal);
  option1_->setChecked(full);
  option2_->setChecked(!full);
  command2_->setEnabled(true);
}

void ViewDir3::takeFiltered(const naming::AccountName& name) {
  frame3_->hide();
  pickedDateText_ = FromStd(name.dateText);
  filterDateText_ = pickedDateText_;
  filterDateDigits_ = name.dateDigits;
  ShowLine(label5_, QStringLiteral("[已筛选]") + label6_->text(), Signal::Normal);
  ShowLine(label3_, QStringLiteral("[已筛选]数据日期:") + pickedDateText_, Signal::Normal);
  command2_->setEnabled(true);
  if (name.kindClass == naming::KindClass::Known) {
    QCheckBox* box = dateCheck_[static_cast<std::size_t>(name.kindIndex)];
    box->setEnabled(true);
    box->setChecked(true);
    sequenceRange_.take(name.sequence);
  } else if (name.kindClass == naming::KindClass::LowerCase) {
    ShowLine(label3_, FromStd(naming::kLowerCaseKindText), Signal::Error);
    label5_->clear();
  }
  showRange();
}

void ViewDir3::showRange() {
  const bool none = sequenceRange_.empty();
  label7_->setText(QStringLiteral("文件序号:%1 - %2")
                       .arg(none ? 0 : sequenceRange_.lowest)
                       .arg(none ? 0 : sequenceRange_.highest));
}

void ViewDir3::filterClicked() {
  if (filtered_)
    cancelFilter();
  else
    applyFilter();
}

void ViewDir3::applyFilter() {
  const naming::FileType type = fileType();
  label8_->setText(type == naming::FileType::Zip ? QStringLiteral("文件类型: ZIP文件")
                                                 : QStringLiteral("文件类型: DBF文件"));
  label7_->setText(QStringLiteral("文件序号: 0 - 0"));
  targets_.dataDate->setDate(FromDateText(filterDateText_));
  file1_->setPattern(naming::FilterPattern(targets_.companyCode->text().toStdString(), filterDateDigits_,
                                           !modeIncremental_, type));
  label4_->setText(QStringLiteral("数据日期:") + QString::fromStdString(filterDateDigits_));
  label6_->setText(modeFull_ ? kFullTransferCondition : QStringLiteral("传输模式: 增量传输"));
  frame3_->hide();
  command2_->setText(kCancelFilter);
  filtered_ = true;
}

void ViewDir3::cancelFilter() {
  label8_->setText(QStringLiteral("文件类型:"));
  ShowLine(label5_, {}, Signal::Normal);
  ShowLine(label3_, {}, Signal::Normal);
  sequenceRange_ = {};
  modeFull_ = modeIncremental_ = false;
  for (QCheckBox* box : dateCheck_) {
    box->setChecked(false);
    box->setEnabled(false);
  }
  label4_->setText(QStringLiteral("数据日期:"));
  label6_->setText(QStringLiteral("传输模式:"));
  label7_->setText(QStringLiteral("文件序号:"));
  showUnfilteredList();
  command2_->setText(kApplyFilter);
  command2_->setEnabled(false);
  filtered_ = false;
}

void ViewDir3::mirrorTicks() {
  for (std::size_t i = 0; i < kPreciseKinds; ++i) targets_.kindBoxes[i]->setChecked(dateCheck_[i]->isChecked());
}

void ViewDir3::restoreOpening() {
  targets_.dataDate->setDate(openingDate_);
  for (std::size_t i = 0; i < kPreciseKinds; ++i) targets_.kindBoxes[i]->setChecked(openingTicks_[i]);
}

void ViewDir3::confirm() {
  if (!filtered_) {
    if (boxes_.show(kPromptTitle, QStringLiteral("未进行任何操作,点击取消继续设置"), BoxIcon::None,
                    BoxButtons::OkCancel) != BoxAnswer::Ok)
      return;
    restoreOpening();
    accept();
    return;
  }
  targets_.dataDate->setDate(FromDateText(pickedDateText_));
  const bool full = label6_->text() == kFullTransferCondition;
  targets_.fullTransfer->setChecked(full);
  targets_.incremental->setChecked(!full);
  mirrorTicks();
  const bool none = sequenceRange_.empty();
  targets_.beginNo->setText(QString::number(none ? 0 : sequenceRange_.lowest));
  targets_.endNo->setText(QString::number(none ? 0 : sequenceRange_.highest));
  accept();
}

void ViewDir3::cancel() {
  restoreOpening();
  if (filtered_)
    boxes_.show(kPromptTitle, QStringLiteral("所有项将还原成原有设置"), BoxIcon::None, BoxButtons::Ok);
  reject();
}

void OpenViewDir3(QWidget* parent, const PreciseTargets& targets, MessageBoxes& boxes) {
  ViewDir3 dialog(targets, boxes, parent);
  dialog.exec();
}

}  // namespace fc::gui
