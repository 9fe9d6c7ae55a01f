#include "gui/dialogs/PathLabel.h"

#include <QFontMetrics>
#include <QLabel>

namespace fc::gui {

void ShowPath(QLabel* label, const QString& path) {
  label->setWordWrap(false);
  label->setText(label->fontMetrics().elidedText(path, Qt::ElideMiddle, label->contentsRect().width()));
  label->setToolTip(path);
}

}  // namespace fc::gui
