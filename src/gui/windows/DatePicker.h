// gui/windows/DatePicker.h - the date boxes of the check windows: a QDateEdit
// showing "yyyy-MM-dd" with a Chinese calendar drop-down, into which an
// operator may type a date with or without its dashes.
//
//   auto* date = new DatePicker(parent);   // or MakeDatePicker(parent, "DataDate", geometry)
//   // typing "2008-08-08" or "20080808" over the selected year gives 2008-08-08
//
// A complete year or month moves the cursor on by itself; the dash the
// operator types next belongs to the section just left, so it is taken as
// already done instead of skipping the next section as well.
#pragma once

#include <QDateEdit>

namespace fc::gui {

class DatePicker : public QDateEdit {
  Q_OBJECT

 public:
  explicit DatePicker(QWidget* parent = nullptr);

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  bool movedOnByItself_ = false;  // the last key filled a section and moved to the next
};

}  // namespace fc::gui
