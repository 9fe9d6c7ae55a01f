#include "gui/support/GuiTestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <fstream>

namespace fc::test {

gui::BoxAnswer ScriptedBoxes::show(const QString& title, const QString& text, gui::BoxIcon icon,
                                   gui::BoxButtons buttons) {
  shown.push_back({title, text, icon, buttons});
  if (buttons != gui::BoxButtons::Ok && !answers_.empty()) {
    gui::BoxAnswer next = answers_.front();
    answers_.pop_front();
    return next;
  }
  return buttons == gui::BoxButtons::Ok ? gui::BoxAnswer::Ok : gui::BoxAnswer::Yes;
}

QString ScriptedBoxes::askSavePath(const QString&, const QString& proposed, const QString& filter) {
  proposedPaths << proposed;
  saveFilters << filter;
  if (savePaths_.empty()) return {};
  QString next = savePaths_.front();
  savePaths_.pop_front();
  return next;
}

QStringList ScriptedBoxes::texts() const {
  QStringList all;
  for (const ShownBox& box : shown) all << box.text;
  return all;
}

TestHome::TestHome() {
  home_.home = dir_.path() / "home";
  home_.data = dir_.path() / "data";
  std::filesystem::create_directories(home_.home);
  std::filesystem::create_directories(home_.data);
  std::ofstream(home_.data / "zqgs.csv") << "code,name\n100001,东岳证券股份有限公司\n100002,西麓证券有限责任公司\n";
  std::filesystem::copy(std::filesystem::path(FC_SOURCE_DATA_DIR) / "rulesets", home_.data / "rulesets",
                        std::filesystem::copy_options::recursive);
}

void MovePointer(QWidget* widget, QPoint pos) {
  QMouseEvent event(QEvent::MouseMove, QPointF(pos), QPointF(widget->mapToGlobal(pos)), Qt::NoButton,
                    Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &event);
}

void MovePointerOver(QWidget* widget) { MovePointer(widget, widget->rect().center()); }

void ProcessEvents() {
  for (int i = 0; i < 3; ++i) QApplication::processEvents();
}

void OnNextModalWindow(std::function<void(QWidget*)> act) {
  QTimer::singleShot(0, [act] { act(QApplication::activeModalWidget()); });
}

void InspectNextModalWindow(std::function<void(QWidget*)> inspect) {
  OnNextModalWindow([inspect](QWidget* modal) {
    inspect(modal);
    if (modal && modal->isVisible()) modal->close();
  });
}

void CloseNextModalWindow(QString* name) {
  InspectNextModalWindow([name](QWidget* modal) {
    if (modal && name) *name = modal->objectName();
  });
}

void ShowActive(QWidget* window) {
  window->show();
  window->activateWindow();
  (void)QTest::qWaitForWindowActive(window);
}

}  // namespace fc::test
