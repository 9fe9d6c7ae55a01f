// text/Utf8.h - UTF-8 text read one character at a time, and its width on a terminal.
//
// File names and table texts are UTF-8 but may hold stray bytes (a name made
// on another code page); those must neither stop a comparison nor match a real
// character. Each byte that does not start a well-formed sequence is therefore
// one character of its own, mapped to U+DC80..U+DCFF (a lone surrogate, which
// well-formed UTF-8 never yields).
//
//   std::size_t pos = 0;
//   while (pos < text.size()) { char32_t c = fc::text::NextCharacter(text, pos); ... }
//
// Used by the file-name analyses, whose positions count characters, not
// bytes, and by the command line's aligned tables.
#pragma once

#include <string_view>
#include <vector>

namespace fc::text {

// The character at byte offset `pos` of `text` (pos < text.size()); advances
// `pos` past it.
char32_t NextCharacter(std::string_view text, std::size_t& pos);

// `text` cut into its characters, each the bytes that encode it.
std::vector<std::string_view> SplitCharacters(std::string_view text);

// Byte offset after the first `count` characters of `text` (its size when it
// has fewer).
std::size_t SkipCharacters(std::string_view text, std::size_t count);

// Columns `text` takes on a terminal, as platform::CharacterWidth counts them
// (CJK characters two); a character it gives no width, such as a stray byte,
// counts one.
std::size_t DisplayWidth(std::string_view text);

}  // namespace fc::text
