// gui/windows/RunBridge.h - runs a check on a worker thread and carries what
// the run says to the window's thread.
//
//   auto* bridge = new RunBridge(boxes, window);
//   connect(bridge, &RunBridge::statusChanged, stateStr, &QLineEdit::setText);
//   connect(bridge, &RunBridge::finished, window, &Window::checkFinished);
//   bridge->start(home, inputs);
//
// Status texts and progress arrive queued, in the order the run made them,
// and the paths in status texts and in the packing's summary with the
// system's own separators (ShownPath).
// The packaging question and the run's messages are shown on the window's
// thread while the run waits for them, one at a time and only once no other
// dialog or message of the program is open over the window (so they never
// cover what the operator is busy with, nor stack on another box), except a
// window that only shows the run (AskOverIt: the results so far), which
// they come over rather than wait unseen for it to close; they
// ignore keys typed before they appeared (MessageBoxes::showUnbidden). The
// window's busy cursor gives way to the normal one while the question is open.
#pragma once

#include <QObject>
#include <QString>
#include <deque>
#include <functional>
#include <optional>
#include <thread>

#include "pipeline/RunDriver.h"
#include "pipeline/RunObserver.h"
#include "pipeline/StopRequest.h"

class QTimer;
class QWidget;

namespace fc::gui {

class MessageBoxes;

class RunBridge : public QObject, public pipeline::RunObserver {
  Q_OBJECT

 public:
  // `window` is the check window whose cursor the question restores.
  RunBridge(MessageBoxes& boxes, QWidget* window);
  ~RunBridge() override;

  // Starts RunDriver::run on a new thread; refused (false) while one runs.
  bool start(settings::AppHome home, pipeline::RunInputs inputs);
  bool running() const { return worker_.joinable(); }
  // Asks the run to stop at its next safe point; it then ends as incomplete.
  void requestStop();
  // A question or message of the run waits for another dialog to close.
  bool questionWaiting() const { return !waiting_.empty(); }
  // The run's questions and messages come over `window` (a modal one that
  // only shows the run) instead of waiting for it to close.
  static void AskOverIt(QWidget* window);

  // RunObserver, called on the worker thread.
  void status(const std::string& text) override;
  void progress(int current, int total) override;
  bool askPack(const pipeline::PackQuestion& question) override;
  void message(pipeline::MessageKind kind, const std::string& text) override;
  void packed(const pipeline::PackReport& report) override;

 signals:
  void statusChanged(const QString& text);
  void progressChanged(int current, int total);
  void finished(bool completed);

 private:
  void end(bool completed);
  // Runs `show` on the window's thread once nothing covers the window, and
  // returns when it has run.
  void showWhenFree(std::function<void()> show);
  void showWaiting();  // the first waiting question, if nothing covers the window
  bool windowCovered() const;

  MessageBoxes& boxes_;
  QWidget* window_;
  std::thread worker_;
  std::optional<pipeline::StopRequest> stop_;  // the running check's, made anew for each
  std::deque<std::function<void()>> waiting_;  // questions not shown yet, in order
  bool showing_ = false;                       // a question of the run is open
  QTimer* retry_;                              // looks again while the window is covered
};

}  // namespace fc::gui
