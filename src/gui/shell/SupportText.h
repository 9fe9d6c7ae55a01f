// gui/shell/SupportText.h - the support text of the closing window.
//
//   contacts->setPlainText(SupportText(home.data));
//
// The fixed sentences are the program's; the four contact lines come from
// <data>/support.txt (UTF-8; blank lines and lines starting with "#" are
// skipped), which the company fills in, so that the support desk's numbers
// and addresses change without a rebuild. A sentence whose contact lines are
// all missing is left out with them; without any contact the text is empty.
#pragma once

#include <QString>
#include <QStringList>
#include <filesystem>

namespace fc::gui {

QStringList ReadContactLines(const std::filesystem::path& dataDir);
QString SupportText(const std::filesystem::path& dataDir);

}  // namespace fc::gui
