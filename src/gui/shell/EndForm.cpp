#include "gui/shell/EndForm.h"

#include <QFrame>
#include <QTextDocument>
#include <algorithm>
#include <QPlainTextEdit>

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

EndForm::EndForm(const std::filesystem::path& dataDir, QWidget* parent)
    : QDialog(parent, Qt::FramelessWindowHint) {
  setObjectName(QStringLiteral("EndForm"));
  setFixedSize(Px(kWidth), Px(kHeight));
  PaintSupportColour(this, QPalette::Window);

  auto* frame1 = new QFrame(this);
  frame1->setObjectName(QStringLiteral("Frame1"));
  frame1->setGeometry(Px(kWidth - 420), Px(20), kCloseImageSize.width(), kCloseImageSize.height());
  picture1_ = new PictureButton(frame1);
  picture1_->setObjectName(QStringLiteral("Picture1"));
  picture1_->setPictures(CloseImage(devicePixelRatioF()), CloseImage(devicePixelRatioF()));
  picture1_->setGeometry(frame1->rect());
  picture1_->setCursor(Qt::PointingHandCursor);
  connect(picture1_, &QAbstractButton::clicked, this, &QDialog::accept);

  // The text frame starts below twice the close image and keeps inside the
  // window (the designed height would run past its bottom edge here).
  auto* frame2 = new QFrame(this);
  frame2->setObjectName(QStringLiteral("Frame2"));
  const int top = 2 * frame1->height() + Px(20);
  frame2->setGeometry(Px(200), top, Px(kWidth - 600), std::min(Px(kHeight - 600), height() - top - Px(100)));
  PaintSupportColour(frame2, QPalette::Window);

  text1_ = new QPlainTextEdit(frame2);
  text1_->setObjectName(QStringLiteral("Text1"));
  text1_->setGeometry(frame2->rect());
  text1_->setReadOnly(true);
  text1_->setFrameShape(QFrame::NoFrame);
  QFont font = text1_->font();
  font.setPixelSize(11);  // the whole text fits the window without scrolling
  text1_->setFont(font);
  text1_->document()->setDocumentMargin(2);
  text1_->setPlainText(SupportText(dataDir));
  PaintSupportColour(text1_, QPalette::Base);
}

QString EndForm::supportText() const { return text1_->toPlainText(); }

}  // namespace fc::gui
