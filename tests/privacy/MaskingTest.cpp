// The masks themselves, on hostile values: short, empty, blank, multibyte,
// stray bytes, and a value masked twice.
#include "privacy/Masking.h"

#include <gtest/gtest.h>

#include <string>

namespace fc::privacy {
namespace {

TEST(Masking, IdentityNumbersKeepSixAndFourCharactersAndNamesTheirFirst) {
  const struct {
    std::string value, number, name;
  } cases[] = {
      {"110101199001011234", "110101********1234", "1*"},
      {"110101199001011234    ", "110101********1234", "1*"},  // a DBF field's padding is no part of it
      {"12345678901", "123456*8901", "1*"},
      {"1234567890", "**********", "1*"},  // nothing would be hidden: all of it is
      {"E1234", "*****", "E*"},
      {"", "", ""},
      {"   ", "", ""},
      {"护照号码ABCDEFGHIJ", "护照号码AB****GHIJ", "护*"},  // characters, not bytes
      {"张三丰", "***", "张*"},
      {"\xff\xfe" "1234567890", "\xff\xfe" "1234**7890", "\xff*"},  // stray bytes count as characters
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(MaskValue(c.value, Personal::IdentityNumber, Masking::Numbers), c.number);
    EXPECT_EQ(MaskValue(c.value, Personal::IdentityNumber, Masking::NumbersAndNames), c.number);
    EXPECT_EQ(MaskValue(c.number, Personal::IdentityNumber, Masking::Numbers), c.number);  // masked once is enough
    EXPECT_EQ(MaskValue(c.value, Personal::Name, Masking::NumbersAndNames), c.name);
    EXPECT_EQ(MaskValue(c.value, Personal::Name, Masking::Numbers), c.value);
    EXPECT_EQ(MaskValue(c.value, Personal::IdentityNumber, Masking::Off), c.value);
    EXPECT_EQ(MaskValue(c.value, Personal::None, Masking::NumbersAndNames), c.value);
  }
}

}  // namespace
}  // namespace fc::privacy
