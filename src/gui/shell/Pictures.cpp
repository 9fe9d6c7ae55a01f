#include "gui/shell/Pictures.h"

#include <QColor>
#include <QFont>
#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

#include "Version.h"

namespace fc::gui {

namespace {

struct Plate {
  QColor top;     // gradient start
  QColor bottom;  // gradient end
  QColor text;    // caption colour
};

Plate ButtonPlate(PictureState state) {
  switch (state) {
    case PictureState::Pressed: return {QColor(52, 104, 170), QColor(24, 62, 122), Qt::white};
    // Unlit, not unavailable: a pale plate with a dark caption that reads at a glance.
    case PictureState::Dimmed: return {QColor(232, 239, 250), QColor(188, 206, 234), QColor(30, 62, 116)};
    case PictureState::Normal: break;
  }
  return {QColor(96, 156, 226), QColor(38, 92, 168), Qt::white};
}

QFont CaptionFont(int pixelSize, bool bold) {
  QFont font;
  font.setPixelSize(pixelSize);
  font.setBold(bold);
  return font;
}

// The largest caption font up to `pixelSize` whose text fits `width`.
QFont FittingFont(const QString& caption, int pixelSize, int width) {
  QFont font = CaptionFont(pixelSize, true);
  while (font.pixelSize() > 8 && QFontMetrics(font).horizontalAdvance(caption) > width)
    font.setPixelSize(font.pixelSize() - 1);
  return font;
}

// A picture of `size` window pixels with `ratio` device pixels to each.
QPixmap Canvas(QSize size, qreal ratio) {
  QPixmap pixmap(size * ratio);
  pixmap.setDevicePixelRatio(ratio);
  return pixmap;
}

// A rounded gradient plate with a centred caption, filling `size`.
QPixmap DrawPlate(QSize size, qreal ratio, const Plate& plate, const QString& caption, int fontPixels) {
  QPixmap pixmap = Canvas(size, ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QRectF frame = QRectF(QPointF(0, 0), QSizeF(size)).adjusted(0.5, 0.5, -0.5, -0.5);
  QLinearGradient gradient(frame.topLeft(), frame.bottomLeft());
  gradient.setColorAt(0, plate.top);
  gradient.setColorAt(1, plate.bottom);
  qreal radius = size.height() / 4.0;
  painter.setPen(QPen(plate.bottom.darker(120), 1));
  painter.setBrush(gradient);
  painter.drawRoundedRect(frame, radius, radius);
  // A soft highlight over the upper half gives the plate some depth.
  QRectF gloss = frame.adjusted(2, 2, -2, -frame.height() / 2);
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255, 40));
  painter.drawRoundedRect(gloss, radius - 2, radius - 2);
  painter.setPen(plate.text);
  painter.setFont(FittingFont(caption, fontPixels, size.width() - 2 * size.height() / 3));
  painter.drawText(frame, Qt::AlignCenter, caption);
  return pixmap;
}

}  // namespace

QPixmap BackgroundPicture(qreal ratio) {
  QPixmap pixmap = Canvas(kBackgroundSize, ratio);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient gradient(0, 0, 0, kBackgroundSize.height());
  gradient.setColorAt(0, QColor(236, 243, 252));
  gradient.setColorAt(0.55, QColor(206, 222, 242));
  gradient.setColorAt(1, QColor(178, 202, 232));
  painter.fillRect(QRect(QPoint(0, 0), kBackgroundSize), gradient);
  painter.setPen(QColor(30, 62, 116));
  painter.setFont(CaptionFont(24, true));
  painter.drawText(QRect(0, 18, kBackgroundSize.width(), 44), Qt::AlignCenter,
                   QStringLiteral("证券公司报送数据文件检查软件"));
  painter.setPen(QPen(QColor(120, 150, 196), 1));
  painter.drawLine(120, 66, kBackgroundSize.width() - 120, 66);
  return pixmap;
}

QPixmap BigButtonPicture(const QString& caption, PictureState state, qreal ratio) {
  // The big buttons are not drawn darker when pressed: the lit plate stays.
  PictureState drawn = state == PictureState::Dimmed ? state : PictureState::Normal;
  return DrawPlate(kBigButtonSize, ratio, ButtonPlate(drawn), caption, 18);
}

QPixmap ExitButtonPicture(PictureState state, qreal ratio) {
  return DrawPlate(kExitButtonSize, ratio, ButtonPlate(state), QStringLiteral("退  出"), 14);
}

QPixmap BannerPicture(qreal ratio) {
  QPixmap pixmap = Canvas(kBannerSize, ratio);
  const QRect area(QPoint(0, 0), kBannerSize);
  QPainter painter(&pixmap);
  QLinearGradient gradient(0, 0, kBannerSize.width(), 0);
  gradient.setColorAt(0, QColor(178, 202, 232));
  gradient.setColorAt(1, QColor(150, 180, 220));
  painter.fillRect(area, gradient);
  painter.setPen(QColor(30, 62, 116));
  painter.setFont(CaptionFont(12, false));
  painter.drawText(area.adjusted(0, 0, -6, 0), Qt::AlignRight | Qt::AlignVCenter,
                   QStringLiteral("报送数据文件检查软件  版本 ") + QLatin1String(fc::kVersion));
  return pixmap;
}

QPixmap CloseImage(qreal ratio) {
  QPixmap pixmap = Canvas(kCloseImageSize, ratio);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  QRectF disc = QRectF(QPointF(0, 0), QSizeF(kCloseImageSize)).adjusted(1, 1, -1, -1);
  QLinearGradient gradient(disc.topLeft(), disc.bottomLeft());
  gradient.setColorAt(0, QColor(232, 96, 96));
  gradient.setColorAt(1, QColor(176, 36, 36));
  painter.setPen(QPen(QColor(128, 24, 24), 1));
  painter.setBrush(gradient);
  painter.drawEllipse(disc);
  painter.setPen(QPen(Qt::white, 2.5, Qt::SolidLine, Qt::RoundCap));
  painter.drawLine(QPointF(8.5, 8.5), QPointF(16.5, 16.5));
  painter.drawLine(QPointF(16.5, 8.5), QPointF(8.5, 16.5));
  return pixmap;
}

}  // namespace fc::gui
