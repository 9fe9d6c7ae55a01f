// filingcheck - the desktop program: the welcome window, the two check
// windows it opens, and the closing window.
//
//   filingcheck [--screenshot FILE]
//   filingcheck --help | --version
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QStringList>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>

#include "Version.h"
#include "gui/shell/AppHomeResolver.h"
#include "gui/shell/ClosingWindow.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/shell/QtText.h"
#include "gui/shell/Translations.h"
#include "gui/shell/WelcomeWindow.h"
#include "platform/ProgramPlaces.h"

namespace {

// The help in the program's language (Qt's own help speaks English).
const char* const kHelp =
    "用法：filingcheck [选项]\n"
    "证券公司报送数据文件检查软件：欢迎窗口打开两个检查窗口。\n"
    "\n"
    "选项：\n"
    "  -h, --help           显示本帮助并结束\n"
    "  --help-all           显示本程序和Qt的全部选项并结束\n"
    "  -v, --version        显示版本并结束\n"
    "  --screenshot <文件>  欢迎窗口显示后将其画面保存到<文件>，然后结束\n";

bool Given(int argc, char** argv, std::initializer_list<const char*> names) {
  for (int i = 1; i < argc; ++i)
    for (const char* name : names)
      if (!std::strcmp(argv[i], name)) return true;
  return false;
}

// Help and version are answered before a window system is opened, so that
// they work in a terminal without a display as well.
bool AsksForTextOnly(int argc, char** argv) { return Given(argc, argv, {"--help-all", "-v", "--version"}); }

bool HasChineseFont() { return !QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty(); }

// The fonts shipped with the program, where the Windows build puts a Chinese
// one: a Windows without its Chinese fonts, or Wine on a system with none,
// would otherwise show every Chinese character as an empty box. Returns the
// families added.
QStringList AddShippedFonts() {
  const std::filesystem::path shipped = fc::platform::ShippedFontDir();
  if (shipped.empty()) return {};
  QStringList families;
  const QDir fonts(fc::gui::FromPath(shipped));
  for (const QString& file : fonts.entryList(QDir::Files))
    families += QFontDatabase::applicationFontFamilies(QFontDatabase::addApplicationFont(fonts.filePath(file)));
  return families;
}

// Where the program ships fonts (Windows), its windows are set in the first
// shipped family that is not fixed-pitch, a sans-serif with Chinese, at the
// system's size. Windows' own dialog font stands for Tahoma, which a Wine
// without its fonts lacks: Qt then takes the first family it knows (here a
// math font, whose line height puts a field's Latin text and digits outside
// the field, and whose Latin is serif). On a Chinese Windows it stands for
// SimSun, whose Latin is serif too. Without shipped fonts (Linux) the
// desktop's font stays.
void UseShippedFont(const QStringList& shipped) {
  for (const QString& family : shipped) {
    if (QFontDatabase::isFixedPitch(family)) continue;
    QFont font = QApplication::font();
    font.setFamilies({family});
    QApplication::setFont(font);
    return;
  }
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
  const QCommandLineOption screenshot(QStringLiteral("screenshot"),
                                     QStringLiteral("欢迎窗口显示后将其画面保存到<文件>，然后结束"),
                                     QStringLiteral("文件"));
  parser.addOption(screenshot);
  if (Given(argc, argv, {"-h", "--help"})) {
    std::fputs(kHelp, stdout);
    return 0;
  }
  if (AsksForTextOnly(argc, argv)) {
    QCoreApplication text(argc, argv);
    parser.process(text);  // prints and exits
  }
  QApplication app(argc, argv);
  parser.process(app);
  fc::gui::InstallQtChinese(app);
  UseShippedFont(AddShippedFonts());
  if (!HasChineseFont())
    std::fprintf(stderr,
                 "filingcheck: no Chinese font is installed; the windows will show empty boxes "
                 "(install fonts-wqy-microhei)\n");

  const fc::settings::AppHome home = fc::gui::ResolveAppHome(fc::platform::ExecutableDir(), fc::platform::UserDataDir());
  fc::gui::QtMessageBoxes boxes;
  fc::gui::WelcomeWindow welcome(home, boxes);
  welcome.show();
  if (parser.isSet(screenshot)) return SaveWelcomePicture(app, welcome, parser.value(screenshot));
  app.exec();
  if (!welcome.exitRequested()) return 0;
  fc::gui::ClosingWindow end(home.data);
  end.exec();
  return 0;
}
