#include "gui/windows/Controls.h"

#include <QDateEdit>
#include <QPushButton>

namespace fc::gui {

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, QRect geometry) {
  auto* button = Place(new QPushButton(caption, parent), name, geometry);
  button->setAutoDefault(false);
  return button;
}

QDateEdit* MakeDatePicker(QWidget* parent, const char* name, QRect geometry) {
  auto* picker = Place(new QDateEdit(parent), name, geometry);
  picker->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  picker->setCalendarPopup(true);
  return picker;
}

}  // namespace fc::gui
