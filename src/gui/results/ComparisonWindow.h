// gui/results/ComparisonWindow.h - "与上次比较": what changed between two
// check runs, one row per change: new findings on red, findings gone on
// green, findings whose count changed on yellow (both counts shown), and the
// files whose bytes changed with both SHA-256 values.
//
//   ComparisonWindow window(history::Compare(before, after), this);
//   window.exec();
#pragma once

#include <QDialog>

#include "history/Comparison.h"

class QTableWidget;

namespace fc::gui {

class ComparisonWindow : public QDialog {
  Q_OBJECT

 public:
  explicit ComparisonWindow(const history::Comparison& comparison, QWidget* parent = nullptr);

  QTableWidget* grid() const { return grid_; }

 private:
  void addRow(const QString& change, const QColor& colour, const QStringList& cells);

  QTableWidget* grid_;
};

}  // namespace fc::gui
