// platform/CharacterWidthWindows.cpp - CharacterWidth.h on Windows, which has
// no wcwidth and whose wchar_t holds 16 bits: the system's character types
// (GetStringTypeW) tell controls, combining marks and fullwidth ideographs in
// the first plane; the East Asian wide blocks, listed here, cover the rest,
// the planes above it included.
#include "platform/CharacterWidth.h"

#include <windows.h>

namespace fc::platform {

namespace {

struct Range {
  char32_t first;
  char32_t last;
};

constexpr Range kWide[] = {
    {0x1100, 0x115F},   {0x2E80, 0x303E},   {0x3041, 0x33FF},   {0x3400, 0x4DBF},
    {0x4E00, 0x9FFF},   {0xA000, 0xA4CF},   {0xA960, 0xA97F},   {0xAC00, 0xD7A3},
    {0xF900, 0xFAFF},   {0xFE10, 0xFE19},   {0xFE30, 0xFE6F},   {0xFF00, 0xFF60},
    {0xFFE0, 0xFFE6},   {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF}, {0x20000, 0x2FFFD},
    {0x30000, 0x3FFFD},
};

bool InWideBlock(char32_t c) {
  for (const Range& r : kWide)
    if (c >= r.first && c <= r.last) return true;
  return false;
}

WORD TypeOf(DWORD kind, wchar_t unit) {
  WORD type = 0;
  return GetStringTypeW(kind, &unit, 1, &type) ? type : 0;
}

}  // namespace

int CharacterWidth(char32_t c) {
  if (c == 0) return 0;
  if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return -1;
  if (InWideBlock(c)) return 2;
  if (c > 0xFFFF) return 1;
  const wchar_t unit = static_cast<wchar_t>(c);
  if (TypeOf(CT_CTYPE1, unit) & C1_CNTRL) return -1;
  const WORD type = TypeOf(CT_CTYPE3, unit);
  if (type & C3_NONSPACING) return 0;
  return type & (C3_FULLWIDTH | C3_IDEOGRAPH) ? 2 : 1;
}

}  // namespace fc::platform
