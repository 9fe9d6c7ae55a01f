// gui/windows/Controls.h - makers for the absolutely placed, named controls
// of the check windows (the name is the control's name in the program, the
// geometry in pixels relative to its container), and the dialogs' guard
// against Esc.
//
//   auto* code = Place(new QLineEdit(this), "ZQGSDM", {106, 16, 100, 24});
//   auto* check = MakeButton(this, "ChkCmd", "检查ZIP文件", {16, 360, 140, 32});
//   KeepOpenOnEscape(this);
#pragma once

#include <QRect>
#include <QString>
#include <QWidget>

class QDialog;
class QPushButton;

namespace fc::gui {

class DatePicker;

template <class W>
W* Place(W* widget, const char* name, QRect geometry) {
  widget->setObjectName(QLatin1String(name));
  widget->setGeometry(geometry);
  return widget;
}

// A push button that Enter in a text field does not press; Enter on the
// button itself (focused) does, like Space.
QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry);

// Esc no longer closes `dialog` (QDialog's default rejects it).
void KeepOpenOnEscape(QDialog* dialog);

// A date picker showing "yyyy-MM-dd", with a calendar drop-down (DatePicker.h).
DatePicker* MakeDatePicker(QWidget* parent, const char* name, QRect geometry);

}  // namespace fc::gui
