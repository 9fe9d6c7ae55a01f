#include "gui/dialogs/PathLabel.h"

#include <QFontMetrics>
#include <QLabel>

#include "gui/shell/QtText.h"

namespace fc::gui {

void ShowPath(QLabel* label, const QString& path) {
  const QString shown = ShownPath(path);
  label->setWordWrap(false);
  label->setText(label->fontMetrics().elidedText(shown, Qt::ElideMiddle, label->contentsRect().width()));
  label->setToolTip(shown);
}

}  // namespace fc::gui
