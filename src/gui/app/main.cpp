// filingcheck - the desktop program: the welcome window, the two check
// windows it opens, and the closing window.
#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <cstdio>

#include "gui/shell/AppHomeResolver.h"
#include "gui/shell/EndForm.h"
#include "gui/shell/MainForm.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/shell/Translations.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("filingcheck"));
  fc::gui::InstallQtChinese(app);
  if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
    std::fprintf(stderr,
                 "filingcheck: no Chinese font is installed; the windows will show empty boxes "
                 "(install fonts-wqy-microhei)\n");

  const fc::settings::AppHome home = fc::gui::ResolveAppHome(
      QCoreApplication::applicationDirPath().toStdString(), QDir::homePath().toStdString());
  fc::gui::QtMessageBoxes boxes;
  fc::gui::MainForm welcome(home, boxes);
  welcome.show();
  app.exec();
  if (!welcome.exitRequested()) return 0;
  fc::gui::EndForm end(home.data);
  end.exec();
  return 0;
}
