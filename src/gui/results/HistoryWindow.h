// gui/results/HistoryWindow.h - "历史记录": the past check runs of the
// application home, newest first, one row each (time, submission, company
// code, data date, passed/expected files, findings, state).
//
//   HistoryWindow history(home, boxes, this);
//   history.exec();
//
// "查看结果" (or a double-click) shows the chosen run's results in the
// results grid, read-only; "与上次比较" shows what changed since the run
// before it of the same company and data date; "导出报告" writes the chosen
// run's report. A history that is missing or cannot be read shows an empty list.
#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>
#include <vector>

#include "history/History.h"
#include "settings/AppHome.h"

class QPushButton;
class QTableWidget;

namespace fc::gui {

class MessageBoxes;

// The runs the window lists at most.
inline constexpr int kHistoryRows = 200;

class HistoryWindow : public QDialog {
  Q_OBJECT

 public:
  HistoryWindow(settings::AppHome home, MessageBoxes& boxes, QWidget* parent = nullptr);

  QTableWidget* list() const { return list_; }
  // The history id of the chosen row, if a row is chosen.
  std::optional<int64_t> chosenRun() const;

 public slots:
  void showResults();     // "查看结果"
  void showComparison();  // "与上次比较"
  void exportReport();    // "导出报告"

 private:
  void fill();

  settings::AppHome home_;
  MessageBoxes& boxes_;
  QTableWidget* list_;
  std::vector<history::RunSummary> runs_;
};

// The results grid of a past run, read-only: the run's files and findings
// are laid into a scratch store in the home that the results window reads,
// removed again when the window closes.
void ShowPastResults(const settings::AppHome& home, const history::Run& run, MessageBoxes& boxes, QWidget* parent);

}  // namespace fc::gui
