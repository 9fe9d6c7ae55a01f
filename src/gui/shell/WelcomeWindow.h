// gui/shell/WelcomeWindow.h - the welcome window `mainfrm`, the program's home.
//
//   WelcomeWindow welcome(home, boxes);
//   welcome.show();
//   app.exec();
//   if (welcome.exitRequested()) { ClosingWindow end(home.data); end.exec(); }
//
// Two big picture buttons open the check windows modally; they are lit
// (enabled) only while the pointer is over them or over their pointer zones
// Label1 and Label2, which lie exactly under them; a disabled button cannot
// be clicked. The exit button closes the window and asks for the closing
// window. From the keyboard, Tab (Shift+Tab backwards) lights the big
// buttons and then takes the exit button in turn, and Enter or Space presses
// the one taken; the pointer keeps lighting what it is over.
#pragma once

#include <QWidget>

#include "settings/AppHome.h"

namespace fc::gui {

class MessageBoxes;
class PictureButton;

class WelcomeWindow : public QWidget {
  Q_OBJECT

 public:
  WelcomeWindow(settings::AppHome home, MessageBoxes& boxes, QWidget* parent = nullptr);

  // True when the window was closed by its exit button `Command1`.
  bool exitRequested() const { return exitRequested_; }

 public slots:
  void openAccountWindow();   // ButPicture: mainfrm1
  void openIdentityWindow();  // ButPicture2: mainfrm2
  void exitProgram();         // Command1
  // Lights `ButPicture` (1), `ButPicture2` (2) or neither (0).
  void lightButton(int which);
  void pointerMovedOver(QWidget* control);

 protected:
  void paintEvent(QPaintEvent* event) override;
  bool focusNextPrevChild(bool next) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void layOut();

  settings::AppHome home_;
  MessageBoxes& boxes_;
  bool exitRequested_ = false;
  QWidget* accountZone_;           // pointer zone of ButPicture
  QWidget* identityZone_;          // pointer zone of ButPicture2
  PictureButton* accountButton_;   // ButPicture
  PictureButton* identityButton_;  // ButPicture2
  PictureButton* exitButton_;      // Command1
  QWidget* banner_;                // the banner in the bottom right corner
  QPixmap background_;
};

}  // namespace fc::gui
