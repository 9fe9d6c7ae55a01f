// The dialogs' list patterns and the matcher that applies them.
#include <gtest/gtest.h>

#include "naming/ListPatterns.h"

namespace fc::naming {
namespace {

TEST(ListPatterns, ChooserPatterns) {
  EXPECT_EQ(IdentityChooserPattern(FileType::Zip), "*SFZHCQK*.zip;*SFZFCJG*.zip");
  EXPECT_EQ(IdentityChooserPattern(FileType::Dbf), "*SFZHCQK*.zip;*SFZFCJG*.dbf");
  EXPECT_EQ(AccountChooserPattern(FileType::Zip),
            "*_KHJBXX_*_*.zip;*_ZJBDXX_*_*.zip;*_ZJZQDY_*_*.zip;*_YYBXX_*_*.zip;*_ZHBYZ_*_*.zip");
  EXPECT_EQ(AccountChooserPattern(FileType::Dbf),
            "*_KHJBXX_*_*.dbf;*_ZJBDXX_*_*.dbf;*_ZJZQDY_*_*.dbf;*_YYBXX_*_*.dbf;*_ZHBYZ_*_*.dbf");
  EXPECT_EQ(PlainChooserPattern(FileType::Zip), "*.zip");
  EXPECT_EQ(PlainChooserPattern(FileType::Dbf), "*.dbf");
}

TEST(ListPatterns, ViewerAndSelectionPatterns) {
  EXPECT_EQ(SubmissionViewerPattern("100001", FileType::Zip), "100001_SFZFCJG_*.zip");
  EXPECT_EQ(ComparisonViewerPattern("100001", FileType::Dbf), "100001_SFZHCQK_*.dbf");
  EXPECT_EQ(AccountListPattern("100001", FileType::Zip),
            "*100001_KHJBXX_*_*.zip;*100001_ZJBDXX_*_*.zip;*100001_ZJZQDY_*_*.zip;"
            "100001_YYBXX_*_*.zip;100001_ZHBYZ_*_*.zip");
  EXPECT_EQ(FilterPattern("100001", "20080808", false, FileType::Dbf),
            "100001_KHJBXX_20080808_*.dbf;100001_ZJBDXX_20080808_*.dbf;100001_ZJZQDY_20080808_*.dbf;"
            "100001_YYBXX_20080808_*.dbf;100001_ZHBYZ_20080808_*.dbf");
  EXPECT_EQ(FilterPattern("100001", "20080808", true, FileType::Zip),
            "QL_100001_KHJBXX_20080808_*.zip;QL_100001_ZJBDXX_20080808_*.zip;QL_100001_ZJZQDY_20080808_*.zip;"
            "100001_YYBXX_20080808_*.zip;100001_ZHBYZ_20080808_*.zip");
}

TEST(MatchesListPattern, StarAndCase) {
  EXPECT_TRUE(MatchesListPattern("a.ZIP", "*.zip"));
  EXPECT_TRUE(MatchesListPattern(".zip", "*.zip"));
  EXPECT_FALSE(MatchesListPattern("a.zip.bak", "*.zip"));
  EXPECT_FALSE(MatchesListPattern("a.dbf", "*.zip"));
  EXPECT_TRUE(MatchesListPattern("a.dbf", "*.zip;*.dbf"));
  EXPECT_TRUE(MatchesListPattern("表一.ZIP", "表*.zip"));
  EXPECT_FALSE(MatchesListPattern("a.zip", ""));
  EXPECT_FALSE(MatchesListPattern("a?zip", "a.zip"));  // only "*" is a wildcard
  EXPECT_TRUE(MatchesListPattern("a?zip", "a?zip"));
  EXPECT_FALSE(MatchesListPattern(std::string(20000, 'a'), "*a*a*a*a*a*a*a*a*b"));
}

TEST(MatchesListPattern, AccountListTakesPrefixOnlyForSixLetterKinds) {
  const std::string p = AccountListPattern("100001", FileType::Zip);
  EXPECT_TRUE(MatchesListPattern("100001_KHJBXX_20080808_1.ZIP", p));
  EXPECT_TRUE(MatchesListPattern("ql_100001_khjbxx_20080808_1.zip", p));
  EXPECT_TRUE(MatchesListPattern("100001_YYBXX_20080808_1.zip", p));
  EXPECT_FALSE(MatchesListPattern("QL_100001_YYBXX_20080808_1.ZIP", p));
  EXPECT_FALSE(MatchesListPattern("100002_KHJBXX_20080808_1.ZIP", p));
  EXPECT_FALSE(MatchesListPattern("100001_KHJBXX_20080808_1.DBF", p));
  const std::string filter = FilterPattern("100001", "20080808", true, FileType::Zip);
  EXPECT_TRUE(MatchesListPattern("QL_100001_ZJBDXX_20080808_2.ZIP", filter));
  EXPECT_FALSE(MatchesListPattern("100001_ZJBDXX_20080808_2.ZIP", filter));
  EXPECT_FALSE(MatchesListPattern("QL_100001_ZJBDXX_20080809_2.ZIP", filter));
}

}  // namespace
}  // namespace fc::naming
