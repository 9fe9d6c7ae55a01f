#include "gui/windows/CompanyCodeEntry.h"

#include <QFocusEvent>
#include <QLineEdit>

#include "gui/shell/MessageBoxes.h"
#include "gui/shell/QtText.h"
#include "gui/windows/FocusRules.h"
#include "naming/CompanyCode.h"
#include "store/Store.h"
#include "text/Text.h"

namespace fc::gui {

namespace {

constexpr int kCodeLength = 6;

}  // namespace

CompanyCodeEntry::CompanyCodeEntry(QLineEdit* code, QLineEdit* name, MessageBoxes& boxes,
                                   QObject* parent)
    : QObject(parent), code_(code), name_(name), boxes_(boxes) {
  code_->setMaxLength(kCodeLength);
  code_->installEventFilter(this);
  connect(code_, &QLineEdit::returnPressed, this, &CompanyCodeEntry::enterPressed);
}

std::optional<std::string> CompanyCodeEntry::findCompany(const std::string& code) const {
  if (!store_) return std::nullopt;
  try {
    return store_->findCompany(code);
  } catch (const store::StoreError&) {
    return std::nullopt;  // a store that cannot answer knows no company
  }
}

void CompanyCodeEntry::lookUpAtStartUp(const std::string& savedCode) {
  if (std::optional<std::string> name = findCompany(savedCode))
    name_->setText(QString::fromStdString(*name));
  lastCode_ = code_->text();
}

void CompanyCodeEntry::enterPressed() {
  if (std::optional<std::string_view> message = codeProblem()) {
    refuseCode(*message);
    return;
  }
  lookUp(trimmedCode());
  if (next_) next_->setFocus(Qt::OtherFocusReason);
}

void CompanyCodeEntry::fieldLeft() {
  if (trimmedCode().isEmpty()) return;
  if (std::optional<std::string_view> message = codeProblem()) {
    refuseCode(*message);
    code_->setFocus(Qt::OtherFocusReason);
    return;
  }
  lookUp(trimmedCode());
}

void CompanyCodeEntry::refresh() {
  const QString code = trimmedCode();
  if (code.size() != kCodeLength || code == lastCode_.trimmed()) return;
  lookUp(code);
  lastCode_ = code;
}

void CompanyCodeEntry::lookUp(const QString& trimmedCode) {
  std::optional<std::string> name = findCompany(trimmedCode.toStdString());
  name_->setText(name ? QString::fromStdString(*name) : QString());
}

// The name of an earlier code would read as this code's company.
void CompanyCodeEntry::refuseCode(std::string_view message) {
  name_->clear();
  ShowInputError(boxes_, QString::fromUtf8(message.data(), static_cast<qsizetype>(message.size())));
}

std::optional<std::string_view> CompanyCodeEntry::codeProblem() const {
  return naming::CheckCompanyCode(code_->text().toStdString());
}

QString CompanyCodeEntry::trimmedCode() const {
  return FromStd(text::Trim(code_->text().toStdString()));
}

bool CompanyCodeEntry::eventFilter(QObject* watched, QEvent* event) {
  if (watched == code_ && event->type() == QEvent::FocusOut &&
      LeftForAnotherControl(static_cast<QFocusEvent*>(event)))
    // Checked once the focus has arrived where the operator moved it.
    QMetaObject::invokeMethod(this, &CompanyCodeEntry::fieldLeft, Qt::QueuedConnection);
  return QObject::eventFilter(watched, event);
}

}  // namespace fc::gui
