#include "dbf/CodePage.h"

#include "platform/CodePageText.h"

namespace fc::dbf {

namespace {

struct CodePageMark {
  uint8_t byte;       // header offset 29
  unsigned codePage;  // Windows code-page number
};

// The code-page marks FoxPro and dBase write; 0x7A (Windows 936) and 0x4D
// (DOS 936) decode as GB18030 so that characters outside GBK survive.
constexpr CodePageMark kCodePages[] = {
    {0x01, 437},  {0x02, 850},  {0x03, 1252}, {0x13, 932},  {0x4D, platform::kGb18030CodePage},
    {0x4E, 949},  {0x4F, 950},  {0x50, 874},  {0x57, 1252}, {0x58, 1252},
    {0x59, 1252}, {0x64, 852},  {0x65, 866},  {0x66, 865},  {0x67, 861},
    {0x6A, 737},  {0x6B, 857},  {0x78, 950},  {0x79, 949},  {0x7A, platform::kGb18030CodePage},
    {0x7B, 932},  {0x7C, 874},  {0x7D, 1255}, {0x7E, 1256}, {0xC8, 1250},
    {0xC9, 1251}, {0xCA, 1254}, {0xCB, 1253}, {0xCC, 1257},
};

}  // namespace

unsigned TextCodePage(uint8_t codePageByte) {
  for (const CodePageMark& cp : kCodePages)
    if (cp.byte == codePageByte) return cp.codePage;
  return platform::kGb18030CodePage;
}

bool IsAscii(std::string_view bytes) {
  unsigned char high = 0;
  for (char c : bytes) high |= static_cast<unsigned char>(c);
  return high < 0x80;
}

}  // namespace fc::dbf
