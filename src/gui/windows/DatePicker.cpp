#include "gui/windows/DatePicker.h"

#include <QKeyEvent>
#include <QLocale>

namespace fc::gui {

namespace {

const QString kSeparator = QStringLiteral("-");

}  // namespace

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent) {
  setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  // The calendar names its months and days in Chinese whatever the system's language.
  setLocale(QLocale(QLocale::Chinese, QLocale::China));
  setCalendarPopup(true);
}

void DatePicker::keyPressEvent(QKeyEvent* event) {
  const bool swallow = movedOnByItself_ && event->text() == kSeparator;
  const Section before = currentSection();
  movedOnByItself_ = false;
  if (swallow) {
    event->accept();
    return;
  }
  QDateEdit::keyPressEvent(event);
  const bool digit = event->text().size() == 1 && event->text()[0].isDigit();
  movedOnByItself_ = digit && currentSection() != before;
}

void DatePicker::focusInEvent(QFocusEvent* event) {
  movedOnByItself_ = false;
  QDateEdit::focusInEvent(event);
}

}  // namespace fc::gui
