// The shared text helpers: trimming, ASCII folding, counts, UTF-8 reading
// and the terminal width of a text.
#include <gtest/gtest.h>

#include "text/Text.h"
#include "text/Utf8.h"

namespace fc::text {
namespace {

TEST(Text, TrimsFoldsAndTestsDigitsOnlyInAscii) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("   "), "");
  EXPECT_EQ(Trim("\t a \r"), "\t a \r");  // blanks only, unless told otherwise
  EXPECT_EQ(Trim("\t a \r", kWhite), "a");
  EXPECT_TRUE(AllDigits("0123456789"));
  EXPECT_FALSE(AllDigits("１２"));  // full-width digits are not digits
  EXPECT_TRUE(EqualsNoCase("khjbxx.Dbf", "KHJBXX.DBF"));
  EXPECT_FALSE(EqualsNoCase("KHJBXX", "KHJBX"));
  EXPECT_EQ(ToUpper("zjzqdy_中"), "ZJZQDY_中");
  EXPECT_EQ(ToLower("_NullFlags"), "_nullflags");
}

TEST(Text, CountsStandAfterOneBlank) {
  EXPECT_EQ(CountText(0), " 0");
  EXPECT_EQ(CountText(12), " 12");
  EXPECT_EQ(CountText(-3), "-3");
}

TEST(Utf8, StrayBytesAreCharactersOfTheirOwn) {
  const std::string text = "a\xE4\xB8\xAD\xFF" "b";  // a, 中, a stray byte, b
  EXPECT_EQ(SplitCharacters(text).size(), 4u);
  std::size_t pos = 4;
  EXPECT_EQ(NextCharacter(text, pos), char32_t{0xDCFF});
  EXPECT_EQ(SkipCharacters(text, 2), 4u);
  EXPECT_EQ(SkipCharacters(text, 9), text.size());
  EXPECT_EQ(DisplayWidth("记录号 YYBDM"), 12u);  // CJK characters take two columns
  EXPECT_EQ(DisplayWidth(text), 5u);
}

}  // namespace
}  // namespace fc::text
