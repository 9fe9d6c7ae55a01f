#include "dbf/CodePage.h"

#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace fc::dbf {

namespace {

struct CodePageName {
  uint8_t byte;      // header offset 29
  const char* name;  // iconv name
};

// The code-page marks FoxPro and dBase write; 0x7A (Windows 936) and 0x4D
// (DOS 936) decode as GB18030 so that characters outside GBK survive.
constexpr CodePageName kCodePages[] = {
    {0x01, "CP437"},  {0x02, "CP850"},  {0x03, "CP1252"}, {0x13, "CP932"},
    {0x4D, "GB18030"}, {0x4E, "CP949"}, {0x4F, "BIG5"},   {0x50, "CP874"},
    {0x57, "CP1252"}, {0x58, "CP1252"}, {0x59, "CP1252"}, {0x64, "CP852"},
    {0x65, "CP866"},  {0x66, "CP865"},  {0x67, "CP861"},  {0x6A, "CP737"},
    {0x6B, "CP857"},  {0x78, "BIG5"},   {0x79, "CP949"},  {0x7A, "GB18030"},
    {0x7B, "CP932"},  {0x7C, "CP874"},  {0x7D, "CP1255"}, {0x7E, "CP1256"},
    {0xC8, "CP1250"}, {0xC9, "CP1251"}, {0xCA, "CP1254"}, {0xCB, "CP1253"},
    {0xCC, "CP1257"},
};

iconv_t Handle(void* h) { return static_cast<iconv_t>(h); }

const iconv_t kNoHandle = reinterpret_cast<iconv_t>(-1);

// Length of the UTF-8 sequence that starts with `lead` (1 for a stray byte).
size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

}  // namespace

const char* EncodingForCodePage(uint8_t codePage) {
  for (const CodePageName& cp : kCodePages)
    if (cp.byte == codePage) return cp.name;
  return "GB18030";
}

bool IsAscii(std::string_view bytes) {
  unsigned char high = 0;
  for (char c : bytes) high |= static_cast<unsigned char>(c);
  return high < 0x80;
}

Converter::Converter(const char* to, const char* from, std::string_view replacement)
    : handle_(iconv_open(to, from)),
      fromUtf8_(std::strcmp(from, "UTF-8") == 0),
      replacement_(replacement) {}

Converter::~Converter() {
  if (Handle(handle_) != kNoHandle) iconv_close(Handle(handle_));
}

size_t Converter::badSequenceLength(const char* at, size_t left) const {
  if (!fromUtf8_) return 1;
  size_t n = Utf8Length(static_cast<unsigned char>(*at));
  for (size_t i = 1; i < n; ++i)  // a broken sequence ends at its first non-continuation byte
    if (i >= left || (static_cast<unsigned char>(at[i]) & 0xC0) != 0x80) return i;
  return n;
}

void Converter::convert(std::string_view in, std::string& out) {
  if (Handle(handle_) == kNoHandle) {  // no converter: keep what every code page agrees on
    for (char c : in) {
      if (static_cast<unsigned char>(c) < 0x80)
        out.push_back(c);
      else
        out += replacement_;
    }
    return;
  }
  char* src = const_cast<char*>(in.data());  // iconv's signature; it does not write
  size_t srcLeft = in.size();
  while (srcLeft > 0) {
    size_t used = out.size();
    out.resize(used + srcLeft * 4 + 16);
    char* dst = out.data() + used;
    size_t dstLeft = out.size() - used;
    size_t rc = iconv(Handle(handle_), &src, &srcLeft, &dst, &dstLeft);
    int err = errno;
    out.resize(out.size() - dstLeft);
    if (rc != static_cast<size_t>(-1) || err == E2BIG) continue;
    // EILSEQ: an invalid or unconvertible sequence; EINVAL: cut off at the end.
    size_t skip = err == EINVAL ? srcLeft : badSequenceLength(src, srcLeft);
    out += replacement_;
    src += skip;
    srcLeft -= skip;
    iconv(Handle(handle_), nullptr, nullptr, nullptr, nullptr);
  }
  size_t used = out.size();  // a stateful target may need a closing shift sequence
  out.resize(used + 16);
  char* dst = out.data() + used;
  size_t dstLeft = 16;
  iconv(Handle(handle_), nullptr, nullptr, &dst, &dstLeft);
  out.resize(out.size() - dstLeft);
}

}  // namespace fc::dbf
