// gui/shell/Pictures.h - the pictures of the welcome and closing windows,
// drawn by the program at their fixed sizes (in the windows' pixels), for a
// screen of the given device pixel ratio, so they stay sharp on a dense one.
//
//   QPixmap lit = BigButtonPicture("证券公司投资者身份信息复查数据检查", PictureState::Normal,
//                                  window->devicePixelRatioF());
//
// Each picture is a calm gradient plate with its caption; the dimmed
// variant is paler and greyer, the pressed variant darker.
#pragma once

#include <QPixmap>
#include <QSize>
#include <QString>

namespace fc::gui {

enum class PictureState { Normal, Pressed, Dimmed };

inline constexpr QSize kBackgroundSize{659, 404};  // welcome window background
inline constexpr QSize kBigButtonSize{342, 58};    // ButPicture, ButPicture2 (and Picture2)
inline constexpr QSize kExitButtonSize{99, 30};    // Command1 (and Picture3)
inline constexpr QSize kBannerSize{245, 20};       // Picture1 of the welcome window
inline constexpr QSize kCloseImageSize{25, 25};    // Picture1 of the closing window

QPixmap BackgroundPicture(qreal ratio = 1);
QPixmap BigButtonPicture(const QString& caption, PictureState state, qreal ratio = 1);
QPixmap ExitButtonPicture(PictureState state, qreal ratio = 1);
QPixmap BannerPicture(qreal ratio = 1);
QPixmap CloseImage(qreal ratio = 1);

}  // namespace fc::gui
