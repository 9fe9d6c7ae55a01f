// platform/CharacterWidthLinux.cpp - CharacterWidth.h on Linux: the C
// library's wcwidth, asked in C.UTF-8.
#include "platform/CharacterWidth.h"

#include <locale.h>

#include <cwchar>

namespace fc::platform {

namespace {

// wcwidth answers for the calling thread's locale; the program itself runs in
// whatever locale it was started in, so the width is asked in C.UTF-8, made
// once and switched to only around the call.
locale_t Utf8Locale() {
  static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t{});
  return locale;
}

}  // namespace

int CharacterWidth(char32_t c) {
  const locale_t utf8 = Utf8Locale();
  const locale_t previous = utf8 ? uselocale(utf8) : locale_t{};
  const int columns = ::wcwidth(static_cast<wchar_t>(c));
  if (utf8) uselocale(previous);
  return columns;
}

}  // namespace fc::platform
