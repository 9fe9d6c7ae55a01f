// platform/CodePageText.h - text conversion between UTF-8 and a narrow code
// page, named by its Windows number (936, 54936 = GB18030, 950 = Big5, 1252,
// ...; 65001 is UTF-8 itself).
//
// A CodePageText converts one way, a code page's bytes to UTF-8 (Decode) or
// UTF-8 to a code page's bytes (Encode), and never fails on bad input: every
// input sequence it cannot convert exactly (an invalid byte sequence, or a
// character the code page has no place for) becomes the replacement, which is
// written as it is given. A code page the system cannot convert keeps ASCII,
// which all of them share, and replaces every other byte.
//
//   fc::platform::CodePageText decoder(54936, fc::platform::CodePageText::Decode, "\xEF\xBF\xBD");
//   std::string out;
//   decoder.convert(gbkBytes, out);   // appends
//
// A converter may carry conversion state: it belongs to one thread at a time,
// and is best kept and reused, since opening one costs far more than a
// conversion.
#pragma once

#include <memory>
#include <string>
#include <string_view>

namespace fc::platform {

inline constexpr unsigned kUtf8CodePage = 65001;
inline constexpr unsigned kGb18030CodePage = 54936;

class CodePageText {
 public:
  enum Direction { Decode, Encode };

  CodePageText(unsigned codePage, Direction direction, std::string_view replacement);
  ~CodePageText();
  CodePageText(const CodePageText&) = delete;
  CodePageText& operator=(const CodePageText&) = delete;

  // Appends the conversion of `in` to `out`.
  void convert(std::string_view in, std::string& out);

  // Whether the system converts `codePage` itself. Wine has no GB18030 and
  // reads it through GBK, its two-byte part; Windows and Linux have it.
  static bool ConvertsItself(unsigned codePage);

 private:
  struct System;  // the system's converter
  std::unique_ptr<System> system_;
  Direction direction_;
  std::string replacement_;
};

}  // namespace fc::platform
