// gui/shell/EndForm.h - the closing window `EndForm`: whom to contact for
// support, and a close image that ends the program.
//
//   EndForm end(home.data);
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

class EndForm : public QDialog {
  Q_OBJECT

 public:
  explicit EndForm(const std::filesystem::path& dataDir, QWidget* parent = nullptr);

  QString supportText() const;

 private:
  PictureButton* picture1_;  // the close image
  QPlainTextEdit* text1_;    // the support text
};

}  // namespace fc::gui
