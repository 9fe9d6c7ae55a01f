// gui/windows/RunBridge.h - runs a check on a worker thread and carries what
// the run says to the window's thread.
//
//   auto* bridge = new RunBridge(boxes, window);
//   connect(bridge, &RunBridge::statusChanged, stateStr, &QLineEdit::setText);
//   connect(bridge, &RunBridge::finished, window, &Window::checkFinished);
//   bridge->start(home, inputs);
//
// Status texts and progress arrive queued, in the order the run made them.
// The packaging question and the run's messages are shown on the window's
// thread while the run waits for them; the window's busy cursor gives way to
// the normal one while the question is open.
#pragma once

#include <QObject>
#include <QString>
#include <thread>

#include "pipeline/RunDriver.h"
#include "pipeline/RunObserver.h"

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

  // RunObserver, called on the worker thread.
  void status(const std::string& text) override;
  void progress(int current, int total) override;
  bool askPack() override;
  void message(pipeline::MessageKind kind, const std::string& text) override;

 signals:
  void statusChanged(const QString& text);
  void progressChanged(int current, int total);
  void finished(bool completed);

 private:
  void end(bool completed);

  MessageBoxes& boxes_;
  QWidget* window_;
  std::thread worker_;
};

}  // namespace fc::gui
