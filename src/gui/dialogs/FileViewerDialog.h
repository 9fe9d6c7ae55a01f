// gui/dialogs/FileViewerDialog.h - the file viewers of the identity re-check
// window: the submission viewer `ViewDir1` "查看及选择[ 报送文件 ]" lists the
// submission files (SFZFCJG) of the source directory, the comparison viewer
// `ViewDir2` "查看及选择[ 比对文件 ]" the comparison files (SFZHCQK). One
// dialog configured two ways.
//
//   OpenFileViewer(Viewer::Submission, window, {sourceDir, companyCode, zipType, dataDate, sendDate, comparisonBox});
//
// A click on a file analyses its name and, when the name is acceptable,
// writes its date at once: the submission date into DataDate, the
// comparison date into SendDate. The submission viewer warns (yellow) when
// the submission date equals the comparison date, and while the comparison
// box is ticked when it lies outside the seven days after it; a warning does
// not block the choice. "确 认" only closes the viewer.
#pragma once

#include <QDialog>

class QAbstractButton;
class QDateEdit;
class QLabel;
class QLineEdit;
class QListWidgetItem;

namespace fc::gui {

class FileList;
struct ViewerSetup;

enum class Viewer { Submission, Comparison };

// What a viewer reads and writes in the identity window.
struct ViewerTargets {
  const QLineEdit* sourceDir = nullptr;          // SourceDir: the directory listed
  const QLineEdit* companyCode = nullptr;        // ZQGSDM as typed: starts the list pattern
  const QAbstractButton* zipType = nullptr;      // CHKZIP: ZIP files while checked, else DBF
  QDateEdit* dataDate = nullptr;                 // DataDate: written by the submission viewer
  QDateEdit* sendDate = nullptr;                 // SendDate: written by the comparison viewer, read by the other
  const QAbstractButton* comparisonBox = nullptr;  // KHXX(1): the seven-day window counts while checked
};

class FileViewerDialog : public QDialog {
  Q_OBJECT

 public:
  FileViewerDialog(Viewer viewer, const ViewerTargets& targets, QWidget* parent = nullptr);

  FileList* fileList() const { return files_; }
  QLabel* resultLabel() const { return resultLine_; }

 public slots:
  void fileClicked(QListWidgetItem* item);  // File1

 private:
  void showSubmissionDate(const QString& dateText);

  const ViewerSetup& setup_;
  ViewerTargets targets_;
  FileList* files_;       // the matching files
  QLabel* resultLine_;    // result of the analysis, signalled by colour
};

// Shows the viewer modally over `parent` and returns when it closes.
void OpenFileViewer(Viewer viewer, QWidget* parent, const ViewerTargets& targets);

}  // namespace fc::gui
