// gui/shell/MessageBoxes.h - every message box of the program, and the
// question where to save a file, go through this one interface, so that tests
// can read and answer them.
//
//   boxes.show("错误提示", "证券公司编码必须6位", BoxIcon::Information, BoxButtons::Ok);
//   if (boxes.show("提示信息", question, BoxIcon::None, BoxButtons::YesNo) == BoxAnswer::Yes) ...
//   QString path = boxes.askSavePath("导出CSV", proposedPath, "CSV文件 (*.csv)");  // empty: cancelled
//   ShowSaved(boxes, "已导出12条记录到" + path, path);   // 确定, or open the folder
//
// QtMessageBoxes shows a real modal QMessageBox, its buttons named 确定, 取消,
// 是 and 否, or a save dialog, over the active window. A text of many lines
// (a list of files) is shown in a scrolling box of bounded height instead,
// so that its 确定 stays on the screen.
//
// showUnbidden() is for what appears without the operator asking (a run's
// end-of-run question and messages): its box ignores the keys for a moment
// after it appears, and held-down keys, so that typing meant for what was
// there before never answers it.
#pragma once

#include <QString>

namespace fc::gui {

enum class BoxIcon { None, Information, Question, Warning, Error };
// YesNoSafeNo: 是 and 否 with 否 the default, for a question where Enter must not say yes.
enum class BoxButtons { Ok, OkCancel, YesNo, YesNoSafeNo, OkOpenFolder };
enum class BoxAnswer { Ok, Cancel, Yes, No, OpenFolder };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows a modal box and returns the button the operator chose.
  virtual BoxAnswer show(const QString& title, const QString& text, BoxIcon icon,
                         BoxButtons buttons) = 0;
  // The same for a box that appears unasked (see above).
  virtual BoxAnswer showUnbidden(const QString& title, const QString& text, BoxIcon icon, BoxButtons buttons) {
    return show(title, text, icon, buttons);
  }
  // Asks where to save a file, proposing `proposed`; the chosen path, or an
  // empty text when the operator cancels. `filter` as Qt's file dialogs take it.
  virtual QString askSavePath(const QString& title, const QString& proposed, const QString& filter) = 0;
};

class QtMessageBoxes final : public MessageBoxes {
 public:
  BoxAnswer show(const QString& title, const QString& text, BoxIcon icon,
                 BoxButtons buttons) override;
  BoxAnswer showUnbidden(const QString& title, const QString& text, BoxIcon icon, BoxButtons buttons) override;
  // How long an unbidden box ignores the keys after it appears.
  static constexpr int kKeyGuardMs = 600;
  QString askSavePath(const QString& title, const QString& proposed, const QString& filter) override;
};

// An input error: title "错误提示", warning icon (an information icon read as
// no error), OK.
void ShowInputError(MessageBoxes& boxes, const QString& text);

// The one confirmation after a file is saved: "信息提示" with `text`, 确定
// and 打开所在文件夹, which opens the folder holding `path` in the desktop's
// file manager.
void ShowSaved(MessageBoxes& boxes, const QString& text, const QString& path);

}  // namespace fc::gui
