#include "pipeline/FieldContent.h"

#include <cstdint>
#include <cstring>

#include "dbf/Table.h"
#include "platform/CodePageText.h"
#include "query/Decimal.h"

namespace fc::pipeline {

namespace {

// The ideographic space (U+3000) of the double-byte code pages a table may
// carry; single-byte ones have none.
std::string_view IdeographicSpaceIn(unsigned codePage) {
  switch (codePage) {
    case 932: return "\x81\x40";
    case 950: return "\xA1\x40";
    case 936: case 949: case platform::kGb18030CodePage: return "\xA1\xA1";
    default: return {};
  }
}

// Every value of every agreed field passes here: 8 bytes at a time, a byte
// below 0x20 sets its high bit in `(w - 0x20..) & ~w & 0x80..`.
bool HasControlByte(std::string_view value) {
  constexpr uint64_t kBelow = 0x2020202020202020ull, kHigh = 0x8080808080808080ull;
  size_t at = 0;
  for (uint64_t w; at + 8 <= value.size(); at += 8) {
    std::memcpy(&w, value.data() + at, 8);
    if ((w - kBelow) & ~w & kHigh) return true;
  }
  for (; at < value.size(); ++at)
    if (static_cast<unsigned char>(value[at]) < 0x20) return true;
  return false;
}

// Ideographic spaces, at least one, among blanks and nothing else.
bool OnlyIdeographicSpaces(std::string_view value, std::string_view space) {
  bool any = false;
  for (size_t at = 0; at < value.size();) {
    if (value[at] == ' ') {
      ++at;
    } else if (value.substr(at, space.size()) == space) {
      any = true;
      at += space.size();
    } else {
      return false;
    }
  }
  return any;
}

}  // namespace

ContentCheck::ContentCheck(const dbf::Field& field, unsigned codePage)
    : numeric_(field.type == 'N' || field.type == 'F'),
      decimals_(field.decimals),
      ideographicSpace_(IdeographicSpaceIn(codePage)) {}

ContentFlaw ContentCheck::flawOf(std::string_view value) const {
  if (numeric_) {
    query::Decimal ignored;
    return query::ParseField(value, decimals_, ignored) ? ContentFlaw::None : ContentFlaw::NotANumber;
  }
  if (HasControlByte(value)) return ContentFlaw::ControlCharacter;
  // Only a value that starts, after blanks, with the space's first byte can
  // be all spaces: most values are told apart at their first byte.
  const size_t first = value.find_first_not_of(' ');
  if (ideographicSpace_.empty() || first == std::string_view::npos || value[first] != ideographicSpace_[0])
    return ContentFlaw::None;
  return OnlyIdeographicSpaces(value, ideographicSpace_) ? ContentFlaw::IdeographicBlank : ContentFlaw::None;
}

}  // namespace fc::pipeline
