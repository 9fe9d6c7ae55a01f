// dbf/CodePage.h - the code page of a DBF table and text conversion to and
// from it.
//
// The code-page byte (header offset 29) names the narrow character set of the
// table's text; EncodingForCodePage maps it to an iconv name. A Converter
// wraps one iconv direction and never fails on bad input: bytes it cannot
// convert are replaced, so operators see a U+FFFD instead of an error.
//
//   fc::dbf::Converter toUtf8("UTF-8", fc::dbf::EncodingForCodePage(0x7A));
//   std::string out;
//   toUtf8.convert(gbkBytes, out);   // appends
//
// iconv handles carry conversion state: a Converter belongs to one thread.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace fc::dbf {

// The iconv name for a code-page byte; GB18030 (a superset of GBK) for 0 and
// for bytes this table does not know, since our tables come from Chinese systems.
const char* EncodingForCodePage(uint8_t codePage);

// True when every byte is 7-bit ASCII, which all our code pages share.
bool IsAscii(std::string_view bytes);

class Converter {
 public:
  // Converts from `from` to `to`; `replacement` (already in `to`) stands for
  // every input sequence that cannot be converted.
  Converter(const char* to, const char* from, std::string_view replacement);
  ~Converter();
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Appends the conversion of `in` to `out`.
  void convert(std::string_view in, std::string& out);

 private:
  size_t badSequenceLength(const char* at, size_t left) const;

  void* handle_;             // iconv_t, (iconv_t)-1 when the pair is unknown
  bool fromUtf8_;            // input is UTF-8: skip whole characters on failure
  std::string replacement_;  // written for each unconvertible input sequence
};

}  // namespace fc::dbf
