#include "query/Decimal.h"

#include <gtest/gtest.h>

#include "query/Session.h"

namespace fc::query {
namespace {

Decimal Lit(const char* text) {
  Decimal d;
  EXPECT_TRUE(ParseLiteral(text, d)) << text;
  return d;
}

TEST(Decimal, FieldsReadLikeFoxPro) {
  EXPECT_EQ(Format(ParseField("      -12.5", 2)), "-12.50");
  EXPECT_EQ(Format(ParseField("   100.10", 2)), "100.10");
  EXPECT_EQ(Format(ParseField("          ", 2)), "0.00");
  EXPECT_EQ(Format(ParseField("**********", 2)), "0.00");  // overflow marks
  EXPECT_EQ(Format(ParseField("  1.2E3", 0)), "1.2");      // reading stops at the first other byte
  EXPECT_EQ(Format(ParseField("+7", 0)), "7");
  EXPECT_EQ(Format(ParseField("99999999999999999999", 0)), "99999999999999999999");
  // Long values cross the 18-digit steps in which digits are gathered; leading
  // zeros do not count towards the 36 significant digits a value may hold.
  EXPECT_EQ(Format(ParseField("123456789012345678.9", 1)), "123456789012345678.9");
  EXPECT_EQ(Format(ParseField("-000000000000000000000012345.678", 3)), "-12345.678");
  EXPECT_EQ(Format(ParseField("1234567890123456789012345678901234567", 0)),
            "123456789012345678901234567890123456");
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
