// Conversion between UTF-8 and a code page: every sequence that cannot be
// converted becomes one replacement, and a converter reused after such a
// sequence converts the next text as if nothing had happened.
#include "platform/CodePageText.h"

#include <gtest/gtest.h>

namespace fc::platform {
namespace {

std::string Convert(CodePageText& converter, std::string_view in) {
  std::string out;
  converter.convert(in, out);
  return out;
}

TEST(CodePageText, EachUnconvertibleSequenceIsOneReplacementAndTheConverterGoesOn) {
  CodePageText latin(1252, CodePageText::Encode, "?");
  EXPECT_EQ(Convert(latin, "é张€"), "\xE9?\x80");           // 张 has no place in 1252
  EXPECT_EQ(Convert(latin, "a\xE5\xBCz\xFF"), "a?z?");      // a cut three-byte character, a stray byte
  EXPECT_EQ(Convert(latin, "\xE5\xBC"), "?");               // cut off at the end
  EXPECT_EQ(Convert(latin, "Café"), "Caf\xE9");

  CodePageText gbk(kGb18030CodePage, CodePageText::Decode, "\xEF\xBF\xBD");
  EXPECT_EQ(Convert(gbk, "a\xD5"), "a\xEF\xBF\xBD");        // a lead byte without its trail
  EXPECT_EQ(Convert(gbk, "\xFF\xD5\xC5"), "\xEF\xBF\xBD张");  // a byte no character starts with, then a whole one
  if (CodePageText::ConvertsItself(kGb18030CodePage)) {  // not under Wine
    EXPECT_EQ(Convert(gbk, "\x81\x30\x81\x30"), "\xC2\x80");  // four bytes, outside GBK
  }
}

}  // namespace
}  // namespace fc::platform
