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

}  // namespace

void KeepOpenOnEscape(QDialog* dialog) { dialog->installEventFilter(new EscapeFilter(dialog)); }

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
  auto* button = Place(new QPushButton(caption, parent), name, geometry);
  button->setAutoDefault(false);
  return button;
}

QDateEdit* MakeDatePicker(QWidget* parent, const char* name, QRect geometry) {
  return Place(new DatePicker(parent), name, geometry);
}

}  // namespace fc::gui
