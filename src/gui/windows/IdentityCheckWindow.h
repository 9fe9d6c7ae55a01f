// gui/windows/IdentityCheckWindow.h - the identity re-check window `mainfrm2`:
// the company's result table SFZFCJG and, optionally, the comparison table
// SFZHCQK it is checked against, with a help panel that explains the control
// under the pointer.
//
//   IdentityCheckWindow window(home, boxes, welcome);
//   window.exec();
//
// The submission box cannot be cleared; the comparison box switches its
// date and viewer on and off. The help text is always updated; it is only
// visible while the help is on (Command6 "关").
#pragma once

#include <QHash>

#include "gui/windows/CheckWindow.h"

class QCheckBox;
class QPlainTextEdit;

namespace fc::gui {

enum class Viewer;

class IdentityCheckWindow : public CheckWindow {
  Q_OBJECT

 public:
  IdentityCheckWindow(settings::AppHome home, MessageBoxes& boxes, QWidget* parent = nullptr);

  QCheckBox* submissionBox() const { return submissionBox_; }
  QCheckBox* comparisonBox() const { return comparisonBox_; }
  QDateEdit* sendDateField() const { return sendDate_; }
  QString noteText() const;
  bool helpOn() const;

 public slots:
  void openSubmissionViewer();  // Command4
  void openComparisonViewer();  // Command5
  void toggleHelp();            // Command6 click
  void submissionBoxClicked();
  void comparisonBoxToggled(bool checked);

 protected:
  void restoreOwnSettings(const settings::SettingsFile& saved) override;
  void saveOwnSettings(settings::SettingsFile& settings) const override;
  void addOwnRawInputs(pipeline::RawRunInputs& raw) const override;
  void addOwnRunInputs(pipeline::RunInputs& inputs) const override;
  void pointerMovedOver(QWidget* control) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  QList<QWidget*> ownTabOrder() const override;

 private:
  void openViewer(Viewer viewer);
  QString helpText(QWidget* control) const;
  bool companyCodeGiven();

  QCheckBox* submissionBox_;             // the submission SFZFCJG
  QCheckBox* comparisonBox_;             // the comparison file SFZHCQK
  DatePicker* sendDate_;                 // comparison file date
  QPushButton* submissionViewerButton_;  // submission viewer
  QPushButton* comparisonViewerButton_;  // comparison viewer
  QPlainTextEdit* noteText_;             // the help text
  QPushButton* helpButton_;              // help on ("开") / off ("关")
  QHash<QWidget*, QString> fixedHelp_;   // help texts that do not follow captions
};

}  // namespace fc::gui
