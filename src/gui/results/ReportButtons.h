// gui/results/ReportButtons.h - the results window's "导出报告" and "历史记录"
// buttons, at the foot of the window on the left, with what they open, and
// the check box 报告显示完整证件号码和姓名: off by default, it lets the next
// export show identity numbers and names whole and is cleared by it.
//
//   ChkResult results(store, boxes, this);
//   ReportButtons buttons(&results, home, boxes);
//   results.exec();
#pragma once

#include <QObject>
#include <functional>

#include "settings/AppHome.h"

class QCheckBox;
class QDialog;
class QPushButton;

namespace fc::gui {

class MessageBoxes;

class ReportButtons : public QObject {
  Q_OBJECT

 public:
  ReportButtons(QDialog* results, settings::AppHome home, MessageBoxes& boxes);

  QPushButton* exportButton() const { return export_; }
  QPushButton* historyButton() const { return history_; }
  QCheckBox* unmaskBox() const { return unmask_; }
  // While `running` says so, an export is refused with a line saying why:
  // the results are not whole, and the history's latest run is another one.
  void refuseExportWhile(std::function<bool()> running) { running_ = std::move(running); }

 public slots:
  void exportReport();  // the latest run's report, where the operator chooses
  void showHistory();   // the history window

 private:
  QDialog* results_;
  settings::AppHome home_;
  MessageBoxes& boxes_;
  QPushButton* export_;
  QPushButton* history_;
  QCheckBox* unmask_;  // the next export unmasked
  std::function<bool()> running_;  // a run is writing the results shown
};

}  // namespace fc::gui
