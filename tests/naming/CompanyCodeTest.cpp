// The company code check and the wording of the code confirmation.
#include <gtest/gtest.h>

#include "naming/CompanyCode.h"

namespace fc::naming {
namespace {

TEST(CheckCompanyCode, DigitTestComesFirst) {
  EXPECT_EQ(CheckCompanyCode("100001"), std::nullopt);
  EXPECT_EQ(CheckCompanyCode("  100001 "), std::nullopt);
  EXPECT_EQ(CheckCompanyCode("10000"), kCodeLengthText);
  EXPECT_EQ(CheckCompanyCode("1000011"), kCodeLengthText);
  EXPECT_EQ(CheckCompanyCode(""), kCodeLengthText);
  EXPECT_EQ(CheckCompanyCode("   "), kCodeLengthText);
  EXPECT_EQ(CheckCompanyCode("10A001"), kCodeNotDigitsText);
  EXPECT_EQ(CheckCompanyCode("1000A"), kCodeNotDigitsText);  // five characters, one a letter
  EXPECT_EQ(CheckCompanyCode("１００００１"), kCodeNotDigitsText);  // full-width digits
  EXPECT_EQ(CheckCompanyCode("100 01"), kCodeNotDigitsText);
  EXPECT_EQ(CheckCompanyCode("\t100001"), kCodeNotDigitsText);
  EXPECT_EQ(kCodeNotDigitsText, "证券公司编码不正确，有非数字字符");
  EXPECT_EQ(kCodeLengthText, "证券公司编码必须6位");
}

TEST(PrepareCompanyConfirmation, NamesKnownAndUnknownCompanies) {
  const CompanyConfirmation known = PrepareCompanyConfirmation("100001", "东岳证券股份有限公司");
  EXPECT_EQ(known.code, "100001");
  EXPECT_EQ(known.name, "东岳证券股份有限公司");
  EXPECT_EQ(known.question, "确认将证券公司代码设置为:[100001] [东岳证券股份有限公司] 吗?");
  const CompanyConfirmation unknown = PrepareCompanyConfirmation("100009", std::nullopt);
  EXPECT_EQ(unknown.name, "未能匹配到公司名称");
  EXPECT_EQ(unknown.question, "确认将证券公司代码设置为:[100009] [未能匹配到公司名称] 吗?");
}

}  // namespace
}  // namespace fc::naming
