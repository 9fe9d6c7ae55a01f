// gui/results/ChkResult.h - the results window `ChkResult`: every file the
// latest check run expected and every problem found in it, in one grid.
//
//   ChkResult results(store, boxes, this);   // reads the store, fills the grid
//   results.exec();
//
// The grid `MSFlexGrid1` has seven columns under a header row; the column-1
// cell of each row is green (passed, no problem), yellow (passed, with a
// problem) or red (not passed); in columns 0 to 4 equal cells of adjacent
// rows are merged into one span, a column merging only where the columns to
// its left merge too. An empty store, a store that is not open or a failing
// query shows "未查找到历史记录！" and opens the window empty.
#pragma once

#include <QDialog>
#include <vector>

#include "store/Store.h"

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

class ChkResult : public QDialog {
  Q_OBJECT

 public:
  ChkResult(store::Store* store, MessageBoxes& boxes, QWidget* parent = nullptr);

  QTableWidget* grid() const { return grid_; }

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  void setUpGrid(int rowCount);
  void fillRow(int row, const store::ResultRow& result);
  void fitColumns();  // the designed widths, in proportion to the window's width

  QTableWidget* grid_;  // MSFlexGrid1
};

}  // namespace fc::gui
