// The conversion on Linux: iconv, under the names glibc knows the code pages by.
#include "platform/CodePageText.h"

#include <cerrno>
#include <iconv.h>

#include "platform/BrokenUtf8.h"

namespace fc::platform {

namespace {

struct IconvName {
  unsigned codePage;
  const char* name;
};

// Big5 (950) is iconv's BIG5, the set our Big5 tables have always been read
// with, rather than its CP950.
constexpr IconvName kIconvNames[] = {
    {437, "CP437"},   {737, "CP737"},   {850, "CP850"},     {852, "CP852"},   {857, "CP857"},
    {861, "CP861"},   {865, "CP865"},   {866, "CP866"},     {874, "CP874"},   {932, "CP932"},
    {936, "CP936"},   {949, "CP949"},   {950, "BIG5"},      {1250, "CP1250"}, {1251, "CP1251"},
    {1252, "CP1252"}, {1253, "CP1253"}, {1254, "CP1254"},   {1255, "CP1255"}, {1256, "CP1256"},
    {1257, "CP1257"}, {kGb18030CodePage, "GB18030"},        {kUtf8CodePage, "UTF-8"},
};

const iconv_t kNoHandle = reinterpret_cast<iconv_t>(-1);

iconv_t Open(unsigned codePage, CodePageText::Direction direction) {
  for (const IconvName& n : kIconvNames)
    if (n.codePage == codePage)
      return direction == CodePageText::Decode ? iconv_open("UTF-8", n.name) : iconv_open(n.name, "UTF-8");
  return kNoHandle;
}

}  // namespace

struct CodePageText::System {
  iconv_t handle;  // kNoHandle when iconv does not know the code page
};

CodePageText::CodePageText(unsigned codePage, Direction direction, std::string_view replacement)
    : system_(new System{Open(codePage, direction)}), direction_(direction), replacement_(replacement) {}

CodePageText::~CodePageText() {
  if (system_->handle != kNoHandle) iconv_close(system_->handle);
}

bool CodePageText::ConvertsItself(unsigned codePage) {
  const iconv_t handle = Open(codePage, Decode);
  if (handle == kNoHandle) return false;
  iconv_close(handle);
  return true;
}

void CodePageText::convert(std::string_view in, std::string& out) {
  iconv_t handle = system_->handle;
  if (handle == kNoHandle) {
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
    size_t rc = iconv(handle, &src, &srcLeft, &dst, &dstLeft);
    int err = errno;
    out.resize(out.size() - dstLeft);
    if (rc != static_cast<size_t>(-1) || err == E2BIG) continue;
    // EILSEQ: an invalid or unconvertible sequence; EINVAL: cut off at the end.
    size_t skip = err == EINVAL ? srcLeft : direction_ == Encode ? BrokenUtf8Length(src, srcLeft) : 1;
    out += replacement_;
    src += skip;
    srcLeft -= skip;
    iconv(handle, nullptr, nullptr, nullptr, nullptr);
  }
  size_t used = out.size();  // a stateful target may need a closing shift sequence
  out.resize(used + 16);
  char* dst = out.data() + used;
  size_t dstLeft = 16;
  iconv(handle, nullptr, nullptr, &dst, &dstLeft);
  out.resize(out.size() - dstLeft);
}

}  // namespace fc::platform
