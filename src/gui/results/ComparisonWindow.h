// gui/results/ComparisonWindow.h - "与上次比较": what changed between two
// check runs, under a head naming both (number, time, file type, source
// folder, verdict), one row per change, each named in words (the colour only
// repeats it): new findings on red, findings gone on green, findings whose
// rule did not run this time on grey (未检查, never 消除), files missing this
// time on red, findings whose count changed on yellow (both counts shown),
// and the files whose bytes changed with both SHA-256 values.
//
//   ComparisonWindow window(before, after, history::Compare(before, after), this);
//   window.exec();
#pragma once

#include <QDialog>

#include "history/Comparison.h"

class QTableWidget;

namespace fc::gui {

class ComparisonWindow : public QDialog {
  Q_OBJECT

 public:
  ComparisonWindow(const history::Run& before, const history::Run& after, const history::Comparison& comparison,
                   QWidget* parent = nullptr);

  QTableWidget* grid() const { return grid_; }

 private:
  void addRow(const QString& change, const QColor& colour, const QStringList& cells);

  QTableWidget* grid_;
};

}  // namespace fc::gui
