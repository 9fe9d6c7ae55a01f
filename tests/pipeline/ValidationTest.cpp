#include "pipeline/Validation.h"

#include <gtest/gtest.h>

#include <utility>

#include "support/TempDir.h"

namespace fc::pipeline {
namespace {

struct Questions {
  bool known = true;        // the code is in the company list
  bool answerYes = false;   // the answer to the unknown-code question
  int asked = 0;
  CompanyQuestions hooks() {
    return {[this](const std::string& code) -> std::optional<std::string> {
              if (code != "100001") ADD_FAILURE() << "looked up untrimmed code '" << code << "'";
              if (known) return std::string("测试证券");
              return std::nullopt;
            },
            [this] {
              ++asked;
              return answerYes;
            }};
  }
};

RawRunInputs Account() {
  RawRunInputs raw;
  raw.submission = Submission::Account;
  raw.companyCode = " 100001 ";
  raw.beginNo = "1";
  raw.endNo = "3";
  raw.sourceDir = "/in";
  raw.checkType = CheckType::Zip;
  raw.sourceCaption = "ZIP文件目录";
  raw.targetCaption = "ZIP生成目录";
  raw.selectedKindCount = 5;
  return raw;
}

std::optional<InputProblem> Validate(const RawRunInputs& raw, Questions q = {}) {
  return ValidateRunInputs(raw, q.hooks());
}

TEST(SequenceNumbers, SignedDecimalsWithFractionDiscarded) {
  EXPECT_EQ(ParseSequenceNumber(" 12 "), 12);
  EXPECT_EQ(ParseSequenceNumber("+7"), 7);
  EXPECT_EQ(ParseSequenceNumber("-2"), -2);
  EXPECT_EQ(ParseSequenceNumber("3.9"), 3);
  EXPECT_EQ(ParseSequenceNumber(".5"), 0);
  EXPECT_EQ(ParseSequenceNumber("007"), 7);
  EXPECT_EQ(ParseSequenceNumber("32767"), 32767);
  for (const char* bad : {"", " ", "a1", "1a", "-", ".", "1.2.3", "1e3", "32768", "99999999999"})
    EXPECT_EQ(ParseSequenceNumber(bad), std::nullopt) << bad;
}

TEST(DateText, OnlyRealCalendarDays) {
  EXPECT_EQ(ParseDateText("2008-08-08"), "20080808");
  EXPECT_EQ(ParseDateText("2008-02-29"), "20080229");
  for (const char* bad : {"2008-02-30", "2007-02-29", "2008-13-01", "2008-00-10", "2008-8-8",
                          "20080808", "2008/08/08", "0999-01-01", "abcd-ef-gh", " 2008-08-08x"})
    EXPECT_EQ(ParseDateText(bad), std::nullopt) << bad;
}

TEST(DateText, TypedDatesWithOrWithoutDashesAreFinishedWhenWhole) {
  const std::pair<const char*, std::optional<std::string>> cases[] = {
      {"20080808", "20080808"}, {"2008-08-08", "20080808"}, {"2008-8-8", "20080808"},
      {"2008-8-18", "20080818"}, {"20080229", "20080229"},  {"2008", std::nullopt},
      {"2008-08", std::nullopt}, {"2008-08-", std::nullopt}, {"200808", std::nullopt},
      {"20070229", std::nullopt}, {"2008--8", std::nullopt}, {"2008-123-1", std::nullopt},
      {"08-08-08", std::nullopt}, {"2008-8-8-", std::nullopt}, {"", std::nullopt}};
  for (const auto& [typed, expected] : cases) EXPECT_EQ(FinishTypedDate(typed), expected) << typed;
}

TEST(OutputDir, CheckedBeforeTheRunWhenArchivesMayBeWrittenThere) {
  test::TempDir root;
  const std::string dir = root.path().string(), file = root.write("plain", "x").string();
  struct Case {
    CheckType type;
    bool packs;
    std::string target;
    std::optional<std::string> message;
  };
  const Case cases[] = {
      {CheckType::Dbf, true, " " + dir + " ", std::nullopt},
      {CheckType::Dbf, true, dir + "/missing", "ZIP生成目录" + dir + "/missing不存在"},
      {CheckType::Dbf, true, file, "ZIP生成目录" + file + "不是目录"},
      {CheckType::Dbf, false, dir + "/missing", std::nullopt},  // nothing will be packed
      {CheckType::Zip, true, dir + "/missing", std::nullopt},   // the ZIP type packs nothing
      {CheckType::Dbf, true, " ", std::nullopt},                // left to ValidateRunInputs
  };
  for (const Case& c : cases) {
    RawRunInputs raw = Account();
    raw.checkType = c.type;
    raw.packs = c.packs;
    raw.targetDir = c.target;
    std::optional<InputProblem> problem = CheckOutputDir(raw);
    EXPECT_EQ(problem ? std::optional(problem->message) : std::nullopt, c.message) << c.target;
    if (problem) {
      EXPECT_EQ(problem->focus, InputField::TargetDir);
    }
  }
}

// A run empties the home's scratch folders, so neither the operator's
// files nor the archives it writes may live in one; a folder inside one is
// another folder.
TEST(ScratchDirs, RefusedAsSourceOrPackingOutputInAnySpellingOrThroughALink) {
  test::TempDir dir;
  const settings::AppHome home{dir / "home", dir / "data"};
  for (const auto& scratch : home.scratchDirs()) std::filesystem::create_directories(scratch / "inner");
  std::filesystem::create_directory_symlink(home.lchkdir(), dir / "link");
  const std::string h = home.home.string();
  struct Case {
    CheckType type;
    std::string source, target;
    std::optional<std::string> message;
    InputField focus = InputField::SourceDir;
  };
  const Case cases[] = {
      {CheckType::Zip, h + "/workdir", "", "ZIP文件目录" + h + "/workdir与该软件工作目录冲突，请选择其它目录！"},
      {CheckType::Zip, " " + h + "/DBFDIR/ ", "", "ZIP文件目录" + h + "/DBFDIR/与该软件工作目录冲突，请选择其它目录！"},
      {CheckType::Zip, (dir / "link").string(), "", "ZIP文件目录" + (dir / "link").string() + "与该软件工作目录冲突，请选择其它目录！"},
      {CheckType::Zip, h + "/home/../histview", "", "ZIP文件目录" + h + "/home/../histview与该软件工作目录冲突，请选择其它目录！"},
      {CheckType::Dbf, "/in", h + "/workdir", "ZIP生成目录" + h + "/workdir与该软件工作目录冲突，请选择其它目录！",
       InputField::TargetDir},
      {CheckType::Zip, "/in", h + "/workdir", std::nullopt},  // the ZIP type writes nothing there
      {CheckType::Dbf, h + "/workdir/inner", h + "/lchkdir/inner", std::nullopt},
      {CheckType::Dbf, h, h, std::nullopt},
  };
  for (const Case& c : cases) {
    RawRunInputs raw = Account();
    raw.checkType = c.type;
    raw.sourceDir = c.source;
    raw.targetDir = c.target;
    const std::optional<InputProblem> problem = CheckScratchDirs(raw, home);
    EXPECT_EQ(problem ? std::optional(problem->message) : std::nullopt, c.message) << c.source << " " << c.target;
    if (problem) {
      EXPECT_EQ(problem->focus, c.focus) << c.source;
    }
  }
}

TEST(BlankGuard, OnlyInnerBlanksCount) {
  EXPECT_FALSE(SourceDirHasBlank("  /data/in  "));
  EXPECT_TRUE(SourceDirHasBlank("/data/my files"));
}

TEST(RunDirectoryText, TrimmedWithOneTrailingSlash) {
  EXPECT_EQ(RunDirectory(" /in "), "/in/");
  EXPECT_EQ(RunDirectory("/in/"), "/in/");
  EXPECT_EQ(RunDirectory(" "), "");  // no directory, not the root
  EXPECT_EQ(RunDirectory("/"), "/");
}

TEST(ValidateRunInputs, AcceptsGoodAccountInputs) { EXPECT_EQ(Validate(Account()), std::nullopt); }

TEST(ValidateRunInputs, CodeProblemFocusesCodeBeforeAnythingElse) {
  RawRunInputs raw = Account();
  raw.companyCode = "10001";
  raw.beginNo = "x";
  raw.sourceDir = "";
  auto problem = Validate(raw);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->message, "证券公司编码必须6位");
  EXPECT_EQ(problem->focus, InputField::CompanyCode);
}

// The window and the command line both make their run's inputs here: what
// they typed as the run reads it, the rest of what they chose kept.
TEST(MakeRunInputs, ReadsTheTypedFieldsAndKeepsTheRest) {
  RunInputs rest;
  rest.dataDate = "20080808";
  rest.selectedKinds = {true, false, true, true, true};
  rest.recordsLimit = 7;
  rest.beginNo = 99;  // replaced by the typed number
  RawRunInputs raw = Account();
  raw.beginNo = " 2.9";
  raw.targetDir = " /out ";
  const RunInputs in = MakeRunInputs(raw, rest);
  EXPECT_EQ(in.submission, Submission::Account);
  EXPECT_EQ(in.companyCode, "100001");
  EXPECT_EQ(in.sourceDir, "/in/");
  EXPECT_EQ(in.targetDir, "/out/");
  EXPECT_EQ(in.beginNo, 2);
  EXPECT_EQ(in.endNo, 3);
  EXPECT_EQ(in.dataDate, "20080808");
  EXPECT_EQ(in.selectedKinds, rest.selectedKinds);
  EXPECT_EQ(in.recordsLimit, 7u);

  raw.submission = Submission::Identity;
  rest.beginNo = 0;
  const RunInputs identity = MakeRunInputs(raw, rest);
  EXPECT_EQ(identity.submission, Submission::Identity);
  EXPECT_EQ(identity.beginNo, 0);  // an identity check has no sequence numbers
  EXPECT_EQ(identity.endNo, 0);
}

TEST(ValidateRunInputs, UnknownCodeAsksAndHonoursTheAnswer) {
  Questions no{false, false};
  auto problem = ValidateRunInputs(Account(), no.hooks());
  ASSERT_TRUE(problem);
  EXPECT_EQ(no.asked, 1);
  EXPECT_EQ(problem->message, "");
  EXPECT_EQ(problem->focus, InputField::CompanyCode);

  Questions yes{false, true};
  EXPECT_EQ(ValidateRunInputs(Account(), yes.hooks()), std::nullopt);
  EXPECT_EQ(yes.asked, 1);

  Questions known{true, false};
  EXPECT_EQ(ValidateRunInputs(Account(), known.hooks()), std::nullopt);
  EXPECT_EQ(known.asked, 0);
}

TEST(ValidateRunInputs, SequenceNumbers) {
  auto check = [](const char* begin, const char* end) {
    RawRunInputs raw = Account();
    raw.beginNo = begin;
    raw.endNo = end;
    return Validate(raw);
  };
  EXPECT_EQ(check("5", "5"), std::nullopt);
  EXPECT_EQ(check("1.2", "1.5"), std::nullopt);
  EXPECT_EQ(check("-0.5", "0"), std::nullopt);
  // Compared as typed, before the fraction is cut off.
  for (auto [begin, end] : {std::pair{"6", "5"}, {"1.5", "1.2"}, {"0", "-0.5"}, {"2", "1.99"}}) {
    auto problem = check(begin, end);
    ASSERT_TRUE(problem) << begin << " " << end;
    EXPECT_EQ(problem->message, "开始序号大于结束序号");
    EXPECT_EQ(problem->focus, InputField::BeginNo);
  }
  auto problem = check("a", "x");
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->message, "开始序号不正确");
  problem = check("1", "x");
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->message, "结束序号不正确");
  EXPECT_EQ(problem->focus, InputField::EndNo);
}

TEST(ValidateRunInputs, RangeThatWouldListTooManyFilesIsRefused) {
  RawRunInputs raw = Account();
  raw.beginNo = "0";
  raw.endNo = "6552";  // 6553 groups of 5 kinds = 32765 files
  EXPECT_EQ(Validate(raw), std::nullopt);
  raw.endNo = "6553";
  auto problem = Validate(raw);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->focus, InputField::EndNo);
  raw.selectedKindCount = 1;
  raw.beginNo = "-32768";
  raw.endNo = "32767";
  EXPECT_TRUE(Validate(raw));
}

TEST(ValidateRunInputs, IdentityIgnoresSequenceNumbers) {
  RawRunInputs raw = Account();
  raw.submission = Submission::Identity;
  raw.beginNo = "x";
  EXPECT_EQ(Validate(raw), std::nullopt);
}

TEST(ValidateRunInputs, DirectoriesUseTheCurrentCaptions) {
  RawRunInputs raw = Account();
  raw.sourceDir = "  ";
  auto problem = Validate(raw);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->message, "ZIP文件目录不能为空");
  EXPECT_EQ(problem->focus, InputField::SourceDir);

  raw = Account();
  raw.targetDir = "";
  EXPECT_EQ(Validate(raw), std::nullopt);  // ZIP type needs no output directory
  raw.checkType = CheckType::Dbf;
  raw.sourceCaption = "DBF文件目录";
  problem = Validate(raw);
  ASSERT_TRUE(problem);
  EXPECT_EQ(problem->message, "ZIP生成目录不能为空");
  EXPECT_EQ(problem->focus, InputField::TargetDir);
}

}  // namespace
}  // namespace fc::pipeline
