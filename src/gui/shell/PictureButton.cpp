#include "gui/shell/PictureButton.h"

#include <QPainter>

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

QSize PictureButton::sizeHint() const { return normal_.size(); }

void PictureButton::paintEvent(QPaintEvent*) {
  const QPixmap& picture = currentPicture();
  QPainter painter(this);
  painter.drawPixmap((width() - picture.width()) / 2, (height() - picture.height()) / 2, picture);
}

}  // namespace fc::gui
