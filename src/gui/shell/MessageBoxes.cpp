#include "gui/shell/MessageBoxes.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace fc::gui {

namespace {

QMessageBox::Icon QtIcon(BoxIcon icon) {
  switch (icon) {
    case BoxIcon::Information: return QMessageBox::Information;
    case BoxIcon::Question: return QMessageBox::Question;
    case BoxIcon::Error: return QMessageBox::Critical;
    case BoxIcon::None: break;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons QtButtons(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case BoxButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case BoxButtons::Ok: break;
  }
  return QMessageBox::Ok;
}

// A box closed by Esc or its close box answers like its "no" button.
QMessageBox::StandardButton EscapeButton(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::OkCancel: return QMessageBox::Cancel;
    case BoxButtons::YesNo: return QMessageBox::No;
    case BoxButtons::Ok: break;
  }
  return QMessageBox::Ok;
}

BoxAnswer Answer(int button) {
  switch (button) {
    case QMessageBox::Cancel: return BoxAnswer::Cancel;
    case QMessageBox::Yes: return BoxAnswer::Yes;
    case QMessageBox::No: return BoxAnswer::No;
    default: return BoxAnswer::Ok;
  }
}

}  // namespace

BoxAnswer QtMessageBoxes::show(const QString& title, const QString& text, BoxIcon icon,
                               BoxButtons buttons) {
  QMessageBox box(QtIcon(icon), title, text, QtButtons(buttons), QApplication::activeWindow());
  box.setEscapeButton(EscapeButton(buttons));
  return Answer(box.exec());
}

QString QtMessageBoxes::askSavePath(const QString& title, const QString& proposed, const QString& filter) {
  return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, proposed, filter);
}

void ShowInputError(MessageBoxes& boxes, const QString& text) {
  boxes.show(QStringLiteral("错误提示"), text, BoxIcon::Information, BoxButtons::Ok);
}

}  // namespace fc::gui
