#include "spreadsheet/Csv.h"

#include <gtest/gtest.h>

namespace fc::spreadsheet {
namespace {

TEST(CsvTest, FormulasAreGuardedAndPlainNumbersAndTextsStayAsTheyAre) {
  const std::pair<std::string, std::string> cases[] = {
      // Every character a spreadsheet starts a formula with.
      {"=2+5", "\"'=2+5\""},
      {"+1+2", "\"'+1+2\""},
      {"-1+2", "\"'-1+2\""},
      {"@SUM(1)", "\"'@SUM(1)\""},
      {"\t=1", "\"'\t=1\""},
      {"\r=1", "\"'\r=1\""},
      {"=HYPERLINK(\"http://x\",\"y\")", "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\""},
      {"-", "\"'-\""},
      {"-.5", "\"'-.5\""},
      // Plain numbers, negative ones too, stay numbers.
      {"-12", "-12"},
      {"-118.00", "-118.00"},
      {"000001", "000001"},
      {"110101199001011234", "110101199001011234"},
      // Texts: quoted only for a separator, a quote or a line break.
      {"", ""},
      {"东岳证券", "东岳证券"},
      {"a=b", "a=b"},
      {"a,b", "\"a,b\""},
      {"say \"x\"", "\"say \"\"x\"\"\""},
      {"two\nlines", "\"two\nlines\""},
  };
  for (const auto& [value, field] : cases) EXPECT_EQ(CsvField(value), field) << value;
  EXPECT_EQ(CsvLine({"1", "=1", "a,b"}), "1,\"'=1\",\"a,b\"\r\n");
}

}  // namespace
}  // namespace fc::spreadsheet
