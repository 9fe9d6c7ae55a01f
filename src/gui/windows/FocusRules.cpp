#include "gui/windows/FocusRules.h"

#include <QFocusEvent>

namespace fc::gui {

bool LeftForAnotherControl(const QFocusEvent* event) {
  switch (event->reason()) {
    case Qt::ActiveWindowFocusReason:
    case Qt::PopupFocusReason:
      return false;
    default:
      return true;
  }
}

}  // namespace fc::gui
