// filingcheck-cli rules: a rule file or the layouts checked as an analyst
// edits them, run against a submission, and the language's reference.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

#include "naming/InterfaceLayouts.h"
#include "query/Dialect.h"
#include "support/Program.h"
#include "support/TempDir.h"
#include "support/Zip.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = FC_SOURCE_DATA_DIR;

using Result = fc::test::ProgramRun;

class RulesCommand : public testing::Test {
 protected:
  fc::test::TempDir dir;

  Result cli(std::vector<std::string> args) {
    args.insert(args.begin(), FC_CLI_PATH);
    return fc::test::RunProgram(args);
  }
  // A copy of a shipped data file with `from` replaced by `to`.
  std::string changed(const fs::path& shipped, const std::string& from, const std::string& to) {
    std::string text = fc::test::ReadFileBytes(shipped);
    const size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    text.replace(at, from.size(), to);
    return dir.write(shipped.filename().string(), text).string();
  }
};

TEST_F(RulesCommand, SoundFilesPassAndFaultsNameTheirLines) {
  for (const fs::path& file : {kData / "rulesets/interface-1/account.rules", kData / "rulesets/interface-1/identity.rules", kData / "rulesets/interface-1/layouts.csv"})
    EXPECT_EQ(cli({"rules", "check", file.string()}).status, 0) << file;

  const std::string rules = changed(kData / "rulesets/interface-1/identity.rules", "sfcg not in ('1','2','3')", "sfcg not in ('1','2','3'");
  Result r = cli({"rules", "check", rules});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("规则文件 " + rules + " 第"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("行：查询无法解析"), std::string::npos) << r.out;

  // Without tables to run on, each query still meets the tables and fields the agreement lays out.
  for (const auto& [from, to, fault] : {std::tuple{"sfcg not in", "sfcx not in", "行：查询无法运行：字段不存在: sfcx"},
                                         std::tuple{"from sfzhcqk", "from sfzhcqx", "行：查询无法运行：表不存在: sfzhcqx"}}) {
    r = cli({"rules", "check", changed(kData / "rulesets/interface-1/identity.rules", from, to)});
    EXPECT_EQ(r.status, 2) << from;
    EXPECT_NE(r.out.find(fault), std::string::npos) << r.out;
  }

  const std::string layouts = changed(kData / "rulesets/interface-1/layouts.csv", "KHJBXX,3,ZJZH,C,20", "KHJBXX,3,ZJZH,X,20");
  r = cli({"rules", "check", layouts});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("接口规范文件 " + layouts + " 第"), std::string::npos) << r.out;

  EXPECT_EQ(cli({"rules", "check", rules, "--code", "100001"}).status, 2);  // --code only with --against
  EXPECT_EQ(cli({"rules", "frobnicate"}).status, 2);
}

TEST_F(RulesCommand, AgainstASubmissionEachRuleGetsItsCount) {
  ASSERT_EQ(cli({"sample", "--home", (dir / "home").string(), "--dir", (dir / "sample").string()}).status, 0);
  const auto layouts = fc::naming::InterfaceLayouts::load(kData / "rulesets/interface-1/layouts.csv");
  fs::create_directories(dir / "tables");
  for (const auto& entry : fs::directory_iterator(dir / "sample/account-dbf")) {
    const std::string name = entry.path().filename().string();
    const auto* layout = layouts.forFileName(name);
    if (layout && name.find("_1.") != std::string::npos)
      fs::copy_file(entry.path(), dir / "tables" / (layout->kind + ".DBF"));
  }
  const std::string rules = (kData / "rulesets/interface-1/account.rules").string();
  Result r = cli({"rules", "check", rules, "--against", (dir / "tables").string(), "--code", "100001", "--date",
                  "2008-08-08"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  EXPECT_NE(r.out.find("total KHJBXX\t"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\nR05\t"), std::string::npos) << r.out;

  fs::remove(dir / "tables/YYBXX.DBF");  // the branch rules cannot run
  r = cli({"rules", "check", rules, "--against", (dir / "tables").string(), "--code", "100001", "--date", "2008-08-08"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.out.find("行：查询无法运行：表不存在: yybxx"), std::string::npos) << r.out;
}

TEST_F(RulesCommand, ReferenceIsTheEnginesOwn) {
  const Result r = cli({"rules", "reference"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, fc::query::RuleLanguageReference());
}

}  // namespace
