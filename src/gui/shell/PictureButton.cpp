#include "gui/shell/PictureButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace fc::gui {

PictureButton::PictureButton(QWidget* parent) : QAbstractButton(parent) {
  setFocusPolicy(Qt::NoFocus);
}

void PictureButton::setPictures(const QPixmap& normal, const QPixmap& pressed,
                                const QPixmap& disabled) {
  normal_ = normal;
  pressed_ = pressed;
  disabled_ = disabled;
  update();
}

const QPixmap& PictureButton::currentPicture() const {
  if (!isEnabled() && !disabled_.isNull()) return disabled_;
  if (isDown()) return pressed_;
  return normal_;
}

QSize PictureButton::sizeHint() const { return normal_.deviceIndependentSize().toSize(); }

void PictureButton::paintEvent(QPaintEvent*) {
  const QPixmap& picture = currentPicture();
  // Placed by its size in the window's pixels; a dense screen's picture has more of its own.
  const QSize size = picture.deviceIndependentSize().toSize();
  QPainter painter(this);
  painter.drawPixmap((width() - size.width()) / 2, (height() - size.height()) / 2, picture);
  if (!hasFocus()) return;
  QStyleOptionFocusRect focus;
  focus.initFrom(this);
  focus.rect = rect().adjusted(1, 1, -1, -1);
  style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

}  // namespace fc::gui
