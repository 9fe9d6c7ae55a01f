// gui/results/ResultsWindow.h - the results window `ChkResult`: every file the
// latest check run expected and every problem found in it, in one grid.
//
//   ResultsWindow results(store, boxes, this);   // reads the store, fills the grid
//   results.exec();
//
// The grid `MSFlexGrid1` has seven columns under a header row; the column-1
// cell of each row is green (passed, no problem), yellow (passed, with a
// problem) or red (not passed); in columns 0 to 4 equal cells of adjacent
// rows are merged into one span, a column merging only where the columns to
// its left merge too. An empty store, a store that is not open or a failing
// query shows "未查找到历史记录！" and opens the window empty.
//
// Above the grid, the verdict line (VerdictLine) gives the run's verdict in
// its word and reason, framed in its colour (never the colour alone), and
// the owner line (RunOwner) says whose results these are: submission,
// company, data date and time of the run, with a warning when the run is of
// another submission than the window that opened it (the store keeps one
// latest run for both). While a run is in progress the verdict line says
// "检查进行中，结果尚未完成" and reload() shows the results once it has ended.
// Beside the button under the grid, the deleted-records note names each table
// of the run that holds records marked deleted, with how many; it is hidden
// for a run without any (they are no problem, so the grid does not show them).
//
// Double-clicking a finding, or choosing its row and pressing "查看记录"
// beside the grid, opens the records window over the records the run kept
// for it; a finding without records opens nothing. useRuleSet() gives the
// records' headings the meanings of the fields in its rule set's agreement.
#pragma once

#include <QDialog>
#include <filesystem>
#include <optional>
#include <vector>

#include "naming/Submission.h"
#include "ruleset/RuleSet.h"
#include "store/RunFacts.h"
#include "store/Store.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace fc::gui {

class MessageBoxes;

inline constexpr int kResultColumns = 7;
inline constexpr int kMergedColumns = 5;  // columns 0 to 4 merge

// One vertical span of the grid: rows [row, row + rows) of `column`.
struct CellSpan {
  int row;     // first data row, from 0
  int column;  // 0 to 4
  int rows;    // 2 or more
};

// The spans of the merged columns for the given rows.
std::vector<CellSpan> MergeSpans(const std::vector<store::ResultRow>& rows);

class ResultsWindow : public QDialog {
  Q_OBJECT

 public:
  ResultsWindow(store::Store* store, MessageBoxes& boxes, QWidget* parent = nullptr);

  QTableWidget* grid() const { return grid_; }
  QPushButton* recordsButton() const { return recordsButton_; }
  QLabel* verdictLine() const { return verdictLine_; }
  QLabel* ownerLine() const { return ownerLine_; }
  QLabel* deletedNote() const { return deletedNote_; }

  // The run the rows belong to (nothing: a store of an earlier version), as
  // seen from the check window of the submission `viewer` (none: no check window).
  void describeRun(const std::optional<store::RunFacts>& facts, std::optional<naming::Submission> viewer = {});
  // A run is writing the store: the rows are its results so far.
  void markRunning();
  // Reads the rows again (the run has ended), keeping the window as it is.
  void reload();

  // The rule set that judged the run, whose agreement heads the records and
  // whose rules say what to do about a finding; without one the records show
  // the field names alone and no advice.
  void useRuleSet(std::optional<ruleset::RuleSet> set) { set_ = std::move(set); }

 public slots:
  void openRecords(int row);        // the records window of a grid row's finding, if it has records
  void openCurrentRecords();        // "查看记录": the same for the chosen row
  void updateRecordsButton();       // enabled when the chosen row's finding has records

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool load();  // fills the grid from the store; false when there is nothing to show
  void setUpGrid(int rowCount);
  void fillRow(int row, const store::ResultRow& result);
  void fitColumns();  // the designed widths, in proportion to the window's width
  const store::FindingRow* findingWithRecords(int row) const;

  store::Store* store_;
  MessageBoxes& boxes_;
  std::optional<ruleset::RuleSet> set_;
  std::optional<naming::Submission> submission_;  // of the run shown, for what its rules say about a finding
  std::vector<std::optional<store::FindingRow>> findings_;  // by grid row
  QLabel* verdictLine_;          // the run's verdict, or that it is still running
  QLabel* ownerLine_;            // whose results these are
  QLabel* deletedNote_;          // the tables holding deleted records
  QTableWidget* grid_;           // MSFlexGrid1
  QPushButton* recordsButton_;   // "查看记录"
};

}  // namespace fc::gui
