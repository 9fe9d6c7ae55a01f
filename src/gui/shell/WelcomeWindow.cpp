#include "gui/shell/WelcomeWindow.h"

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
#include "gui/windows/AccountCheckWindow.h"
#include "gui/windows/IdentityCheckWindow.h"

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

WelcomeWindow::WelcomeWindow(settings::AppHome home, MessageBoxes& boxes, QWidget* parent)
    : QWidget(parent),
      home_(std::move(home)),
      boxes_(boxes),
      background_(BackgroundPicture(devicePixelRatioF())) {
  // The object names are the ones tests and accessibility tools look up;
  // they keep the form they have always had.
  setObjectName(QStringLiteral("mainfrm"));
  setWindowTitle(QStringLiteral("欢迎使用证券公司报送数据文件检查软件"));
  setFixedSize(kBackgroundSize);

  accountZone_ = PointerZone(this, "Label1");
  identityZone_ = PointerZone(this, "Label2");
  accountButton_ = BigButton(kAccountCaption, accountZone_);
  accountButton_->setObjectName(QStringLiteral("ButPicture"));
  identityButton_ = BigButton(kIdentityCaption, identityZone_);
  identityButton_->setObjectName(QStringLiteral("ButPicture2"));
  auto* watch = new PointerWatch(this);
  connect(watch, &PointerWatch::movedOver, this, &WelcomeWindow::pointerMovedOver);

  exitButton_ = new PictureButton(this);
  exitButton_->setObjectName(QStringLiteral("Command1"));
  exitButton_->setAccessibleName(QStringLiteral("退出"));
  exitButton_->setPictures(ExitButtonPicture(PictureState::Normal, devicePixelRatioF()),
                           ExitButtonPicture(PictureState::Pressed, devicePixelRatioF()));

  auto* banner = new QLabel(this);
  banner->setObjectName(QStringLiteral("Picture1"));
  banner->setPixmap(BannerPicture(devicePixelRatioF()));
  banner_ = banner;

  connect(accountButton_, &QAbstractButton::clicked, this, &WelcomeWindow::openAccountWindow);
  connect(identityButton_, &QAbstractButton::clicked, this, &WelcomeWindow::openIdentityWindow);
  connect(exitButton_, &QAbstractButton::clicked, this, &WelcomeWindow::exitProgram);
  layOut();
}

void WelcomeWindow::layOut() {
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

  banner_->setGeometry(ToPixels(banner));
  exitButton_->setGeometry(ToPixels(exit));
  accountZone_->setGeometry(ToPixels(upper));
  identityZone_->setGeometry(ToPixels(lower));
  accountButton_->setGeometry(accountZone_->rect());
  identityButton_->setGeometry(identityZone_->rect());
}

void WelcomeWindow::openAccountWindow() {
  {
    AccountCheckWindow window(home_, boxes_, this);
    window.exec();
  }
  lightButton(0);
}

void WelcomeWindow::openIdentityWindow() {
  {
    IdentityCheckWindow window(home_, boxes_, this);
    window.exec();
  }
  lightButton(0);
}

void WelcomeWindow::exitProgram() {
  exitRequested_ = true;
  close();
}

void WelcomeWindow::lightButton(int which) {
  // A button that goes out with the keyboard's focus lets it go first, or Qt
  // would pass the focus on, lighting the next button.
  for (PictureButton* button : {accountButton_, identityButton_})
    if (button->hasFocus()) button->clearFocus();
  accountButton_->setEnabled(which == 1);
  identityButton_->setEnabled(which == 2);
}

void WelcomeWindow::pointerMovedOver(QWidget* control) {
  if (control == accountZone_ || control == accountButton_) return lightButton(1);
  if (control == identityZone_ || control == identityButton_) return lightButton(2);
  lightButton(0);
}

bool WelcomeWindow::focusNextPrevChild(bool next) {
  const std::array<PictureButton*, 3> stops = {accountButton_, identityButton_, exitButton_};
  const auto at = std::find(stops.begin(), stops.end(), focusWidget());
  const int count = static_cast<int>(stops.size());
  int to = next ? 0 : count - 1;
  if (at != stops.end()) to = (static_cast<int>(at - stops.begin()) + (next ? 1 : count - 1)) % count;
  lightButton(stops[to] == accountButton_ ? 1 : stops[to] == identityButton_ ? 2 : 0);
  stops[to]->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
  return true;
}

void WelcomeWindow::keyPressEvent(QKeyEvent* event) {
  auto* taken = qobject_cast<PictureButton*>(focusWidget());
  const bool press = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter || event->key() == Qt::Key_Space;
  if (press && taken && taken->isEnabled()) {
    taken->click();
    return;
  }
  QWidget::keyPressEvent(event);
}

void WelcomeWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawPixmap(0, 0, background_);
}

}  // namespace fc::gui
