// gui/shell/QtText.h - the core's text and paths as Qt text, and back.
//
//   label->setText(FromStd(finding.errdesc));
//   spreadsheet::WriteWorkbook(PathOf(chosenFile), book, error);
//
// The core keeps every text, file names included, in UTF-8. A path crosses
// to and from Qt only through UTF-8 too: on Windows a std::string made into
// a path (or a path into a std::string) would go through the ANSI code page,
// which cannot spell every name an operator types or picks.
#pragma once

#include <QString>
#include <filesystem>
#include <string_view>

#include "platform/Utf8Paths.h"

namespace fc::gui {

inline QString FromStd(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

inline QString FromPath(const std::filesystem::path& path) { return FromStd(platform::Utf8Of(path)); }

inline std::filesystem::path PathOf(const QString& text) { return platform::PathFromUtf8(text.toStdString()); }

}  // namespace fc::gui
