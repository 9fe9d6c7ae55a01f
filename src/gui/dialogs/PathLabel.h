// gui/dialogs/PathLabel.h - the label that shows the directory a dialog lists.
//
//   ShowPath(pathLine, sourceDir->text());
//
// A path wider than the label loses its middle to "…", so both its start
// and the directory's own name stay readable; the tooltip holds it whole.
#pragma once

#include <QString>

class QLabel;

namespace fc::gui {

void ShowPath(QLabel* label, const QString& path);

}  // namespace fc::gui
