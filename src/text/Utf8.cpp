#include "text/Utf8.h"

#include "platform/CharacterWidth.h"

namespace fc::text {

namespace {

char32_t StrayByte(unsigned char b) { return 0xDC00 + b; }

bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

}  // namespace

char32_t NextCharacter(std::string_view text, std::size_t& pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  if (lead < 0x80) {
    ++pos;
    return lead;
  }
  std::size_t length = 0;
  char32_t value = 0;
  char32_t least = 0;  // smallest value the length may encode (no overlong forms)
  if ((lead & 0xE0) == 0xC0) {
    length = 2, value = lead & 0x1F, least = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3, value = lead & 0x0F, least = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4, value = lead & 0x07, least = 0x10000;
  }
  if (length == 0 || pos + length > text.size()) {
    ++pos;
    return StrayByte(lead);
  }
  for (std::size_t i = 1; i < length; ++i) {
    const auto b = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuation(b)) {
      ++pos;
      return StrayByte(lead);
    }
    value = (value << 6) | (b & 0x3F);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
    ++pos;
    return StrayByte(lead);
  }
  pos += length;
  return value;
}

std::vector<std::string_view> SplitCharacters(std::string_view text) {
  std::vector<std::string_view> characters;
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t start = pos;
    NextCharacter(text, pos);
    characters.push_back(text.substr(start, pos - start));
  }
  return characters;
}

std::size_t SkipCharacters(std::string_view text, std::size_t count) {
  std::size_t pos = 0;
  for (; pos < text.size() && count > 0; --count) NextCharacter(text, pos);
  return pos;
}

std::size_t DisplayWidth(std::string_view text) {
  std::size_t width = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const int columns = platform::CharacterWidth(NextCharacter(text, pos));
    width += columns < 0 ? 1 : static_cast<std::size_t>(columns);
  }
  return width;
}

}  // namespace fc::text
