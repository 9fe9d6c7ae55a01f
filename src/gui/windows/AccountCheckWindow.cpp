#include "gui/windows/AccountCheckWindow.h"

#include <QCheckBox>
#include <QDate>
#include <QDateEdit>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <string>

#include "gui/dialogs/PreciseSelectionDialog.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/shell/QtText.h"
#include "gui/windows/Controls.h"
#include "naming/FileNames.h"
#include "naming/Kinds.h"
#include "pipeline/Validation.h"
#include "settings/Settings.h"

namespace fc::gui {

namespace {

constexpr int kWidth = 640;

// The tables' boxes fill two columns in kind order, a row per two kinds.
QRect KindBoxPlace(int index) { return {14 + 180 * (index % 2), 24 + 28 * (index / 2), 180, 24}; }

QLineEdit* SequenceField(QWidget* parent, const char* name, QRect geometry) {
  auto* field = Place(new QLineEdit(QStringLiteral("0"), parent), name, geometry);
  field->setMaxLength(static_cast<int>(naming::kSequenceDigits));
  return field;
}

}  // namespace

AccountCheckWindow::AccountCheckWindow(settings::AppHome home, MessageBoxes& boxes, QWidget* parent)
    : CheckWindow(pipeline::Submission::Account, std::move(home), boxes, parent) {
  setObjectName(QStringLiteral("mainfrm1"));
  setWindowTitle(QStringLiteral("证券公司客户交易结算资金账户数据文件检查"));

  Place(dataDateCaption_, "Label2", {16, 53, 90, 26})->setText(QStringLiteral("数据日期"));
  dataDate_->setGeometry(106, 53, 120, 26);
  dataDate_->setDate(QDate::currentDate());
  watchDatePicker(dataDate_);

  auto* modeFrame = Place(new QGroupBox(QStringLiteral("传输模式"), this), "Frame1", {240, 44, 384, 50});
  fullTransfer_ = Place(new QRadioButton(QStringLiteral("全量传输"), modeFrame), "ALLData", {16, 20, 110, 24});
  incremental_ = Place(new QRadioButton(QStringLiteral("增量传输"), modeFrame), "IncData", {140, 20, 110, 24});
  incremental_->setChecked(true);

  auto* sequenceFrame = Place(new QGroupBox(QStringLiteral("文件序号"), this), "Frame3", {16, 102, 210, 110});
  Place(new QLabel(QStringLiteral("开始"), sequenceFrame), "Label3", {14, 28, 40, 26});
  beginNo_ = SequenceField(sequenceFrame, "BeginNo", {56, 28, 60, 26});
  Place(new QLabel(QStringLiteral("结束"), sequenceFrame), "Label4", {14, 66, 40, 26});
  endNo_ = SequenceField(sequenceFrame, "EndNo", {56, 66, 60, 26});

  auto* kindsFrame = Place(new QGroupBox(QStringLiteral("报送文件"), this), "Frame2", {240, 102, 384, 110});
  for (int i = 0; i < kAccountKindCount; ++i) {
    const std::string_view caption = naming::kAccountKinds[static_cast<std::size_t>(i)].filecat;
    const std::string name = "KHXX" + std::to_string(i);
    kindBoxes_[i] = Place(new QCheckBox(FromStd(caption), kindsFrame), name.c_str(), KindBoxPlace(i));
    kindBoxes_[i]->setChecked(true);
  }
  preciseSelectionButton_ = MakeButton(kindsFrame, "Command4", QStringLiteral("精确选择"), {264, 76, 106, 28});

  resize(kWidth, placeSharedControls(224, kWidth));

  connect(preciseSelectionButton_, &QPushButton::clicked, this, &AccountCheckWindow::openPreciseSelection);
  connect(beginNo_, &QLineEdit::returnPressed, this, &AccountCheckWindow::beginNoEntered);
  connect(endNo_, &QLineEdit::returnPressed, this, &AccountCheckWindow::endNoEntered);
  finishStartUp();
}

void AccountCheckWindow::openPreciseSelection() {
  if (companyCode_->text().isEmpty()) {
    boxes_.show(QStringLiteral("提示信息"), QStringLiteral("请先输入证券公司编码"), BoxIcon::None,
                BoxButtons::Ok);
    return;
  }
  PreciseTargets targets{sourceDir_, companyCode_, zipType_, dataDate_, {}, fullTransfer_,
                         incremental_, beginNo_, endNo_};
  std::copy(kindBoxes_.begin(), kindBoxes_.end(), targets.kindBoxes.begin());
  OpenPreciseSelection(this, targets, boxes_);
  activated();
}

void AccountCheckWindow::beginNoEntered() {
  if (!pipeline::ParseSequenceNumber(beginNo_->text().toStdString())) {
    ShowInputError(boxes_, QStringLiteral("开始序号不正确"));
    return;
  }
  endNo_->setFocus(Qt::OtherFocusReason);
}

void AccountCheckWindow::endNoEntered() {
  if (!pipeline::ParseSequenceNumber(endNo_->text().toStdString()))
    ShowInputError(boxes_, QStringLiteral("结束序号不正确"));
}

void AccountCheckWindow::restoreOwnSettings(const settings::SettingsFile& saved) {
  beginNo_->setText(QString::fromStdString(saved.beginNo));
  endNo_->setText(QString::fromStdString(saved.endNo));
}

void AccountCheckWindow::saveOwnSettings(settings::SettingsFile& settings) const {
  settings.beginNo = std::to_string(settings::NumericValue(beginNo_->text().toStdString()));
  settings.endNo = std::to_string(settings::NumericValue(endNo_->text().toStdString()));
}

void AccountCheckWindow::addOwnRawInputs(pipeline::RawRunInputs& raw) const {
  raw.beginNo = beginNo_->text().toStdString();
  raw.endNo = endNo_->text().toStdString();
  raw.selectedKindCount = 0;
  for (const QCheckBox* box : kindBoxes_) raw.selectedKindCount += box->isChecked() ? 1 : 0;
}

void AccountCheckWindow::addOwnRunInputs(pipeline::RunInputs& inputs) const {
  inputs.fullTransfer = fullTransfer_->isChecked();
  inputs.selectedKinds.clear();
  for (const QCheckBox* box : kindBoxes_) inputs.selectedKinds.push_back(box->isChecked());
}

void AccountCheckWindow::dateAccepted(QDateEdit*) { beginNo_->setFocus(Qt::OtherFocusReason); }

QList<QWidget*> AccountCheckWindow::ownTabOrder() const {
  QList<QWidget*> order = {dataDate_, fullTransfer_, incremental_, beginNo_, endNo_};
  order += QList<QWidget*>(kindBoxes_.begin(), kindBoxes_.end());
  order += preciseSelectionButton_;
  return order;
}

QWidget* AccountCheckWindow::inputField(pipeline::InputField field) const {
  switch (field) {
    case pipeline::InputField::BeginNo: return beginNo_;
    case pipeline::InputField::EndNo: return endNo_;
    default: return CheckWindow::inputField(field);
  }
}

}  // namespace fc::gui
