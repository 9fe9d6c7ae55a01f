// gui/windows/CheckWindow.h - what the two check windows share: the company
// code and name, the data date, the file type (ZIP or DBF) with its
// relabelling, the rule set that judges the run, the source and output directories, the check button with its
// run on a worker thread, the results button, the status line with a
// progress bar, the settings read at start-up and written at close, and the
// proportional re-layout.
//
// A window class builds its own controls, places the shared ones with
// placeSharedControls() and ends its constructor with finishStartUp():
//
//   AccountCheckWindow window(home, boxes, parent);
//   window.exec();   // modal; closing saves the settings
//
// While a run is in progress the window cannot be closed (the operator is
// told why); "停止检查", or Esc answered with 是, stops it at its next safe
// point. Esc never closes the window.
#pragma once

#include <QDialog>
#include <QList>
#include <filesystem>
#include <memory>
#include <optional>

#include "gui/windows/DatePicker.h"
#include "pipeline/RunInputs.h"
#include "settings/AppHome.h"

class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;

namespace fc::pipeline {
struct RawRunInputs;
enum class InputField;
}  // namespace fc::pipeline
namespace fc::settings {
struct SettingsFile;
}
namespace fc::store {
class Store;
}

namespace fc::gui {

class CompanyCodeEntry;
class MessageBoxes;
class RuleSetChoice;
class RunBridge;

class CheckWindow : public QDialog {
  Q_OBJECT

 public:
  ~CheckWindow() override;

  // The fields the selection dialogs read and write.
  QLineEdit* companyCodeField() const { return companyCode_; }
  QLineEdit* companyNameField() const { return companyName_; }
  QDateEdit* dataDateField() const { return dataDate_; }
  QLineEdit* sourceDirField() const { return sourceDir_; }
  QLineEdit* targetDirField() const { return targetDir_; }
  bool zipTypeSelected() const;
  store::Store* store() const { return store_.get(); }
  CompanyCodeEntry* companyCodeEntry() const { return entry_; }
  bool running() const;

 public slots:
  void applyCheckType();   // CHKZIP / CHKDBF relabel the window
  void startCheck();       // ChkCmd
  void stopCheck();        // StopCmd: the run ends at its next safe point
  void showResults();      // Command1
  void chooseSourceDir();  // Command2
  void chooseTargetDir();  // Command3
  void returnToWelcome();  // ExitCMD
  void activated();        // focus on the code, layout registered
  void done(int result) override;

 signals:
  // A run started from ChkCmd has ended (the final status is shown).
  void checkFinished(bool completed);

 protected:
  CheckWindow(pipeline::Submission submission, settings::AppHome home, MessageBoxes& boxes,
              QWidget* parent);

  // Places the shared controls below the window's own ones, from `top` on,
  // in a main area `width` wide; returns the height the window needs.
  int placeSharedControls(int top, int width);
  // Settings, store, company lookup, layout: the end of every constructor.
  void finishStartUp();
  // Watches a date picker: Enter finishes its date and walks on, a part-typed
  // date left or entered is refused with a message.
  void watchDatePicker(DatePicker* picker);

  // What the window adds to the shared settings and inputs.
  virtual void restoreOwnSettings(const settings::SettingsFile& saved) { (void)saved; }
  virtual void saveOwnSettings(settings::SettingsFile& settings) const { (void)settings; }
  virtual void addOwnRawInputs(pipeline::RawRunInputs& raw) const = 0;
  virtual void addOwnRunInputs(pipeline::RunInputs& inputs) const = 0;
  // Enter on a picker holding a good date.
  virtual void dateAccepted(QDateEdit* picker) { (void)picker; }
  // The pointer moved over `control` (nullptr: the window's background).
  virtual void pointerMovedOver(QWidget* control);
  virtual QWidget* inputField(pipeline::InputField field) const;
  // The window's own controls in the order Tab visits them, between the
  // company name and the file type.
  virtual QList<QWidget*> ownTabOrder() const = 0;

  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;

  MessageBoxes& boxes_;
  QLabel* companyCodeCaption_;        // "证券公司编码"
  QLineEdit* companyCode_;            // company code
  QLabel* companyNameCaption_;        // "证券公司名称"
  QLineEdit* companyName_;            // company name
  QLabel* dataDateCaption_;           // caption of the data date
  DatePicker* dataDate_;              // DataDate
  QGroupBox* fileTypeFrame_;          // "检查文件类型"
  QRadioButton* zipType_;             // CHKZIP
  QRadioButton* dbfType_;             // CHKDBF
  QLabel* ruleSetCaption_;            // "规则集"
  RuleSetChoice* ruleSet_;            // the set of the data date, or one named
  QLabel* sourceDirCaption_;          // caption of the source directory
  QLineEdit* sourceDir_;              // SourceDir
  QPushButton* sourceDirButton_;      // source directory chooser
  QGroupBox* targetDirFrame_;         // holds Label6 and TargetDir
  QLabel* targetDirCaption_;          // caption of the output directory
  QLineEdit* targetDir_;              // TargetDir
  QPushButton* targetDirButton_;      // output directory chooser
  QPushButton* checkButton_;          // starts the run
  QPushButton* stopButton_;           // "停止检查", enabled while a run goes
  QPushButton* latestResultsButton_;  // "查看最近检查结果"
  QPushButton* exitButton_;           // "返回主界面"
  QLineEdit* statusLine_;             // status line
  QProgressBar* progress_;            // file being checked of the total
  QLabel* verdictLine_;               // the verdict of the run that ended here

 private:
  std::filesystem::path settingsFile() const;  // this window's own
  std::optional<settings::SettingsFile> readSettings() const;
  pipeline::RawRunInputs rawInputs() const;
  pipeline::RunInputs runInputs() const;
  void saveSettings();
  void focusInput(pipeline::InputField field);
  void orderTabs();
  void runEnded(bool completed);
  void showProgress(int current, int total);

  pipeline::Submission submission_;
  settings::AppHome home_;
  std::unique_ptr<store::Store> store_;
  CompanyCodeEntry* entry_;
  RunBridge* bridge_;
  QString packingDir_;  // the output folder the operator set, kept while the ZIP type is chosen
};

}  // namespace fc::gui
