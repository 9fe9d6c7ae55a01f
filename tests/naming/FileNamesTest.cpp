// Submission file names: the names a run expects and the dialogs' analyses.
#include <gtest/gtest.h>

#include "naming/FileNames.h"

namespace fc::naming {
namespace {

TEST(ExpectedFileName, FollowsTheKindTable) {
  EXPECT_EQ(ExpectedFileName(Submission::Account, 0, false, "100001", "20080808", 1, FileType::Zip),
            "100001_KHJBXX_20080808_1.ZIP");
  EXPECT_EQ(ExpectedFileName(Submission::Account, 2, true, "100001", "20080808", 12, FileType::Dbf),
            "QL_100001_ZJBDXX_20080808_12.DBF");
  EXPECT_EQ(ExpectedFileName(Submission::Account, 3, true, "100001", "20080808", 1, FileType::Zip),
            "100001_YYBXX_20080808_1.ZIP");  // five-letter kinds never take the prefix
  EXPECT_EQ(ExpectedFileName(Submission::Identity, 1, true, "100001", "20080804", 5, FileType::Dbf),
            "100001_SFZHCQK_20080804.DBF");  // no prefix, no sequence number
  EXPECT_THROW(ExpectedFileName(Submission::Identity, 2, false, "100001", "20080808", 1, FileType::Zip),
               std::out_of_range);
  EXPECT_THROW(ExpectedFileName(Submission::Account, -1, false, "100001", "20080808", 1, FileType::Zip),
               std::out_of_range);
}

TEST(ExpectedFileName, AnalysesReadBackWhatTheRunWrites) {
  for (bool full : {false, true})
    for (int kind = 0; kind < 5; ++kind) {
      const std::string name =
          ExpectedFileName(Submission::Account, kind, full, "100001", "20240229", 7, FileType::Zip);
      const AccountName a = AnalyseAccountFileName(name);
      ASSERT_EQ(a.outcome, NameOutcome::Ok) << name;
      EXPECT_EQ(a.kindClass, KindClass::Known) << name;
      EXPECT_EQ(a.kindIndex, kind) << name;
      EXPECT_EQ(a.sequence, 7);
      EXPECT_EQ(a.dateDigits, "20240229");
      EXPECT_EQ(a.mode, kind >= 3 ? TransferMode::Pending : full ? TransferMode::Full : TransferMode::Incremental);
      EXPECT_EQ(RecogniseCompanyCode(name, true), "100001") << name;
    }
  for (int kind = 0; kind < 2; ++kind) {
    const std::string name =
        ExpectedFileName(Submission::Identity, kind, false, "100001", "20080808", 0, FileType::Dbf);
    EXPECT_EQ(AnalyseIdentityFileName(name).outcome, NameOutcome::Ok) << name;
  }
}

TEST(FindKindByFilecat, FindsOnlyExactTexts) {
  EXPECT_EQ(FindKindByFilecat(Submission::Account, "证券营业部信息表"), 3);
  EXPECT_EQ(FindKindByFilecat(Submission::Identity, "投资者身份信息核查异常明细表"), 1);
  EXPECT_EQ(FindKindByFilecat(Submission::Identity, "证券营业部信息表"), std::nullopt);
  EXPECT_EQ(FindKindByFilecat(Submission::Account, "证券营业部信息"), std::nullopt);
}

TEST(IsCalendarDate, RejectsImpossibleDays) {
  EXPECT_TRUE(IsCalendarDate("2008-08-08"));
  EXPECT_TRUE(IsCalendarDate("2008-02-29"));
  EXPECT_TRUE(IsCalendarDate("2000-02-29"));
  EXPECT_TRUE(IsCalendarDate("1900-01-01"));
  EXPECT_TRUE(IsCalendarDate("9999-12-31"));
  EXPECT_FALSE(IsCalendarDate("2008-02-30"));
  EXPECT_FALSE(IsCalendarDate("2007-02-29"));
  EXPECT_FALSE(IsCalendarDate("1900-02-29"));
  EXPECT_FALSE(IsCalendarDate("2008-13-01"));
  EXPECT_FALSE(IsCalendarDate("2008-00-10"));
  EXPECT_FALSE(IsCalendarDate("2008-04-31"));
  EXPECT_FALSE(IsCalendarDate("2008-04-00"));
  EXPECT_FALSE(IsCalendarDate("1899-12-31"));
  EXPECT_FALSE(IsCalendarDate("2008-8-08"));
  EXPECT_FALSE(IsCalendarDate("2008/08/08"));
  EXPECT_FALSE(IsCalendarDate("2008-0A-08"));
}

TEST(RecogniseCompanyCode, TakesOnlyCodesStartingWith100) {
  EXPECT_EQ(RecogniseCompanyCode("100001_SFZFCJG_20080808.ZIP", false), "100001");
  EXPECT_EQ(RecogniseCompanyCode("100001_KHJBXX_20080808_1.ZIP", true), "100001");
  EXPECT_EQ(RecogniseCompanyCode("QL_100123_KHJBXX_20080808_1.ZIP", true), "100123");
  EXPECT_EQ(RecogniseCompanyCode("QL_100001_KHJBXX_20080808_1.ZIP", false), std::nullopt);
  EXPECT_EQ(RecogniseCompanyCode("200001_KHJBXX_20080808_1.ZIP", true), std::nullopt);
  EXPECT_EQ(RecogniseCompanyCode("10000A_KHJBXX_20080808_1.ZIP", true), std::nullopt);
  EXPECT_EQ(RecogniseCompanyCode("1000012_X.ZIP", true), std::nullopt);  // character 7 must be "_"
  EXPECT_EQ(RecogniseCompanyCode("100001_", false), "100001");
  EXPECT_EQ(RecogniseCompanyCode("100001", false), std::nullopt);
  EXPECT_EQ(RecogniseCompanyCode("QL_100001", true), std::nullopt);
  EXPECT_EQ(RecogniseCompanyCode("ql_100001_X", true), std::nullopt);
}

TEST(AnalyseIdentityFileName, LengthThenDate) {
  IdentityName ok = AnalyseIdentityFileName("100001_SFZFCJG_20080808.ZIP");
  EXPECT_EQ(ok.outcome, NameOutcome::Ok);
  EXPECT_EQ(ok.dateText, "2008-08-08");
  for (const char* name : {"100001_SFZFCJG_20080808.ZI", "1000011_SFZFCJG_20080808.ZIP"}) {
    const IdentityName bad = AnalyseIdentityFileName(name);
    EXPECT_EQ(bad.outcome, NameOutcome::BadName) << name;
    EXPECT_EQ(bad.dateText, "") << name;
  }
  const IdentityName badDate = AnalyseIdentityFileName("100001_SFZFCJG_20080230.ZIP");
  EXPECT_EQ(badDate.outcome, NameOutcome::BadDate);
  EXPECT_EQ(badDate.dateText, "2008-02-30");
  // Positions count characters: 27 characters, one of them Chinese, in the date.
  const IdentityName chinese = AnalyseIdentityFileName("100001_SFZFCJG_2008080中.ZIP");
  EXPECT_EQ(chinese.outcome, NameOutcome::BadDate);
  EXPECT_EQ(chinese.dateText, "2008-08-0中");
}

TEST(AnalyseAccountFileName, IncrementalName) {
  const AccountName a = AnalyseAccountFileName("100001_KHJBXX_20080808_1.ZIP");
  EXPECT_EQ(a.outcome, NameOutcome::Ok);
  EXPECT_EQ(a.mode, TransferMode::Incremental);
  EXPECT_EQ(a.kindClass, KindClass::Known);
  EXPECT_EQ(a.kindIndex, 0);
  EXPECT_EQ(a.sequence, 1);
  EXPECT_EQ(a.dateText, "2008-08-08");
  EXPECT_EQ(a.dateDigits, "20080808");
}

TEST(AnalyseAccountFileName, FullNameReadsKindFromPosition11) {
  const AccountName a = AnalyseAccountFileName("QL_100001_ZJZQDY_20080808_3.ZIP");
  EXPECT_EQ(a.outcome, NameOutcome::Ok);
  EXPECT_EQ(a.mode, TransferMode::Full);
  EXPECT_EQ(a.kindField, "ZJZQDY");
  EXPECT_EQ(a.kindIndex, 1);
  EXPECT_EQ(a.sequence, 3);
}

TEST(AnalyseAccountFileName, FiveLetterKindLeavesModePending) {
  const AccountName a = AnalyseAccountFileName("100001_ZHBYZ_20080808_2.zip");
  EXPECT_EQ(a.outcome, NameOutcome::Ok);
  EXPECT_EQ(a.mode, TransferMode::Pending);
  EXPECT_EQ(a.kindField, "ZHBYZ_");
  EXPECT_EQ(a.kindIndex, 4);
  EXPECT_EQ(ModeText(a.mode), "模式待定");
}

TEST(AnalyseAccountFileName, MalformedNames) {
  for (const char* name : {
           "QL_100001_YYBXX_20080808_1.ZIP",   // 30 characters with the prefix
           "100001_KHJBXX_20080808_1234.ZIP",  // four digits: more than the sequence fields take
           "100001_KHJBXX_20080808_A.ZIP",     // sequence is no digit
           "100001_KHJBXX_20080808_1xZIP",     // a letter where the dot belongs
           "QL_100001_KHJBXX_20080808_1.ZIPX",
           "QL_",
           "",
       }) {
    const AccountName a = AnalyseAccountFileName(name);
    EXPECT_EQ(a.outcome, NameOutcome::BadName) << name;
    EXPECT_EQ(a.dateText, "") << name;
  }
}

TEST(AnalyseAccountFileName, SequenceNumbersOfOneToThreeDigitsReadAlike) {
  struct Case {
    const char* name;
    int kindIndex;
    TransferMode mode;
    int sequence;
  };
  const Case cases[] = {
      {"100001_KHJBXX_20080808_10.DBF", 0, TransferMode::Incremental, 10},
      {"100001_KHJBXX_20080808_999.ZIP", 0, TransferMode::Incremental, 999},
      {"QL_100001_ZJZQDY_20080808_20.ZIP", 1, TransferMode::Full, 20},
      {"100001_YYBXX_20080808_10.ZIP", 3, TransferMode::Pending, 10},  // as long as a one-digit six-letter name
      {"100001_ZHBYZ_20080808_007.ZIP", 4, TransferMode::Pending, 7},
  };
  for (const Case& c : cases) {
    const AccountName a = AnalyseAccountFileName(c.name);
    EXPECT_EQ(a.outcome, NameOutcome::Ok) << c.name;
    EXPECT_EQ(a.kindIndex, c.kindIndex) << c.name;
    EXPECT_EQ(a.mode, c.mode) << c.name;
    EXPECT_EQ(a.sequence, c.sequence) << c.name;
    EXPECT_EQ(a.dateDigits, "20080808") << c.name;
  }
  EXPECT_EQ(AnalyseAccountFileName("100001_KHJBXX_20081301_12.ZIP").outcome, NameOutcome::BadDate);
}

TEST(AnalyseAccountFileName, BadDate) {
  const AccountName a = AnalyseAccountFileName("100001_KHJBXX_20081301_1.ZIP");
  EXPECT_EQ(a.outcome, NameOutcome::BadDate);
  EXPECT_EQ(a.dateText, "2008-13-01");
}

TEST(AnalyseAccountFileName, KindCase) {
  const AccountName lower = AnalyseAccountFileName("100001_khjbxx_20080808_1.ZIP");
  EXPECT_EQ(lower.outcome, NameOutcome::Ok);
  EXPECT_EQ(lower.mode, TransferMode::Incremental);
  EXPECT_EQ(lower.kindClass, KindClass::LowerCase);
  EXPECT_EQ(lower.kindIndex, -1);
  EXPECT_EQ(AnalyseAccountFileName("100001_yybxx_20080808_1.ZIP").kindClass, KindClass::LowerCase);
  EXPECT_EQ(AnalyseAccountFileName("100001_Khjbxx_20080808_1.ZIP").kindClass, KindClass::None);
  EXPECT_EQ(AnalyseAccountFileName("100001_ABCDEF_20080808_1.ZIP").kindClass, KindClass::None);
}

TEST(OutcomeTexts, EachViewerHasItsWording) {
  EXPECT_EQ(OutcomeText(NameViewer::Submission, NameOutcome::BadName, ""), "错误：所选文件命名格式不符合接口规范！");
  EXPECT_EQ(OutcomeText(NameViewer::Comparison, NameOutcome::BadName, ""), "所选文件命名格式不符合接口规范！");
  EXPECT_EQ(OutcomeText(NameViewer::PreciseSelection, NameOutcome::BadName, ""), "错误:所选文件命名格式不符合接口规范！");
  EXPECT_EQ(OutcomeText(NameViewer::Submission, NameOutcome::BadDate, "2008-02-30"), "错误：[数据日期]非法:2008-02-30！");
  EXPECT_EQ(OutcomeText(NameViewer::Comparison, NameOutcome::BadDate, "2008-02-30"), "[数据日期]非法:2008-02-30");
  EXPECT_EQ(OutcomeText(NameViewer::PreciseSelection, NameOutcome::BadDate, "2008-02-30"),
            "错误:[数据日期]非法:2008-02-30！");
  for (NameViewer v : {NameViewer::Submission, NameViewer::Comparison, NameViewer::PreciseSelection})
    EXPECT_EQ(OutcomeText(v, NameOutcome::Ok, "2008-08-08"), "[数据日期]为:2008-08-08");
  EXPECT_EQ(ModeLine(NameOutcome::Ok, TransferMode::Full), "[传输模式]为:全量");
  EXPECT_EQ(ModeLine(NameOutcome::Ok, TransferMode::Incremental), "[传输模式]为:增量");
  EXPECT_EQ(ModeLine(NameOutcome::BadDate, TransferMode::Full), "[传输模式]为:命名不符合接口约定无法判断");
  EXPECT_EQ(ModeLine(NameOutcome::BadName, TransferMode::Pending), "[传输模式]为:命名不符合接口约定无法判断");
}

}  // namespace
}  // namespace fc::naming
