// filingcheck - the desktop program: the welcome window, the two check
// windows it opens, and the closing window.
//
//   filingcheck [--screenshot FILE]
//   filingcheck --help | --version
#include <QApplication>
#include <QCommandLineParser>
#include <QFontDatabase>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>
#include <cstring>

#include "Version.h"
#include "gui/shell/AppHomeResolver.h"
#include "gui/shell/EndForm.h"
#include "gui/shell/MainForm.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/shell/Translations.h"

namespace {

// Help and version are answered before a window system is opened, so that
// they work in a terminal without a display as well.
bool AsksForTextOnly(int argc, char** argv) {
  for (int i = 1; i < argc; ++i)
    for (const char* name : {"-h", "--help", "--help-all", "-v", "--version"})
      if (!std::strcmp(argv[i], name)) return true;
  return false;
}

// Shows the welcome window until the event loop has drawn it, saves its
// picture and ends: 0 when the picture was written.
int SaveWelcomePicture(QApplication& app, QWidget& welcome, const QString& file) {
  QTimer::singleShot(0, &welcome, [&app, &welcome, &file] { app.exit(welcome.grab().save(file) ? 0 : 1); });
  const int status = app.exec();
  if (status != 0) std::fprintf(stderr, "filingcheck: cannot write %s\n", qPrintable(file));
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication::setApplicationName(QStringLiteral("filingcheck"));
  QCoreApplication::setApplicationVersion(QString::fromLatin1(fc::kVersion));
  QCommandLineParser parser;
  parser.setApplicationDescription(QStringLiteral("证券公司报送数据文件检查软件"));
  parser.addHelpOption();
  parser.addVersionOption();
  const QCommandLineOption screenshot(
      QStringLiteral("screenshot"),
      QStringLiteral("Write a picture of the welcome window to <file> once it shows, then end."),
      QStringLiteral("file"));
  parser.addOption(screenshot);
  if (AsksForTextOnly(argc, argv)) {
    QCoreApplication text(argc, argv);
    parser.process(text);  // prints and exits
  }
  QApplication app(argc, argv);
  parser.process(app);
  fc::gui::InstallQtChinese(app);
  if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
    std::fprintf(stderr,
                 "filingcheck: no Chinese font is installed; the windows will show empty boxes "
                 "(install fonts-wqy-microhei)\n");

  const fc::settings::AppHome home = fc::gui::ResolveAppHome(
      QCoreApplication::applicationDirPath().toStdString(),
      QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation).toStdString());
  fc::gui::QtMessageBoxes boxes;
  fc::gui::MainForm welcome(home, boxes);
  welcome.show();
  if (parser.isSet(screenshot)) return SaveWelcomePicture(app, welcome, parser.value(screenshot));
  app.exec();
  if (!welcome.exitRequested()) return 0;
  fc::gui::EndForm end(home.data);
  end.exec();
  return 0;
}
