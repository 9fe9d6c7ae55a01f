// platform/CodePageTextWindows.cpp - CodePageText.h on Windows, whose own
// conversions know every code page by its number: MultiByteToWideChar and
// WideCharToMultiByte through UTF-16. Both are told to refuse rather than
// guess (MB_ERR_INVALID_CHARS; WC_NO_BEST_FIT_CHARS with the default
// character's use reported, or WC_ERR_INVALID_CHARS for GB18030 and UTF-8,
// which hold all of Unicode). A whole input is converted in one call; one
// that is refused is converted again a character at a time, so that only
// what cannot be converted becomes the replacement.
#include "platform/CodePageText.h"

#include <windows.h>

#include "platform/BrokenUtf8.h"

namespace fc::platform {

namespace {

constexpr size_t kLongestCharacter = 4;  // bytes, in any of the code pages
constexpr unsigned kGbkCodePage = 936;

// `in` in UTF-16; false when some of it is not valid in `codePage`.
bool ToWide(unsigned codePage, std::string_view in, std::wstring& wide) {
  wide.clear();
  if (in.empty()) return true;
  const int size = static_cast<int>(in.size());
  const int length = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), size, nullptr, 0);
  if (length <= 0) return false;
  wide.resize(static_cast<size_t>(length));
  return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), size, wide.data(), length) == length;
}

// `wide` appended to `out` in UTF-8, which holds every valid UTF-16 text.
void AppendUtf8(std::wstring_view wide, std::string& out) {
  if (wide.empty()) return;
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  const size_t used = out.size();
  out.resize(used + static_cast<size_t>(length));
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, out.data() + used, length, nullptr, nullptr);
}

// `wide` appended to `out` in `codePage`; false, `out` as it was, when some
// character has no exact place there.
bool AppendNarrow(unsigned codePage, std::wstring_view wide, std::string& out) {
  if (wide.empty()) return true;
  const bool whole = codePage == kGb18030CodePage || codePage == kUtf8CodePage;
  const DWORD flags = whole ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  BOOL defaulted = FALSE;
  BOOL* const usedDefault = whole ? nullptr : &defaulted;
  const int size = static_cast<int>(wide.size());
  const int length = WideCharToMultiByte(codePage, flags, wide.data(), size, nullptr, 0, nullptr, usedDefault);
  if (length <= 0 || defaulted) return false;
  const size_t used = out.size();
  out.resize(used + static_cast<size_t>(length));
  if (WideCharToMultiByte(codePage, flags, wide.data(), size, out.data() + used, length, nullptr, usedDefault) ==
          length &&
      !defaulted)
    return true;
  out.resize(used);
  return false;
}

// The code page the system converts for `codePage`: itself, or for GB18030
// on a system without it (Wine) GBK, its two-byte part, so that Chinese text
// still reads; 0 when there is none.
unsigned SystemCodePage(unsigned codePage) {
  if (IsValidCodePage(codePage)) return codePage;
  return codePage == kGb18030CodePage && IsValidCodePage(kGbkCodePage) ? kGbkCodePage : 0;
}

}  // namespace

struct CodePageText::System {
  unsigned codePage;  // 0 when the system converts none in its place
  std::wstring wide;
};

CodePageText::CodePageText(unsigned codePage, Direction direction, std::string_view replacement)
    : system_(new System{SystemCodePage(codePage), {}}),
      direction_(direction),
      replacement_(replacement) {}

CodePageText::~CodePageText() = default;

bool CodePageText::ConvertsItself(unsigned codePage) { return IsValidCodePage(codePage); }

void CodePageText::convert(std::string_view in, std::string& out) {
  const unsigned from = direction_ == Decode ? system_->codePage : kUtf8CodePage;
  const unsigned to = direction_ == Decode ? kUtf8CodePage : system_->codePage;
  std::wstring& wide = system_->wide;
  const auto oneStep = [&](std::string_view part) {
    if (!ToWide(from, part, wide)) return false;
    if (direction_ == Decode) return AppendUtf8(wide, out), true;
    return AppendNarrow(to, wide, out);
  };
  if (!system_->codePage) {
    for (char c : in) {
      if (static_cast<unsigned char>(c) < 0x80)
        out.push_back(c);
      else
        out += replacement_;
    }
    return;
  }
  if (oneStep(in)) return;
  // A character at a time: the shortest run of bytes that converts is one.
  for (size_t at = 0; at < in.size();) {
    size_t taken = 0;
    for (size_t n = 1; n <= kLongestCharacter && at + n <= in.size() && !taken; ++n)
      if (oneStep(in.substr(at, n))) taken = n;
    if (taken) {
      at += taken;
      continue;
    }
    out += replacement_;
    at += direction_ == Encode ? BrokenUtf8Length(in.data() + at, in.size() - at) : 1;
  }
}

}  // namespace fc::platform
