// gui/shell/Translations.h - Qt's own Chinese texts (the calendar's tips, the
// standard dialogs' buttons, the line edits' context menus), where Debian's
// qt6-translations-l10n has installed them.
//
//   QApplication app(argc, argv);
//   InstallQtChinese(app);   // false, and English Qt texts, when not installed
#pragma once

class QCoreApplication;

namespace fc::gui {

bool InstallQtChinese(QCoreApplication& app);

}  // namespace fc::gui
