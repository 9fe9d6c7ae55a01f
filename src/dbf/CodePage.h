// dbf/CodePage.h - what the code-page byte of a DBF table means.
//
// The code-page byte (header offset 29) names the narrow character set of the
// table's text; TextCodePage gives it as a Windows code-page number, which
// platform::CodePageText converts to and from UTF-8.
//
//   fc::platform::CodePageText toUtf8(fc::dbf::TextCodePage(0x7A), fc::platform::CodePageText::Decode,
//                                     "\xEF\xBF\xBD");
#pragma once

#include <cstdint>
#include <string_view>

namespace fc::dbf {

// The code page of a code-page byte; GB18030 (54936, a superset of GBK) for 0
// and for bytes this table does not know, since our tables come from Chinese
// systems.
unsigned TextCodePage(uint8_t codePageByte);

// True when every byte is 7-bit ASCII, which all our code pages share.
bool IsAscii(std::string_view bytes);

}  // namespace fc::dbf
