#include "gui/windows/RunBridge.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <exception>
#include <future>
#include <utility>

#include "gui/shell/MessageBoxes.h"
#include "gui/shell/QtText.h"

namespace fc::gui {

namespace {

constexpr int kRetryMs = 200;
// Marks the windows the run's questions may come over.
constexpr char kAskOverIt[] = "fcRunAsksOverIt";

std::string ShownStdPath(const std::string& path) { return ShownPath(FromStd(path)).toStdString(); }

}  // namespace

RunBridge::RunBridge(MessageBoxes& boxes, QWidget* window)
    : QObject(window), boxes_(boxes), window_(window), retry_(new QTimer(this)) {
  retry_->setSingleShot(true);
  retry_->setInterval(kRetryMs);
  connect(retry_, &QTimer::timeout, this, &RunBridge::showWaiting);
}

RunBridge::~RunBridge() {
  if (worker_.joinable()) worker_.join();
}

bool RunBridge::start(settings::AppHome home, pipeline::RunInputs inputs) {
  if (worker_.joinable()) return false;
  stop_.emplace();
  worker_ = std::thread([this, home = std::move(home), inputs = std::move(inputs)]() mutable {
    bool completed = false;
    try {
      pipeline::RunDriver driver(std::move(home), std::move(inputs));
      completed = driver.run(*this, *stop_).completed;
    } catch (const std::exception& e) {
      message(pipeline::MessageKind::Error, e.what());
    }
    QMetaObject::invokeMethod(this, [this, completed] { end(completed); }, Qt::QueuedConnection);
  });
  return true;
}

void RunBridge::requestStop() {
  if (stop_) stop_->request();
}

void RunBridge::end(bool completed) {
  worker_.join();
  emit finished(completed);
}

// A status names at most the path of the file at hand, and holds no other "/".
void RunBridge::status(const std::string& text) {
  QString qtext = ShownPath(FromStd(text));
  QMetaObject::invokeMethod(this, [this, qtext] { emit statusChanged(qtext); }, Qt::QueuedConnection);
}

void RunBridge::progress(int current, int total) {
  QMetaObject::invokeMethod(
      this, [this, current, total] { emit progressChanged(current, total); }, Qt::QueuedConnection);
}

bool RunBridge::askPack(const pipeline::PackQuestion& question) {
  bool yes = false;
  const QString text = QString::fromStdString(question.text());
  const BoxButtons buttons = question.safeAnswerIsNo() ? BoxButtons::YesNoSafeNo : BoxButtons::YesNo;
  showWhenFree([this, &yes, &text, buttons] {
    window_->unsetCursor();
    yes = boxes_.showUnbidden(QStringLiteral("提示信息"), text, BoxIcon::None, buttons) == BoxAnswer::Yes;
    window_->setCursor(Qt::WaitCursor);
  });
  return yes;
}

void RunBridge::message(pipeline::MessageKind kind, const std::string& text) {
  QString qtext = QString::fromStdString(text);
  showWhenFree([this, kind, qtext] {
    switch (kind) {
      case pipeline::MessageKind::Information:
        boxes_.showUnbidden(QStringLiteral("提示信息"), qtext, BoxIcon::Information, BoxButtons::Ok);
        break;
      case pipeline::MessageKind::Plain:
        boxes_.showUnbidden(QString(), qtext, BoxIcon::None, BoxButtons::Ok);
        break;
      case pipeline::MessageKind::Error:
        boxes_.showUnbidden(QStringLiteral("错误提示"), qtext, BoxIcon::Error, BoxButtons::Ok);
        break;
    }
  });
}

void RunBridge::packed(const pipeline::PackReport& report) {
  pipeline::PackReport shown = report;
  for (pipeline::PackedArchive& archive : shown.written) {
    archive.archive = ShownStdPath(archive.archive);
    archive.keptAs = ShownStdPath(archive.keptAs);
  }
  for (pipeline::PackFailure& failure : shown.failures) failure.source = ShownStdPath(failure.source);
  RunObserver::packed(shown);
}

void RunBridge::showWhenFree(std::function<void()> show) {
  std::promise<void> shown;
  std::future<void> done = shown.get_future();
  QMetaObject::invokeMethod(
      this,
      [this, show = std::move(show), &shown]() mutable {
        waiting_.push_back([show = std::move(show), &shown] {
          show();
          shown.set_value();
        });
        showWaiting();
      },
      Qt::QueuedConnection);
  done.wait();
}

void RunBridge::showWaiting() {
  if (waiting_.empty() || showing_) return;
  if (windowCovered()) {
    retry_->start();
    return;
  }
  std::function<void()> next = std::move(waiting_.front());
  waiting_.pop_front();
  showing_ = true;
  next();
  showing_ = false;
  showWaiting();
}

void RunBridge::AskOverIt(QWidget* window) { window->setProperty(kAskOverIt, true); }

bool RunBridge::windowCovered() const {
  if (QApplication::activePopupWidget()) return true;  // a calendar or a list dropped down
  const QWidget* modal = QApplication::activeModalWidget();
  return modal && modal != window_ && !modal->property(kAskOverIt).toBool();
}

}  // namespace fc::gui
