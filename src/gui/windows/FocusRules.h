// gui/windows/FocusRules.h - what counts as leaving a field.
//
// Only a move to another control of the window does; a message box or
// another window taking the focus does not, so that a field's own message
// does not trigger its check again.
#pragma once

class QFocusEvent;

namespace fc::gui {

bool LeftForAnotherControl(const QFocusEvent* event);

}  // namespace fc::gui
