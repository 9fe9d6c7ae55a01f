// gui/shell/MessageBoxes.h - every message box of the program goes through
// this one interface, so that tests can read and answer them.
//
//   boxes.show("错误提示", "证券公司编码必须6位", BoxIcon::Information, BoxButtons::Ok);
//   if (boxes.show("提示信息", question, BoxIcon::None, BoxButtons::YesNo) == BoxAnswer::Yes) ...
//
// QtMessageBoxes shows a real modal QMessageBox over the active window, its
// buttons named 确定, 取消, 是 and 否.
#pragma once

#include <QString>

namespace fc::gui {

enum class BoxIcon { None, Information, Question, Error };
enum class BoxButtons { Ok, OkCancel, YesNo };
enum class BoxAnswer { Ok, Cancel, Yes, No };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Shows a modal box and returns the button the operator chose.
  virtual BoxAnswer show(const QString& title, const QString& text, BoxIcon icon,
                         BoxButtons buttons) = 0;
};

class QtMessageBoxes final : public MessageBoxes {
 public:
  BoxAnswer show(const QString& title, const QString& text, BoxIcon icon,
                 BoxButtons buttons) override;
};

// An input error: title "错误提示", information icon, OK.
void ShowInputError(MessageBoxes& boxes, const QString& text);

}  // namespace fc::gui
