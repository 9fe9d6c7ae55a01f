// gui/shell/PointerWatch.h - which control the pointer is over.
//
//   auto* watch = new PointerWatch(window);
//   connect(watch, &PointerWatch::movedOver, window, &Window::pointerMovedOver);
//
// Emits movedOver(control) whenever the pointer moves inside `window`, with
// the control under it (a named child, see IsControl), or nullptr over the
// window's own background. It watches at the application level, so that it
// sees movements over every widget, with or without mouse tracking, enabled
// or not; the same movement may be reported more than once.
#pragma once

#include <QObject>

class QWidget;

namespace fc::gui {

// A control is a named widget; Qt's own helper widgets ("qt_...") are not.
bool IsControl(const QWidget* widget);

// The innermost control of `window` at `pos` (window coordinates), or nullptr.
QWidget* ControlAt(QWidget* window, QPoint pos);

class PointerWatch : public QObject {
  Q_OBJECT

 public:
  explicit PointerWatch(QWidget* window);

 signals:
  void movedOver(QWidget* control);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* window_;
};

}  // namespace fc::gui
