// gui/windows/CompanyCodeEntry.h - the company code field `ZQGSDM` and the
// company name field `ZQGSMC` of a check window, and the lookups between them.
//
//   auto* entry = new CompanyCodeEntry(zqgsdm, zqgsmc, boxes, window);
//   entry->setNextField(dataDate);      // Enter on a good code goes there
//   entry->setStore(store);             // lookups find nothing without one
//   entry->lookUpAtStartUp(savedCode);
//
// Enter checks the trimmed code (digits first, then the length) and on
// success looks the company up and moves on; leaving a non-empty field with
// a bad code shows the message and brings the focus back. The refresh looks
// up a code of six characters when it differs from the last code looked up.
#pragma once

#include <QObject>
#include <QString>
#include <optional>
#include <string>

class QLineEdit;
class QWidget;

namespace fc::store {
class Store;
}

namespace fc::gui {

class MessageBoxes;

class CompanyCodeEntry : public QObject {
  Q_OBJECT

 public:
  CompanyCodeEntry(QLineEdit* code, QLineEdit* name, MessageBoxes& boxes, QObject* parent);

  void setStore(store::Store* store) { store_ = store; }
  void setNextField(QWidget* next) { next_ = next; }

  // FindCompany on the window's store; nothing when there is none or it fails.
  std::optional<std::string> findCompany(const std::string& code) const;
  // The start-up lookup of the restored code, trimmed as it was saved (the
  // field may hold only its first six characters): no code check, the name
  // only when found; the field's text becomes the last code looked up.
  void lookUpAtStartUp(const std::string& savedCode);
  const QString& lastCodeLookedUp() const { return lastCode_; }

 public slots:
  void enterPressed();
  void refresh();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void fieldLeft();
  void lookUp(const QString& trimmedCode);
  std::optional<std::string_view> codeProblem() const;
  void refuseCode(std::string_view message);  // says why, the name cleared  // the code check's message
  QString trimmedCode() const;

  QLineEdit* code_;               // ZQGSDM
  QLineEdit* name_;               // ZQGSMC
  MessageBoxes& boxes_;
  store::Store* store_ = nullptr;
  QWidget* next_ = nullptr;       // DataDate
  QString lastCode_;              // last code looked up, as it stood in the field
};

}  // namespace fc::gui
