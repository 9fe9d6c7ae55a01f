// gui/support/GuiTestSupport.h - what the window tests share: message boxes that
// record what they were asked and answer from a script, an application home
// in a temporary directory, and pointer movements.
#pragma once

#include <QPoint>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "gui/shell/MessageBoxes.h"
#include "settings/AppHome.h"
#include "support/TempDir.h"

class QWidget;

namespace fc::test {

struct ShownBox {
  QString title;
  QString text;
  gui::BoxIcon icon;
  gui::BoxButtons buttons;
};

class ScriptedBoxes final : public gui::MessageBoxes {
 public:
  // Answers are used in order by the boxes that offer a choice; without one
  // a box answers OK or Yes.
  void answer(gui::BoxAnswer next) { answers_.push_back(next); }
  gui::BoxAnswer show(const QString& title, const QString& text, gui::BoxIcon icon,
                      gui::BoxButtons buttons) override;
  // Save dialogs answer the paths given here in order; without one they are cancelled.
  void answerSavePath(const QString& path) { savePaths_.push_back(path); }
  QString askSavePath(const QString& title, const QString& proposed, const QString& filter) override;

  std::vector<ShownBox> shown;  // every box, in order
  QStringList texts() const;    // their texts
  QStringList proposedPaths;    // what every save dialog proposed, in order
  QStringList saveFilters;      // the file types every save dialog offered, in order

 private:
  std::deque<gui::BoxAnswer> answers_;
  std::deque<QString> savePaths_;
};

// An application home in a fresh temporary directory whose data directory
// holds a company list with 100001 东岳证券股份有限公司 and 100002.
class TestHome {
 public:
  TestHome();
  const settings::AppHome& home() const { return home_; }
  const std::filesystem::path& path() const { return dir_.path(); }

 private:
  TempDir dir_;
  settings::AppHome home_;
};

// Sends a pointer movement (no button held) to `widget` at `pos`, as the
// window system does for the widget under the pointer.
void MovePointer(QWidget* widget, QPoint pos);
void MovePointerOver(QWidget* widget);  // its centre

// Lets queued calls (deferred field checks, the run's reports) arrive.
void ProcessEvents();

// Runs `act` on the next modal window as soon as it runs (nullptr when none
// came); the window stays as `act` leaves it.
void OnNextModalWindow(std::function<void(QWidget*)> act);

// The same, then closes the window if `inspect` left it open, so that a
// failing test cannot hang in its event loop.
void InspectNextModalWindow(std::function<void(QWidget*)> inspect);

// Closes the next modal window as soon as it runs (for buttons that open one),
// noting its name in `name` when given.
void CloseNextModalWindow(QString* name = nullptr);

// Shows `window`, makes it the active window and waits until it is.
void ShowActive(QWidget* window);

}  // namespace fc::test
