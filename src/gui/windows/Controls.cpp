#include "gui/windows/Controls.h"

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

#include "gui/windows/DatePicker.h"

namespace fc::gui {

namespace {

// Eats the Esc presses that reach the dialog it watches.
class EscapeFilter : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) return true;
    return QObject::eventFilter(watched, event);
  }
};

bool IsEnter(const QKeyEvent* key) { return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter; }

// Enter on the button it watches presses it, as Space does. The button is
// no default, so Enter in a text field still walks on instead.
class EnterPresses : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const Qt::KeyboardModifiers held = key->modifiers() & ~Qt::KeyboardModifiers(Qt::KeypadModifier);
    if (!IsEnter(key) || held != Qt::NoModifier) return false;
    if (!key->isAutoRepeat()) static_cast<QPushButton*>(watched)->click();
    return true;
  }
};

}  // namespace

void KeepOpenOnEscape(QDialog* dialog) { dialog->installEventFilter(new EscapeFilter(dialog)); }

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
  auto* button = Place(new QPushButton(caption, parent), name, geometry);
  button->setAutoDefault(false);
  button->installEventFilter(new EnterPresses(button));
  return button;
}

DatePicker* MakeDatePicker(QWidget* parent, const char* name, QRect geometry) {
  return Place(new DatePicker(parent), name, geometry);
}

}  // namespace fc::gui
