#include "query/Decimal.h"

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "query/Session.h"

namespace fc::query {
namespace {

Decimal Lit(const char* text) {
  Decimal d;
  EXPECT_TRUE(ParseLiteral(text, d)) << text;
  return d;
}

// The field's reading as Format shows it, or "no number".
std::string Field(std::string_view text, int decimals) {
  Decimal d;
  return ParseField(text, decimals, d) ? Format(d) : "no number";
}

TEST(Decimal, FieldsReadStrictly) {
  EXPECT_EQ(Field("      -12.5", 2), "-12.50");
  EXPECT_EQ(Field("   100.10", 2), "100.10");
  EXPECT_EQ(Field("          ", 2), "0.00");
  EXPECT_EQ(Field("+7", 0), "7");
  EXPECT_EQ(Field("7  ", 0), "7");
  EXPECT_EQ(Field(" .5", 1), "0.5");
  EXPECT_EQ(Field("99999999999999999999", 0), "99999999999999999999");
  // Long values cross the 18-digit steps in which digits are gathered; leading
  // zeros do not count towards the 36 significant digits a value may hold.
  EXPECT_EQ(Field("123456789012345678.9", 1), "123456789012345678.9");
  EXPECT_EQ(Field("-000000000000000000000012345.678", 3), "-12345.678");
  // What a sloppy or hostile writer leaves is no number, not 0 or its start.
  for (std::string_view bad : {"**********", "  1.2E3", "abc", "100.00abc", "  -", "  .", "1 2", "12.345",
                               "1234567890123456789012345678901234567"})
    EXPECT_EQ(Field(bad, 2), "no number") << bad;
  EXPECT_EQ(Field(std::string_view("  12\0", 5), 0), "no number");
}

TEST(Decimal, ValReadsTheLeadingNumber) {
  EXPECT_EQ(Format(LeadingNumber("  100.00abc")), "100.00");
  EXPECT_EQ(Format(LeadingNumber("  1.2E3")), "1.2");
  EXPECT_EQ(Format(LeadingNumber("abc")), "0");
}

TEST(Decimal, ArithmeticAndOrderAreExact) {
  EXPECT_EQ(Order(Add(Lit("0.1"), Lit("0.2")), Lit("0.3")), 0);
  EXPECT_EQ(Order(Add(Lit("100.10"), Lit("0.20")), Lit("100.29")), 1);
  EXPECT_LT(Order(Lit("50.00"), Lit("50.01")), 0);
  EXPECT_EQ(Format(Subtract(Lit("0.05"), Lit("0.1"))), "-0.05");
  EXPECT_EQ(Format(Negate(Lit(".5"))), "-0.5");
  EXPECT_EQ(Order(Lit("1.000000000000000000000000000001"), Lit("1")), 1);
}

TEST(Decimal, HugeAlignmentsStillOrderAndOverflowIsReported) {
  Decimal big = Lit("999999999999999999999999999999999999");  // 36 digits
  Decimal tiny = Lit("0.000000000000000000000000000001");     // scale 30
  EXPECT_GT(Order(big, tiny), 0);                             // aligning big overflows
  EXPECT_LT(Order(Negate(big), tiny), 0);
  EXPECT_LT(Order(tiny, big), 0);
  EXPECT_THROW(Add(big, tiny), QueryError);
  Decimal d;
  EXPECT_FALSE(ParseLiteral("1234567890123456789012345678901234567", d));  // 37 digits
}

TEST(Decimal, NormalFormsAndIntegers) {
  EXPECT_EQ(Order(Normalized(Lit("4.00")), Decimal{4, 0}), 0);
  EXPECT_EQ(Normalized(Lit("4.00")).scale, 0);
  EXPECT_EQ(Normalized(Lit("0.000")).scale, 0);
  EXPECT_EQ(TruncatedInteger(Lit("12.99")), 12);
  EXPECT_EQ(TruncatedInteger(Negate(Lit("12.99"))), -12);
}

}  // namespace
}  // namespace fc::query
