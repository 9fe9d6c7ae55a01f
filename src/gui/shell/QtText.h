// gui/shell/QtText.h - the core's text and paths as Qt text, and back.
//
//   label->setText(FromStd(finding.errdesc));
//   spreadsheet::WriteWorkbook(PathOf(chosenFile), book, error);
//   field->setText(ShownPath(FromStd(saved.sourceDir)));   // "C:\报送\" on Windows
//   saved.sourceDir = TypedPath(field->text()).toStdString();  // "C:/报送/" again
//
// The core keeps every text, file names included, in UTF-8. A path crosses
// to and from Qt only through UTF-8 too: on Windows a std::string made into
// a path (or a path into a std::string) would go through the ANSI code page,
// which cannot spell every name an operator types or picks.
//
// The operator reads and types paths with the system's own separators ("\"
// on Windows); what is kept and handed to the core keeps "/", as it always
// has. On Linux both are the text unchanged.
#pragma once

#include <QDir>
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

// A path, or a text that names paths and holds no other "/", as shown.
inline QString ShownPath(const QString& path) { return QDir::toNativeSeparators(path); }

// A path as shown or typed, as kept.
inline QString TypedPath(const QString& text) { return QDir::fromNativeSeparators(text); }

}  // namespace fc::gui
