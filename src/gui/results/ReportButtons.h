// gui/results/ReportButtons.h - the results window's "导出报告" and "历史记录"
// buttons, at the foot of the window on the left, with what they open.
//
//   ChkResult results(store, boxes, this);
//   ReportButtons buttons(&results, home, boxes);
//   results.exec();
#pragma once

#include <QObject>

#include "settings/AppHome.h"

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

 public slots:
  void exportReport();  // the latest run's report, where the operator chooses
  void showHistory();   // the history window

 private:
  QDialog* results_;
  settings::AppHome home_;
  MessageBoxes& boxes_;
  QPushButton* export_;
  QPushButton* history_;
};

}  // namespace fc::gui
