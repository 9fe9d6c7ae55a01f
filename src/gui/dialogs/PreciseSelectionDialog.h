// gui/dialogs/PreciseSelectionDialog.h - the precise file selection `ViewDir3`
// "文件选择及检查项精确配置" of the settlement-fund check window: sets the
// window up from the submission files present in its source directory.
//
//   OpenPreciseSelection(window,
//                        {sourceDir, companyCode, zipType, dataDate, kindBoxes, fullTransfer, incremental, beginNo, endNo},
//                        boxes);
//
// Two states. Not filtered: a click on a file only fixes the filter
// condition, its data date and transfer mode (asked with two options when
// the name cannot tell it), and "按此条件筛选" applies it. Filtered: the list
// shows that date and mode only, each click ticks the file's table kind (in
// the dialog and at once in the window) and widens the sequence range, and
// "取消条件筛选" returns to the first state. "确认设置" writes the date, mode,
// ticks and range into the window; "取消设置" puts back the date and ticks the
// window had when the dialog opened. Closing by the frame writes nothing more
// and restores nothing.
#pragma once

#include <QDate>
#include <QDialog>
#include <array>
#include <string>

#include "naming/Kinds.h"

class QAbstractButton;
class QCheckBox;
class QDateEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidgetItem;
class QPushButton;
class QRadioButton;

namespace fc::naming {
struct AccountName;
}

namespace fc::gui {

class FileList;
class MessageBoxes;

inline constexpr std::size_t kPreciseKinds = naming::kAccountKinds.size();

// What the precise selection reads and writes in the settlement-fund window.
struct PreciseTargets {
  const QLineEdit* sourceDir = nullptr;                 // SourceDir: the directory listed
  const QLineEdit* companyCode = nullptr;               // ZQGSDM as typed: part of the list patterns
  const QAbstractButton* zipType = nullptr;             // CHKZIP: ZIP files while checked, else DBF
  QDateEdit* dataDate = nullptr;                        // DataDate
  std::array<QCheckBox*, kPreciseKinds> kindBoxes{};    // KHXX(0..4), by kind index
  QAbstractButton* fullTransfer = nullptr;              // ALLData
  QAbstractButton* incremental = nullptr;               // IncData
  QLineEdit* beginNo = nullptr;                         // BeginNo
  QLineEdit* endNo = nullptr;                           // EndNo
};

// The sequence numbers taken so far: the last one, the lowest and the highest.
struct SequenceRange {
  static constexpr int kNone = -1;  // no number taken yet
  int current = kNone;              // the number taken last
  int lowest = kNone;               // lowest number taken
  int highest = kNone;              // highest number taken

  void take(int number);
  bool empty() const { return current == kNone || lowest == kNone || highest == kNone; }
};

class PreciseSelectionDialog : public QDialog {
  Q_OBJECT

 public:
  PreciseSelectionDialog(const PreciseTargets& targets, MessageBoxes& boxes, QWidget* parent = nullptr);

  bool filtered() const { return filtered_; }
  FileList* fileList() const { return files_; }

 public slots:
  void fileClicked(QListWidgetItem* item);  // File1
  void modeChosen(bool full);               // Option1 (true) or Option2
  void filterClicked();                     // Command2
  void confirm();                           // SelectOk
  void cancel();                            // Command1

 private:
  void buildControls();
  void showUnfilteredList();
  void takeUnfiltered(const naming::AccountName& name);
  void takeFiltered(const naming::AccountName& name);
  void applyFilter();
  void cancelFilter();
  void mirrorTicks();
  void restoreOpening();
  void confirmNothingChosen(const QString& question);
  bool anyFileTaken() const;
  void showRange();
  naming::FileType fileType() const;

  PreciseTargets targets_;
  MessageBoxes& boxes_;
  std::array<bool, kPreciseKinds> openingTicks_{};  // KHXX as the dialog found them
  QDate openingDate_;                 // DataDate as the dialog found it
  bool modeFull_ = false;             // the filter's transfer mode is full ...
  bool modeIncremental_ = false;      // ... or incremental; neither: still open
  QString filterDateText_;            // date of the last accepted click, "YYYY-MM-DD"
  std::string filterDateDigits_;      // the same as "YYYYMMDD"
  QString pickedDateText_;            // the date that confirmation writes
  SequenceRange sequenceRange_;       // sequence numbers of the files taken
  bool filtered_ = false;             // the list shows the filter's files only

  QLabel* sourcePath_;                // the source directory
  FileList* files_;                   // the submission files
  QLabel* fileTypeLine_;              // file type
  QLabel* dateLine_;                  // date line, signalled by colour
  QLabel* modeLine_;                  // transfer-mode line, signalled by colour
  QGroupBox* modeOptions_;            // the mode options, shown when the name cannot tell
  QRadioButton* fullOption_;          // "全量"
  QRadioButton* incrementalOption_;   // "增量"
  QPushButton* filterButton_;         // applies or cancels the filter
  QLabel* filterType_;                // filter condition: file type
  QLabel* filterDate_;                // filter condition: data date
  QLabel* filterMode_;                // filter condition: transfer mode
  QLabel* filterRange_;               // filter condition: sequence range
  std::array<QCheckBox*, kPreciseKinds> takenKinds_;  // the table kinds taken
};

// Shows the precise selection modally over `parent` and returns when it closes.
void OpenPreciseSelection(QWidget* parent, const PreciseTargets& targets, MessageBoxes& boxes);

}  // namespace fc::gui
