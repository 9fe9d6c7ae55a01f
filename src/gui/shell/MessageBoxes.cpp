#include "gui/shell/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <utility>

namespace fc::gui {

namespace {

QMessageBox::Icon QtIcon(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Information: return QMessageBox::Information;
    case BoxIcon::Question: return QMessageBox::Question;
    case BoxIcon::Warning: return QMessageBox::Warning;
    case BoxIcon::Error: return QMessageBox::Critical;
    case BoxIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons QtButtons(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case BoxButtons::YesNo:
    case BoxButtons::YesNoSafeNo: return QMessageBox::Yes | QMessageBox::No;
    case BoxButtons::Ok:
    case BoxButtons::OkOpenFolder: break;
  }
  return QMessageBox::Ok;
}

// A box closed by Esc or its close box answers like its "no" button.
QMessageBox::StandardButton EscapeButton(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::OkCancel: return QMessageBox::Cancel;
    case BoxButtons::YesNo:
    case BoxButtons::YesNoSafeNo: return QMessageBox::No;
    case BoxButtons::Ok:
    case BoxButtons::OkOpenFolder: break;
  }
  return QMessageBox::Ok;
}

// The button Enter presses.
QMessageBox::StandardButton DefaultButton(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::YesNoSafeNo: return QMessageBox::No;
    case BoxButtons::YesNo: return QMessageBox::Yes;
    case BoxButtons::Ok:
    case BoxButtons::OkCancel:
    case BoxButtons::OkOpenFolder: break;
  }
  return QMessageBox::Ok;
}

constexpr QMessageBox::StandardButton kNamedButtons[] = {QMessageBox::Ok, QMessageBox::Yes, QMessageBox::No,
                                                        QMessageBox::Cancel};

// The standard buttons speak Chinese with or without Qt's translations.
QString ButtonName(QMessageBox::StandardButton which) {
  switch (which) {
    case QMessageBox::Ok: return QStringLiteral("确定");
    case QMessageBox::Cancel: return QStringLiteral("取消");
    case QMessageBox::Yes: return QStringLiteral("是");
    case QMessageBox::No: return QStringLiteral("否");
    default: return {};
  }
}

void NameButtons(QMessageBox& box) {
  for (QMessageBox::StandardButton which : kNamedButtons)
    if (QAbstractButton* button = box.button(which)) button->setText(ButtonName(which));
}

BoxAnswer Answer(int button) {
  switch (button) {
    case QMessageBox::Cancel: return BoxAnswer::Cancel;
    case QMessageBox::Yes: return BoxAnswer::Yes;
    case QMessageBox::No: return BoxAnswer::No;
    default: return BoxAnswer::Ok;
  }
}

// More lines than this and a text scrolls in a box of bounded height.
constexpr qsizetype kLongestPlainText = 15;

// Ignores the keys sent to `box` (its buttons included) until
// kKeyGuardMs after it appeared, and every repeat of a held key.
class KeyGuard : public QObject {
 public:
  explicit KeyGuard(QWidget* box) : QObject(box), box_(box) { qApp->installEventFilter(this); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == box_ && event->type() == QEvent::Show) shown_.start();
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::KeyRelease && type != QEvent::ShortcutOverride) return false;
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || (widget != box_ && !box_->isAncestorOf(widget))) return false;
    return static_cast<QKeyEvent*>(event)->isAutoRepeat() || !shown_.isValid() ||
           shown_.elapsed() < QtMessageBoxes::kKeyGuardMs;
  }

 private:
  QWidget* box_;
  QElapsedTimer shown_;  // since the box appeared
};

// A long text: its first line above the rest, which scrolls.
class ScrollingBox : public QDialog {
 public:
  ScrollingBox(const QString& title, const QString& text, BoxButtons buttons, QWidget* parent)
      : QDialog(parent) {
    setObjectName(QStringLiteral("LongMessage"));
    setWindowTitle(title);
    const qsizetype firstBreak = text.indexOf(u'\n');
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(text.left(firstBreak), this));
    auto* rest = new QPlainTextEdit(text.mid(firstBreak + 1), this);
    rest->setReadOnly(true);
    rest->setLineWrapMode(QPlainTextEdit::NoWrap);
    rest->setMinimumSize(560, 240);
    rest->setMaximumHeight(420);
    layout->addWidget(rest);
    auto* box = new QDialogButtonBox(this);
    for (QMessageBox::StandardButton which : kNamedButtons)
      if (QtButtons(buttons).testFlag(which)) addButton(box, which, DefaultButton(buttons));
    layout->addWidget(box);
  }
  BoxAnswer answer() const { return answer_; }

 private:
  void addButton(QDialogButtonBox* box, QMessageBox::StandardButton which, QMessageBox::StandardButton preferred) {
    const bool yes = which == QMessageBox::Ok || which == QMessageBox::Yes;
    QPushButton* button =
        box->addButton(ButtonName(which), yes ? QDialogButtonBox::AcceptRole : QDialogButtonBox::RejectRole);
    button->setDefault(which == preferred);
    connect(button, &QPushButton::clicked, this, [this, which, yes] {
      answer_ = Answer(which);
      yes ? accept() : reject();
    });
  }

  BoxAnswer answer_ = BoxAnswer::Cancel;  // set by a button; Esc leaves the escape answer
};

BoxAnswer Show(const QString& title, const QString& text, BoxIcon icon, BoxButtons buttons, bool unbidden) {
  if (text.count(u'\n') >= kLongestPlainText) {
    ScrollingBox box(title, text, buttons, QApplication::activeWindow());
    if (unbidden) new KeyGuard(&box);
    if (box.exec() == QDialog::Rejected && box.answer() == BoxAnswer::Cancel) return Answer(EscapeButton(buttons));
    return box.answer();
  }
  QMessageBox box(QtIcon(icon), title, text, QtButtons(buttons), QApplication::activeWindow());
  box.setEscapeButton(EscapeButton(buttons));
  box.setDefaultButton(DefaultButton(buttons));
  NameButtons(box);
  QPushButton* openFolder = buttons == BoxButtons::OkOpenFolder
                                ? box.addButton(QStringLiteral("打开所在文件夹"), QMessageBox::ActionRole)
                                : nullptr;
  if (unbidden) new KeyGuard(&box);
  const int answer = box.exec();
  if (openFolder && box.clickedButton() == openFolder) return BoxAnswer::OpenFolder;
  return Answer(answer);
}

}  // namespace

BoxAnswer QtMessageBoxes::show(const QString& title, const QString& text, BoxIcon icon,
                               BoxButtons buttons) {
  return Show(title, text, icon, buttons, false);
}

BoxAnswer QtMessageBoxes::showUnbidden(const QString& title, const QString& text, BoxIcon icon,
                                       BoxButtons buttons) {
  return Show(title, text, icon, buttons, true);
}

QString QtMessageBoxes::askSavePath(const QString& title, const QString& proposed, const QString& filter) {
  return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, proposed, filter);
}

void ShowInputError(MessageBoxes& boxes, const QString& text) {
  boxes.show(QStringLiteral("错误提示"), text, BoxIcon::Warning, BoxButtons::Ok);
}

void ShowSaved(MessageBoxes& boxes, const QString& text, const QString& path) {
  if (boxes.show(QStringLiteral("信息提示"), text, BoxIcon::Information, BoxButtons::OkOpenFolder) ==
      BoxAnswer::OpenFolder)
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

}  // namespace fc::gui
