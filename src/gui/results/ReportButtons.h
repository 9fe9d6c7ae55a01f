// gui/results/ReportButtons.h - the results window's "导出报告", "导出Excel"
// and "历史记录" buttons, at the foot of the window on the left, with what
// they open, and the check box 报告显示完整证件号码和姓名: off by default, it
// lets the next export (report or workbook) show identity numbers and names
// whole and is cleared by it.
//
//   ResultsWindow results(store, boxes, this);
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
  QPushButton* workbookButton() const { return workbook_; }
  QPushButton* historyButton() const { return history_; }
  QCheckBox* unmaskBox() const { return unmask_; }
  // While `running` says so, an export is refused with a line saying why:
  // the results are not whole, and the history's latest run is another one.
  void refuseExportWhile(std::function<bool()> running) { running_ = std::move(running); }

 public slots:
  void exportReport();    // the latest run's report, where the operator chooses
  void exportWorkbook();  // the latest run's findings and records as a workbook
  void showHistory();   // the history window

 private:
  QDialog* results_;
  settings::AppHome home_;
  MessageBoxes& boxes_;
  QPushButton* export_;
  QPushButton* workbook_;
  QPushButton* history_;
  QCheckBox* unmask_;  // the next export unmasked
  std::function<bool()> running_;  // a run is writing the results shown
  // True, having said why, when a run is writing the results (`what` is refused).
  bool refusedWhileRunning(const QString& what);
  // Whether the next export shows the real values; clears the box for the one after.
  bool takeUnmasked();
};

}  // namespace fc::gui
