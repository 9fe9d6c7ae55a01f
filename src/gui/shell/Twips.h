// gui/shell/Twips.h - the windows were designed in twips (1440 to the inch);
// the screen counts pixels, 15 twips to a pixel.
//
//   widget->setGeometry(Px(1200), Px(720), Px(4870), Px(890));
//   double left = Twips(widget->x());
#pragma once

#include <cmath>

namespace fc::gui {

inline constexpr int kTwipsPerPixel = 15;

inline int Px(double twips) { return static_cast<int>(std::lround(twips / kTwipsPerPixel)); }
inline double Twips(int pixels) { return static_cast<double>(pixels) * kTwipsPerPixel; }

}  // namespace fc::gui
