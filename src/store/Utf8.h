// store/Utf8.h - UTF-8 text read one character at a time.
//
// File names and table texts are UTF-8 but may hold stray bytes (a name made
// on another code page); those must neither stop a comparison nor match a real
// character. Each byte that does not start a well-formed sequence is therefore
// one character of its own, mapped to U+DC80..U+DCFF (a lone surrogate, which
// well-formed UTF-8 never yields).
//
//   std::size_t pos = 0;
//   while (pos < text.size()) { char32_t c = fc::store::NextCharacter(text, pos); ... }
//
// Used by the Jet `like` and by the file-name analyses, whose positions count
// characters, not bytes.
#pragma once

#include <string_view>
#include <vector>

namespace fc::store {

// The character at byte offset `pos` of `text` (pos < text.size()); advances
// `pos` past it.
char32_t NextCharacter(std::string_view text, std::size_t& pos);

// `text` cut into its characters, each the bytes that encode it.
std::vector<std::string_view> SplitCharacters(std::string_view text);

}  // namespace fc::store
