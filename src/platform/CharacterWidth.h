// platform/CharacterWidth.h - how many columns a character takes on a
// terminal: 2 for the wide East Asian ones (CJK ideographs, kana, Hangul,
// fullwidth forms), 0 for a combining mark, 1 for the rest; -1 for what has
// no width (a control character, a lone surrogate).
//
//   const int columns = fc::platform::CharacterWidth(U'中');  // 2
//
// The answer does not depend on the locale the program was started in.
#pragma once

namespace fc::platform {

int CharacterWidth(char32_t c);

}  // namespace fc::platform
