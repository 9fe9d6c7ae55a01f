#include "gui/shell/MessageBoxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>
#include <utility>

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
    case BoxButtons::Ok:
    case BoxButtons::OkOpenFolder: break;
  }
  return QMessageBox::Ok;
}

// A box closed by Esc or its close box answers like its "no" button.
QMessageBox::StandardButton EscapeButton(BoxButtons buttons) {
  switch (buttons) {
    case BoxButtons::OkCancel: return QMessageBox::Cancel;
    case BoxButtons::YesNo: return QMessageBox::No;
    case BoxButtons::Ok:
    case BoxButtons::OkOpenFolder: break;
  }
  return QMessageBox::Ok;
}

// The standard buttons speak Chinese with or without Qt's translations.
void NameButtons(QMessageBox& box) {
  const std::pair<QMessageBox::StandardButton, QString> names[] = {
      {QMessageBox::Ok, QStringLiteral("确定")},
      {QMessageBox::Cancel, QStringLiteral("取消")},
      {QMessageBox::Yes, QStringLiteral("是")},
      {QMessageBox::No, QStringLiteral("否")},
  };
  for (const auto& [which, name] : names)
    if (QAbstractButton* button = box.button(which)) button->setText(name);
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
  NameButtons(box);
  QPushButton* openFolder = buttons == BoxButtons::OkOpenFolder
                                ? box.addButton(QStringLiteral("打开所在文件夹"), QMessageBox::ActionRole)
                                : nullptr;
  const int answer = box.exec();
  if (openFolder && box.clickedButton() == openFolder) return BoxAnswer::OpenFolder;
  return Answer(answer);
}

QString QtMessageBoxes::askSavePath(const QString& title, const QString& proposed, const QString& filter) {
  return QFileDialog::getSaveFileName(QApplication::activeWindow(), title, proposed, filter);
}

void ShowInputError(MessageBoxes& boxes, const QString& text) {
  boxes.show(QStringLiteral("错误提示"), text, BoxIcon::Information, BoxButtons::Ok);
}

void ShowSaved(MessageBoxes& boxes, const QString& text, const QString& path) {
  if (boxes.show(QStringLiteral("信息提示"), text, BoxIcon::Information, BoxButtons::OkOpenFolder) ==
      BoxAnswer::OpenFolder)
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

}  // namespace fc::gui
