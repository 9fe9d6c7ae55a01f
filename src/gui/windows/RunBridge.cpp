#include "gui/windows/RunBridge.h"

#include <QWidget>
#include <exception>
#include <utility>

#include "gui/shell/MessageBoxes.h"

namespace fc::gui {

namespace {

const QString kPackQuestion = QStringLiteral("文件结构和数据检查完成,是否生成zip压缩文件?");

}  // namespace

RunBridge::RunBridge(MessageBoxes& boxes, QWidget* window)
    : QObject(window), boxes_(boxes), window_(window) {}

RunBridge::~RunBridge() {
  if (worker_.joinable()) worker_.join();
}

bool RunBridge::start(settings::AppHome home, pipeline::RunInputs inputs) {
  if (worker_.joinable()) return false;
  worker_ = std::thread([this, home = std::move(home), inputs = std::move(inputs)]() mutable {
    bool completed = false;
    try {
      pipeline::RunDriver driver(std::move(home), std::move(inputs));
      completed = driver.run(*this).completed;
    } catch (const std::exception& e) {
      message(pipeline::MessageKind::Error, e.what());
    }
    QMetaObject::invokeMethod(this, [this, completed] { end(completed); }, Qt::QueuedConnection);
  });
  return true;
}

void RunBridge::end(bool completed) {
  worker_.join();
  emit finished(completed);
}

void RunBridge::status(const std::string& text) {
  QString qtext = QString::fromStdString(text);
  QMetaObject::invokeMethod(this, [this, qtext] { emit statusChanged(qtext); }, Qt::QueuedConnection);
}

void RunBridge::progress(int current, int total) {
  QMetaObject::invokeMethod(
      this, [this, current, total] { emit progressChanged(current, total); }, Qt::QueuedConnection);
}

bool RunBridge::askPack() {
  bool yes = false;
  QMetaObject::invokeMethod(
      this,
      [this, &yes] {
        window_->unsetCursor();
        yes = boxes_.show(QStringLiteral("提示信息"), kPackQuestion, BoxIcon::None,
                          BoxButtons::YesNo) == BoxAnswer::Yes;
        window_->setCursor(Qt::WaitCursor);
      },
      Qt::BlockingQueuedConnection);
  return yes;
}

void RunBridge::message(pipeline::MessageKind kind, const std::string& text) {
  QString qtext = QString::fromStdString(text);
  QMetaObject::invokeMethod(
      this,
      [this, kind, qtext] {
        switch (kind) {
          case pipeline::MessageKind::Information:
            boxes_.show(QStringLiteral("提示信息"), qtext, BoxIcon::Information, BoxButtons::Ok);
            break;
          case pipeline::MessageKind::Plain:
            boxes_.show(QString(), qtext, BoxIcon::None, BoxButtons::Ok);
            break;
          case pipeline::MessageKind::Error:
            boxes_.show(QStringLiteral("错误提示"), qtext, BoxIcon::Error, BoxButtons::Ok);
            break;
        }
      },
      Qt::BlockingQueuedConnection);
}

}  // namespace fc::gui
