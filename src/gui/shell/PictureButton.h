// gui/shell/PictureButton.h - a button that is nothing but its pictures:
// one for the normal state, one while pressed, one while disabled.
//
//   auto* button = new PictureButton(parent);
//   button->setPictures(normal, pressed, dimmed);   // dimmed may be null
//
// The pictures are drawn centred; the button may be larger than they are.
#pragma once

#include <QAbstractButton>
#include <QPixmap>

namespace fc::gui {

class PictureButton : public QAbstractButton {
  Q_OBJECT

 public:
  explicit PictureButton(QWidget* parent = nullptr);

  void setPictures(const QPixmap& normal, const QPixmap& pressed, const QPixmap& disabled = {});
  // The picture shown in the present state.
  const QPixmap& currentPicture() const;
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QPixmap normal_;    // enabled, not pressed
  QPixmap pressed_;   // while the mouse button is down on it
  QPixmap disabled_;  // while disabled; the normal picture when null
};

}  // namespace fc::gui
