// gui/results/RecordsWindow.h - the records window `RecordsWindow`: the
// records behind one finding of the latest run, opened from the results grid.
//
//   if (auto records = store->readFindingRecords(row.fileid, row.finding)) {
//     RecordsWindow window(std::move(*records), row, &agreement, boxes, this);
//     window.exec();
//   }
//
// Its caption names the rule and the file. Under the finding's text, what its
// rule says about it and what to do (showAdvice; none when the rule set gives
// nothing). Above, the most frequent values of
// the tested fields with their counts; in the middle, the records (记录号 and
// the fields, headed by the agreement's meaning and the name, "营业部代码
// YYBDM"); below, "共 N 条，显示前 M 条" when the run kept fewer records than
// the finding counted; then 显示完整证件号码 (identity numbers are masked
// until the operator ticks it, for this window and its export only; shown
// when the finding has identity numbers and offerUnmasking gave the store),
// 导出CSV (UTF-8 with a byte order mark, so that a spreadsheet reads the
// Chinese text, formulas guarded), 导出Excel (a workbook: codes kept as
// text, amounts as numbers), both of what the window shows, the path asked
// through the message boxes and the saved file confirmed with a button that
// opens its folder, and 关闭. Columns share out the width of the window; long values are
// cut short and shown whole in their tooltip.
#pragma once

#include <QDialog>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "rules/RuleBook.h"
#include "store/Store.h"

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;
class QTableWidget;

namespace fc::naming {
class InterfaceLayouts;
}

namespace fc::gui {

class MessageBoxes;
class RecordsModel;

// The finding behind each results row, matched by file name, errid and
// errdesc (the k-th row with the same three texts takes the k-th finding with
// them); nothing for a row without a finding (a file without problems).
std::vector<std::optional<store::FindingRow>> FindingsOfRows(const std::vector<store::ResultRow>& rows,
                                                             const std::vector<store::FindingRow>& findings);

class RecordsWindow : public QDialog {
  Q_OBJECT

 public:
  // `agreement` may be null (headings are then the field names).
  RecordsWindow(store::FindingRecords records, const store::FindingRow& finding,
                const naming::InterfaceLayouts* agreement, MessageBoxes& boxes, QWidget* parent = nullptr);

  QTableWidget* countsTable() const { return counts_; }
  QTableView* recordsTable() const { return table_; }
  QLabel* cappedNote() const { return capped_; }  // hidden when every record was kept
  QCheckBox* unmaskBox() const { return unmask_; }
  QLabel* adviceLine() const { return advice_; }  // hidden when the rule gives no advice

  // Shows what the finding's rule says about it and what to do.
  void showAdvice(const rules::RuleAdvice& advice);

  // Offers 显示完整证件号码 when the finding has identity numbers: ticking it
  // reads the finding's records again from `store`, unmasked.
  void offerUnmasking(store::Store* store);

 public slots:
  void exportCsv();       // 导出CSV: asks for a path, writes every record shown
  void exportWorkbook();  // 导出Excel: the same as a workbook
  void showUnmasked(bool unmasked);  // 显示完整证件号码 ticked or cleared

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void fillCounts(const store::FindingRecords& records, const naming::InterfaceLayouts* agreement);
  void fitCountsHeight();
  std::string csvText() const;
  // Asks where to save (proposing proposedName_ + suffix), writes the file
  // through `write` and confirms it, or says why it failed.
  // `write` writes the whole file or none (false with the error set).
  using FileWriter = std::function<bool(const std::filesystem::path& file, std::string& error)>;
  void exportTo(const QString& title, const QString& filter, const QString& suffix, const FileWriter& write);

  QString proposedName_;   // file name the save dialogs propose, without its ending
  MessageBoxes& boxes_;
  store::FindingRow finding_;                    // the finding shown
  const naming::InterfaceLayouts* agreement_;  // for the headings; may be null
  store::Store* store_ = nullptr;                // where the unmasked records are read; null: not offered
  RecordsModel* model_;    // the records and their headings (记录号, then one per field)
  QTableWidget* counts_;   // field, value, count
  int countsHeight_ = 0;   // px the value counts need to show every row
  QTableView* table_;      // the records
  QLabel* capped_;         // "共 N 条，显示前 M 条"
  QLabel* advice_;         // "说明：…" and "处理办法：…" of the finding's rule
  QCheckBox* unmask_;      // 显示完整证件号码
  QPushButton* export_;    // 导出CSV
  QPushButton* exportWorkbook_;  // 导出Excel
  QPushButton* close_;     // 关闭
};

}  // namespace fc::gui
