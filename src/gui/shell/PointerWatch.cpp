#include "gui/shell/PointerWatch.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>

namespace fc::gui {

bool IsControl(const QWidget* widget) {
  const QString name = widget->objectName();
  return !name.isEmpty() && !name.startsWith(QLatin1String("qt_"));
}

QWidget* ControlAt(QWidget* window, QPoint pos) {
  for (QWidget* widget = window->childAt(pos); widget && widget != window;
       widget = widget->parentWidget()) {
    if (IsControl(widget)) return widget;
  }
  return nullptr;
}

PointerWatch::PointerWatch(QWidget* window) : QObject(window), window_(window) {
  qApp->installEventFilter(this);
}

bool PointerWatch::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::MouseMove) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != window_) return false;
  const QPoint global = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
  emit movedOver(ControlAt(window_, window_->mapFromGlobal(global)));
  return false;
}

}  // namespace fc::gui
