// gui/support/DialogTestSupport.h - what the selection dialog tests share: the fields
// of a check window as plain widgets, directories of empty files, and mouse
// clicks on list entries.
#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <filesystem>
#include <initializer_list>
#include <string>
#include <vector>

class QCheckBox;
class QDateEdit;
class QLineEdit;
class QListWidget;
class QRadioButton;

namespace fc::test {

class TempDir;

// The window fields the dialogs read and write, in one shown widget.
struct WindowFields {
  WindowFields();

  QWidget window;
  QLineEdit* sourceDir;                // SourceDir
  QLineEdit* targetDir;                // TargetDir
  QLineEdit* code;                     // ZQGSDM
  QLineEdit* name;                     // ZQGSMC
  QRadioButton* zip;                   // CHKZIP, checked
  QRadioButton* dbf;                   // CHKDBF
  QDateEdit* dataDate;                 // DataDate
  QDateEdit* sendDate;                 // SendDate
  QCheckBox* comparison;               // KHXX(1) of the identity window
  std::array<QCheckBox*, 5> kinds;     // KHXX(0..4) of the settlement-fund window, all ticked
  QRadioButton* allData;               // ALLData
  QRadioButton* incData;               // IncData, checked
  QLineEdit* beginNo;                  // BeginNo
  QLineEdit* endNo;                    // EndNo
};

// A path as the windows name it: in Qt's form, '/' between names on every
// system (C:/报送 on Windows).
QString ToQString(const std::filesystem::path& path);
// A path as the operator reads it in a field or a label: with the system's
// separators (C:\报送 on Windows).
QString Shown(const std::filesystem::path& path);

using Names = std::vector<std::string>;

// The entries of `list`, in order (as UTF-8, for readable failures).
Names EntriesOf(const QListWidget* list);

// Creates empty files `names` in `dir`.
void Touch(const TempDir& dir, std::initializer_list<const char*> names);

// Clicks or double-clicks the entry `text` (indentation aside) of `list` with the mouse; fails
// the test when there is none.
void ClickEntry(QListWidget* list, const QString& text);
void DoubleClickEntry(QListWidget* list, const QString& text);

}  // namespace fc::test
