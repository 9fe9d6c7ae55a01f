#include "gui/dialogs/LabelSignal.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>

namespace fc::gui {

QColor SignalColour(Signal signal) {
  switch (signal) {
    case Signal::Error: return QColor(255, 0, 0);
    case Signal::Warning: return QColor(255, 255, 0);
    case Signal::Normal: break;
  }
  return QApplication::palette().color(QPalette::Button);
}

void SetSignal(QLabel* label, Signal signal) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::Window, SignalColour(signal));
  label->setPalette(palette);
  label->setAutoFillBackground(true);
}

QColor ShownColour(const QLabel* label) { return label->palette().color(QPalette::Window); }

}  // namespace fc::gui
