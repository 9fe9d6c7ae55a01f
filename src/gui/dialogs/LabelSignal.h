// gui/dialogs/LabelSignal.h - the result labels of the file selection dialogs
// signal by their background: red for an error, yellow for a warning, the
// system's button face otherwise.
//
//   SetSignal(resultLine, Signal::Error);
//   resultLine->setText(...);
#pragma once

#include <QColor>

class QLabel;

namespace fc::gui {

enum class Signal { Normal, Warning, Error };

QColor SignalColour(Signal signal);
void SetSignal(QLabel* label, Signal signal);
// The colour the label shows now (for checks of what the operator sees).
QColor ShownColour(const QLabel* label);

}  // namespace fc::gui
