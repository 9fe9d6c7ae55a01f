// gui/windows/DatePicker.h - the date boxes of the check windows: a QDateEdit
// showing "yyyy-MM-dd" with a Chinese calendar drop-down, into which an
// operator types a whole date, with or without its dashes (slashes and dots
// are taken as dashes).
//
//   auto* date = new DatePicker(parent);   // or MakeDatePicker(parent, "DataDate", geometry)
//   connect(date, &DatePicker::typingRefused, ...);   // a part-typed date was left
//
// Typing replaces the whole date however the box was reached (Tab, Enter, a
// click anywhere in it, Ctrl+A): the first digit starts a new date, shown as
// typed, and the box's date changes only once the typed text is a whole
// calendar day ("20080808", "2008-08-08"; "2008-8-8" is finished on leaving
// or Enter). A part-typed date is never half applied: leaving the box for
// another control finishes it or, when it cannot be finished, gives the old
// date back and emits typingRefused(). Backspace with nothing typed empties
// the box to type anew (an emptied box is refused like a part-typed date).
// The arrow keys, the wheel and the calendar change the date as a QDateEdit
// does; reaching for them (or clicking the box) drops a date being typed.
#pragma once

#include <QDateEdit>

namespace fc::gui {

class DatePicker : public QDateEdit {
  Q_OBJECT

 public:
  explicit DatePicker(QWidget* parent = nullptr);

  // True when a date is being typed and has not been finished yet.
  bool typing() const { return typing_; }
  // Applies the typed date when it is a whole one; false (the typed text
  // kept) when it is not. True when nothing is being typed.
  bool finishTyping();

 signals:
  // A part-typed date was left for another control and dropped.
  void typingRefused();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;  // presses on the text
  void wheelEvent(QWheelEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  bool focusNextPrevChild(bool next) override;

 private:
  void type(const QString& text);  // digits and separators, added to the typed date
  void showTyped();
  void dropTyping();  // the box shows its date again

  bool typing_ = false;  // a date is being typed
  QString typed_;        // what has been typed of it
};

}  // namespace fc::gui
