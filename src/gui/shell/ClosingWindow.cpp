#include "gui/shell/ClosingWindow.h"

#include <QFrame>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <algorithm>

#include "gui/shell/PictureButton.h"
#include "gui/shell/Pictures.h"
#include "gui/shell/SupportText.h"
#include "gui/shell/Twips.h"

namespace fc::gui {

namespace {

constexpr double kWidth = 7596;  // twips
constexpr double kHeight = 3864;
const QColor kSupportColour(192, 192, 255);

void PaintSupportColour(QWidget* widget, QPalette::ColorRole role) {
  QPalette palette = widget->palette();
  palette.setColor(role, kSupportColour);
  widget->setPalette(palette);
  widget->setAutoFillBackground(true);
}

}  // namespace

ClosingWindow::ClosingWindow(const std::filesystem::path& dataDir, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint) {
  // The object names are the ones tests and accessibility tools look up;
  // they keep the form they have always had.
  setObjectName(QStringLiteral("EndForm"));
  setFixedSize(Px(kWidth), Px(kHeight));
  PaintSupportColour(this, QPalette::Window);

  auto* closeFrame = new QFrame(this);
  closeFrame->setObjectName(QStringLiteral("Frame1"));
  closeFrame->setGeometry(Px(kWidth - 420), Px(20), kCloseImageSize.width(), kCloseImageSize.height());
  closeImage_ = new PictureButton(closeFrame);
  closeImage_->setObjectName(QStringLiteral("Picture1"));
  closeImage_->setPictures(CloseImage(devicePixelRatioF()), CloseImage(devicePixelRatioF()));
  closeImage_->setGeometry(closeFrame->rect());
  closeImage_->setCursor(Qt::PointingHandCursor);
  connect(closeImage_, &QAbstractButton::clicked, this, &QDialog::accept);

  // The text frame starts below twice the close image and keeps inside the
  // window (the designed height would run past its bottom edge here).
  auto* textFrame = new QFrame(this);
  textFrame->setObjectName(QStringLiteral("Frame2"));
  const int top = 2 * closeFrame->height() + Px(20);
  textFrame->setGeometry(Px(200), top, Px(kWidth - 600), std::min(Px(kHeight - 600), height() - top - Px(100)));
  PaintSupportColour(textFrame, QPalette::Window);

  contacts_ = new QPlainTextEdit(textFrame);
  contacts_->setObjectName(QStringLiteral("Text1"));
  contacts_->setGeometry(textFrame->rect());
  contacts_->setReadOnly(true);
  contacts_->setFrameShape(QFrame::NoFrame);
  QFont font = contacts_->font();
  font.setPixelSize(11);  // the whole text fits the window without scrolling
  contacts_->setFont(font);
  contacts_->document()->setDocumentMargin(2);
  contacts_->setPlainText(SupportText(dataDir));
  PaintSupportColour(contacts_, QPalette::Base);
}

QString ClosingWindow::supportText() const { return contacts_->toPlainText(); }

}  // namespace fc::gui
