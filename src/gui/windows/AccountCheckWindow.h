// gui/windows/AccountCheckWindow.h - the settlement-fund account check window
// `mainfrm1`: the account tables (KHJBXX, ZJZQDY, ZJBDXX, YYBXX and ZHBYZ,
// one box each in kind order, naming/Kinds.h) of one data date over a range
// of sequence numbers, sent in full or incrementally.
//
//   AccountCheckWindow window(home, boxes, welcome);
//   window.exec();
//
// Enter walks from the company code to the data date, the begin number and
// the end number; the precise file selection opens only with a company code.
#pragma once

#include <array>

#include "gui/windows/CheckWindow.h"
#include "naming/Kinds.h"

class QCheckBox;

namespace fc::gui {

inline constexpr int kAccountKindCount = static_cast<int>(naming::kAccountKinds.size());

class AccountCheckWindow : public CheckWindow {
  Q_OBJECT

 public:
  AccountCheckWindow(settings::AppHome home, MessageBoxes& boxes, QWidget* parent = nullptr);

  QCheckBox* kindBox(int index) const { return kindBoxes_[index]; }
  QLineEdit* beginNoField() const { return beginNo_; }
  QLineEdit* endNoField() const { return endNo_; }
  QRadioButton* fullTransferOption() const { return fullTransfer_; }
  QRadioButton* incrementalOption() const { return incremental_; }

 public slots:
  void openPreciseSelection();  // Command4
  void beginNoEntered();
  void endNoEntered();

 protected:
  void restoreOwnSettings(const settings::SettingsFile& saved) override;
  void saveOwnSettings(settings::SettingsFile& settings) const override;
  void addOwnRawInputs(pipeline::RawRunInputs& raw) const override;
  void addOwnRunInputs(pipeline::RunInputs& inputs) const override;
  void dateAccepted(QDateEdit* picker) override;
  QWidget* inputField(pipeline::InputField field) const override;
  QList<QWidget*> ownTabOrder() const override;

 private:
  QRadioButton* fullTransfer_;                           // "全量传输"
  QRadioButton* incremental_;                            // "增量传输"
  QLineEdit* beginNo_;                                   // first sequence number
  QLineEdit* endNo_;                                     // last sequence number
  std::array<QCheckBox*, kAccountKindCount> kindBoxes_;  // the tables, by kind index
  QPushButton* preciseSelectionButton_;                  // "精确选择"
};

}  // namespace fc::gui
