#include "gui/shell/MainForm.h"

#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <algorithm>
#include <array>
#include <utility>

#include "gui/shell/PictureButton.h"
#include "gui/shell/Pictures.h"
#include "gui/shell/PointerWatch.h"
#include "gui/shell/Twips.h"
#include "gui/windows/AccountWindow.h"
#include "gui/windows/IdentityWindow.h"

namespace fc::gui {

namespace {

const QString kAccountCaption = QStringLiteral("证券公司客户交易结算资金账户数据文件检查");
const QString kIdentityCaption = QStringLiteral("证券公司投资者身份信息复查数据检查");

// The layout is computed from the outer size of the window, as designed for
// a window with a title bar and a thin border: these are their twips.
constexpr double kFrameWidth = 120;
constexpr double kFrameHeight = 450;

QRect ToPixels(const QRectF& twips) {
  return QRect(Px(twips.left()), Px(twips.top()), Px(twips.width()), Px(twips.height()));
}

QSizeF TwipsOf(QSize pixels) { return QSizeF(Twips(pixels.width()), Twips(pixels.height())); }

PictureButton* BigButton(const QString& caption, QWidget* zone) {
  auto* button = new PictureButton(zone);
  const qreal ratio = zone->devicePixelRatioF();
  button->setPictures(BigButtonPicture(caption, PictureState::Normal, ratio),
                      BigButtonPicture(caption, PictureState::Pressed, ratio),
                      BigButtonPicture(caption, PictureState::Dimmed, ratio));
  button->setEnabled(false);
  button->setAccessibleName(caption);  // a picture alone names nothing to a screen reader
  return button;
}

QWidget* PointerZone(QWidget* parent, const char* name) {
  auto* zone = new QWidget(parent);
  zone->setObjectName(QLatin1String(name));
  return zone;
}

}  // namespace

MainForm::MainForm(settings::AppHome home, MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent),
      home_(std::move(home)),
      boxes_(boxes),
      background_(BackgroundPicture(devicePixelRatioF())) {
  setObjectName(QStringLiteral("mainfrm"));
  setWindowTitle(QStringLiteral("欢迎使用证券公司报送数据文件检查软件"));
  setFixedSize(kBackgroundSize);

  label1_ = PointerZone(this, "Label1");
  label2_ = PointerZone(this, "Label2");
  button1_ = BigButton(kAccountCaption, label1_);
  button1_->setObjectName(QStringLiteral("ButPicture"));
  button2_ = BigButton(kIdentityCaption, label2_);
  button2_->setObjectName(QStringLiteral("ButPicture2"));
  auto* watch = new PointerWatch(this);
  connect(watch, &PointerWatch::movedOver, this, &MainForm::pointerMovedOver);

  exit_ = new PictureButton(this);
  exit_->setObjectName(QStringLiteral("Command1"));
  exit_->setAccessibleName(QStringLiteral("退出"));
  exit_->setPictures(ExitButtonPicture(PictureState::Normal, devicePixelRatioF()),
                     ExitButtonPicture(PictureState::Pressed, devicePixelRatioF()));

  auto* banner = new QLabel(this);
  banner->setObjectName(QStringLiteral("Picture1"));
  banner->setPixmap(BannerPicture(devicePixelRatioF()));
  picture1_ = banner;

  connect(button1_, &QAbstractButton::clicked, this, &MainForm::openAccountWindow);
  connect(button2_, &QAbstractButton::clicked, this, &MainForm::openIdentityWindow);
  connect(exit_, &QAbstractButton::clicked, this, &MainForm::exitProgram);
  layOut();
}

void MainForm::layOut() {
  const double width = Twips(this->width()) + kFrameWidth;
  const double height = Twips(this->height()) + kFrameHeight;
  const QSizeF bannerSize = TwipsOf(kBannerSize);
  const QSizeF bigSize = TwipsOf(kBigButtonSize) + QSizeF(50, 50);
  const QSizeF exitSize = TwipsOf(kExitButtonSize) + QSizeF(30, 30);

  const QRectF banner(QPointF(width - bannerSize.width() - 150, height - bannerSize.height() - 510),
                      bannerSize);
  const QRectF exit(QPointF(width - exitSize.width() - 300, banner.top() - exitSize.height() - 300),
                    exitSize);
  const QRectF lower(QPointF((width - bigSize.width()) / 2, exit.top() - bigSize.height() - 400),
                     bigSize);
  const QRectF upper(QPointF((width - bigSize.width()) / 2, (lower.top() - bigSize.height()) / 2),
                     bigSize);

  picture1_->setGeometry(ToPixels(banner));
  exit_->setGeometry(ToPixels(exit));
  label1_->setGeometry(ToPixels(upper));
  label2_->setGeometry(ToPixels(lower));
  button1_->setGeometry(label1_->rect());
  button2_->setGeometry(label2_->rect());
}

void MainForm::openAccountWindow() {
  {
    AccountWindow window(home_, boxes_, this);
    window.exec();
  }
  lightButton(0);
}

void MainForm::openIdentityWindow() {
  {
    IdentityWindow window(home_, boxes_, this);
    window.exec();
  }
  lightButton(0);
}

void MainForm::exitProgram() {
  exitRequested_ = true;
  close();
}

void MainForm::lightButton(int which) {
  // A button that goes out with the keyboard's focus lets it go first, or Qt
  // would pass the focus on, lighting the next button.
  for (PictureButton* button : {button1_, button2_})
    if (button->hasFocus()) button->clearFocus();
  button1_->setEnabled(which == 1);
  button2_->setEnabled(which == 2);
}

void MainForm::pointerMovedOver(QWidget* control) {
  if (control == label1_ || control == button1_) return lightButton(1);
  if (control == label2_ || control == button2_) return lightButton(2);
  lightButton(0);
}

bool MainForm::focusNextPrevChild(bool next) {
  const std::array<PictureButton*, 3> stops = {button1_, button2_, exit_};
  const auto at = std::find(stops.begin(), stops.end(), focusWidget());
  const int count = static_cast<int>(stops.size());
  int to = next ? 0 : count - 1;
  if (at != stops.end()) to = (static_cast<int>(at - stops.begin()) + (next ? 1 : count - 1)) % count;
  lightButton(stops[to] == button1_ ? 1 : stops[to] == button2_ ? 2 : 0);
  stops[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

void MainForm::keyPressEvent(QKeyEvent* event) {
  auto* taken = qobject_cast<PictureButton*>(focusWidget());
  const bool press = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space;
  if (press && taken && taken->isEnabled()) {
    taken->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void MainForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, background_);
}

}  // namespace fc::gui
