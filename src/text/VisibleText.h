// text/VisibleText.h - a value from the data, safe to show to a reader: every
// control character (C0, tab and line breaks included, DEL, C1) and every
// bidirectional embedding, override or isolate replaced by a visible escape
// ("\x1b", "\u202e"), so that a value can neither move a terminal's cursor,
// retitle its window, split a row, nor reorder the line it stands in (on a
// terminal, a page or a printed report).
//
//   std::fputs(fc::text::VisibleText(finding.filename).c_str(), stdout);
//
// Everything else passes as it is, stray bytes too: showing them is the
// medium's concern.
#pragma once

#include <string>
#include <string_view>

namespace fc::text {

std::string VisibleText(std::string_view text);

}  // namespace fc::text
