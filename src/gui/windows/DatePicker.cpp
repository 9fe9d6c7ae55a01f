#include "gui/windows/DatePicker.h"

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QSignalBlocker>

#include "gui/windows/FocusRules.h"
#include "pipeline/Validation.h"

namespace fc::gui {

namespace {

// The longest text a date is typed as ("2008-08-08").
constexpr qsizetype kLongestTyped = 10;

// Slashes and dots part a date as dashes do ("2008/08/08", "2008.08.08"):
// operators type all three.
bool IsDateSeparator(QChar c) { return c == u'-' || c == u'/' || c == u'.'; }
bool IsDateCharacter(QChar c) { return c.isDigit() || IsDateSeparator(c); }

// The typed characters with every separator as a dash.
QString Dashed(QString text) {
  for (QChar& c : text)
    if (IsDateSeparator(c)) c = u'-';
  return text;
}

// Typing has reached the last digit of a date: eight digits, or a two-digit
// day after the second dash. A shorter day is finished on leaving.
bool TypedToTheEnd(const QString& typed) {
  const qsizetype dashes = typed.count(u'-');
  if (dashes == 0) return typed.size() == 8;
  return dashes == 2 && typed.size() - typed.lastIndexOf(u'-') - 1 == 2;
}

}  // namespace

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent) {
  setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
  // The calendar names its months and days in Chinese whatever the system's language.
  setLocale(QLocale(QLocale::Chinese, QLocale::China));
  setCalendarPopup(true);
  lineEdit()->installEventFilter(this);
}

bool DatePicker::finishTyping() {
  if (!typing_) return true;
  std::optional<std::string> digits = pipeline::FinishTypedDate(typed_.toStdString());
  if (!digits) return false;
  typing_ = false;
  typed_.clear();
  setDate(QDate::fromString(QString::fromStdString(*digits), QStringLiteral("yyyyMMdd")));
  // The date is whole: the next Tab leaves the box instead of visiting its month and day.
  setCurrentSection(DaySection);
  return true;
}

void DatePicker::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  if (event->matches(QKeySequence::Paste)) {
    QString pasted;
    for (QChar c : QApplication::clipboard()->text().trimmed())
      if (IsDateCharacter(c)) pasted += c;
    typing_ = true;
    typed_.clear();
    type(pasted);
  } else if (text.size() == 1 && IsDateCharacter(text[0])) {
    if (!typing_ && IsDateSeparator(text[0])) return;  // a separator alone starts nothing
    if (!typing_) typed_.clear();
    typing_ = true;
    type(text);
  } else if (event->key() == Qt::Key_Backspace || event->key() == Qt::Key_Delete) {
    if (!typing_) typed_.clear();  // starts a new date from an empty box
    typing_ = true;
    typed_.chop(1);
    showTyped();
  } else if (typing_ && event->key() == Qt::Key_Escape) {
    dropTyping();
  } else {
    // Any other key works on the date itself, which the typed text would hide.
    if (typing_) dropTyping();
    QDateEdit::keyPressEvent(event);
    return;
  }
  event->accept();
}

void DatePicker::mousePressEvent(QMouseEvent* event) {
  if (typing_) dropTyping();  // a click starts over, as after the first click
  QDateEdit::mousePressEvent(event);
}

bool DatePicker::eventFilter(QObject* watched, QEvent* event) {
  if (watched == lineEdit() && event->type() == QEvent::MouseButtonPress && typing_) dropTyping();
  return QDateEdit::eventFilter(watched, event);
}

void DatePicker::wheelEvent(QWheelEvent* event) {
  if (typing_) dropTyping();
  QDateEdit::wheelEvent(event);
}

void DatePicker::type(const QString& text) {
  typed_ = (typed_ + Dashed(text)).left(kLongestTyped);
  showTyped();
  if (TypedToTheEnd(typed_)) finishTyping();
}

void DatePicker::showTyped() {
  // Quiet: the box would otherwise read its own date from a typed text it
  // can already parse ("2009-9-9"), which is not finished until Enter or leaving.
  const QSignalBlocker quiet(lineEdit());
  lineEdit()->setText(typed_);
  lineEdit()->setCursorPosition(static_cast<int>(typed_.size()));
}

void DatePicker::dropTyping() {
  typing_ = false;
  typed_.clear();
  const QSignalBlocker quiet(lineEdit());
  lineEdit()->setText(textFromDateTime(dateTime()));
}

void DatePicker::focusOutEvent(QFocusEvent* event) {
  if (typing_ && LeftForAnotherControl(event) && !finishTyping()) {
    dropTyping();
    emit typingRefused();
  }
  QDateEdit::focusOutEvent(event);
}

bool DatePicker::focusNextPrevChild(bool next) {
  // While a date is being typed, Tab leaves the box (finishing the date)
  // instead of walking its sections.
  if (typing_) return QWidget::focusNextPrevChild(next);
  return QDateEdit::focusNextPrevChild(next);
}

}  // namespace fc::gui
