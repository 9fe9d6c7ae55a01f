// gui/shell/LayoutScaling.h - proportional re-layout of resizable windows.
//
//   RememberLayout(window);   // at the end of start-up and on activation
//   ScaleLayout(window);      // from the window's resizeEvent
//
// RememberLayout records the window's inner size (in twips) as the one
// program-wide reference size, and each control's rectangle in the control's
// "Tag" property as "left   top   width   height   " (twips, relative to its
// container). ScaleLayout places every control at its remembered rectangle
// times the ratio of the present inner size to the reference size, so that
// shrinking and enlarging again restores every control exactly.
//
// The controls are the window's controls (see IsControl in PointerWatch.h)
// and, inside frames (QGroupBox), theirs.
#pragma once

#include <QSizeF>

class QWidget;

namespace fc::gui {

inline constexpr char kTagProperty[] = "Tag";

void RememberLayout(QWidget* window);
void ScaleLayout(QWidget* window);

// The reference size of the last RememberLayout, in twips.
QSizeF ReferenceSize();

}  // namespace fc::gui
