// gui/shell/QtText.h - the core's text as Qt text.
//
//   label->setText(FromStd(finding.errdesc));
//
// The core keeps every text, file names included, in UTF-8.
#pragma once

#include <QString>
#include <string_view>

namespace fc::gui {

inline QString FromStd(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace fc::gui
