// gui/shell/ClosingWindow.h - the closing window `EndForm`: whom to contact for
// support, and a close image that ends the program.
//
//   ClosingWindow end(home.data);
//   end.exec();   // returns when the close image (or Esc) closed it
//
// Borderless, in the support colour (192, 192, 255); the contact lines come
// from the data directory (see SupportText.h).
#pragma once

#include <QDialog>
#include <filesystem>

class QPlainTextEdit;

namespace fc::gui {

class PictureButton;

class ClosingWindow : public QDialog {
  Q_OBJECT

 public:
  explicit ClosingWindow(const std::filesystem::path& dataDir, QWidget* parent = nullptr);

  QString supportText() const;

 private:
  PictureButton* closeImage_;  // the close image
  QPlainTextEdit* contacts_;   // the support text
};

}  // namespace fc::gui
