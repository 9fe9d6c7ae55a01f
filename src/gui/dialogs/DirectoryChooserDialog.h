// gui/dialogs/DirectoryChooserDialog.h - the directory choosers "目录选择" of
// the two check windows: the identity window's source directory (`SelectDir1`)
// and output directory (`SelectDir2`), the settlement-fund window's source
// directory (`SelectDir3`) and output directory (`SelectDir4`). One dialog
// configured four ways.
//
//   OpenDirectoryChooser(Chooser::AccountSource, window, {sourceDir, companyCode, companyName, zipType}, home, store,
//                        boxes);
//
// The operator browses drives (the root and the mounted file systems) and
// directories; the source choosers also list the candidate submission files
// of the browsed directory, and a double click on one offers the company
// code its name starts with. "确认并保存设置" writes the directory into the
// window's field, unless it holds a blank or is one of the program's working
// directories. "取消" or closing by the window frame changes nothing.
#pragma once

#include <QDialog>
#include <optional>
#include <string>
#include <vector>

#include "naming/Kinds.h"
#include "settings/AppHome.h"

class QAbstractButton;
class QLabel;
class QLineEdit;
class QListWidgetItem;
class QPushButton;

namespace fc::store {
class Store;
}

namespace fc::gui {

class DirectoryList;
class DriveList;
class FileList;
class MessageBoxes;
struct ChooserSetup;

// In the order of their object names SelectDir1 to SelectDir4.
enum class Chooser { IdentitySource, IdentityTarget, AccountSource, AccountTarget };

// What a chooser reads and writes in its check window.
struct ChooserTargets {
  QLineEdit* dirField = nullptr;           // SourceDir or TargetDir: opened on, written on confirmation
  QLineEdit* companyCode = nullptr;        // ZQGSDM: set by code recognition (source choosers)
  QLineEdit* companyName = nullptr;        // ZQGSMC: set with it
  const QAbstractButton* zipType = nullptr;  // CHKZIP: the file list's ZIP mode while checked
};

class DirectoryChooserDialog : public QDialog {
  Q_OBJECT

 public:
  // `store` answers the company lookups (none: no code is offered);
  // `drives` replaces the system's mount points (for tests).
  DirectoryChooserDialog(Chooser chooser, const ChooserTargets& targets, settings::AppHome home, store::Store* store,
                         MessageBoxes& boxes, QWidget* parent = nullptr, std::vector<std::string> drives = {});

  DriveList* driveList() const { return drives_; }
  DirectoryList* directoryList() const { return directories_; }
  FileList* fileList() const { return files_; }            // nullptr for the output choosers
  QLabel* fileListLabel() const { return filesCaption_; }  // nullptr for the output choosers

 public slots:
  void confirm();  // SelectOk

 private:
  void load();
  void driveChosen();
  void directoryChanged();
  void fileDoubleClicked(QListWidgetItem* item);
  void confirmCompanyCode(const std::string& code);
  void showChangedPattern();
  std::optional<QString> refusal(const QString& path) const;
  naming::FileType fileType() const;

  const ChooserSetup& setup_;
  ChooserTargets targets_;
  settings::AppHome home_;
  store::Store* store_;
  MessageBoxes& boxes_;
  DriveList* drives_;                  // the drives
  DirectoryList* directories_;         // the directory chosen
  QLabel* filesCaption_ = nullptr;     // caption of the file list
  FileList* files_ = nullptr;          // files of the directory, by pattern
  QPushButton* confirmButton_;         // "确认并保存设置"
};

// Shows the chooser modally over `parent` and returns when it closes.
void OpenDirectoryChooser(Chooser chooser, QWidget* parent, const ChooserTargets& targets,
                          const settings::AppHome& home, store::Store* store, MessageBoxes& boxes);

}  // namespace fc::gui
