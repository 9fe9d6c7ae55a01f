// Rule sets side by side: which one a check of a data date uses, a set that
// does not load refused whole, and the digest that tells two sets apart.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "rules/RuleBook.h"
#include "ruleset/RecordKeys.h"
#include "ruleset/RuleSets.h"
#include "support/RuleSetCopy.h"
#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using fc::ruleset::RuleSetError;
using fc::ruleset::RuleSets;

constexpr const char* kOldTail = "\ntail 条记录资金账户类别不为0-3,9";
constexpr const char* kNewTail = "\ntail 条记录资金账户类别不在0-3、9之内";

// The message text of R02, the first rule of KHJBXX.
std::string R02Tail(const fc::ruleset::RuleSet& set) {
  return set.rules.accountRulesOf(fc::naming::AccountKind::Khjbxx)->rules[0].tail;
}

template <typename Call>
std::string ErrorOf(Call&& call) {
  try {
    call();
  } catch (const RuleSetError& e) {
    return e.what();
  }
  return "";
}

class RuleSetsTest : public testing::Test {
 protected:
  RuleSetsTest() {
    fs::create_directories(data / "rulesets");
    fs::copy(fc::test::ShippedSet(), data / "rulesets" / "interface-1", fs::copy_options::recursive);
  }
  // A set of the home with a version and a date, and R02's text changed.
  fs::path ownSet(const std::string& folder, const std::string& version, const std::string& from) {
    const fs::path set = fc::test::CopyShippedSet(home / "rulesets" / folder, version, from);
    fc::test::ReplaceIn(set / "account.rules", kOldTail, kNewTail);
    return set;
  }

  fc::test::TempDir dir;
  fs::path data = dir / "data";
  fs::path home = dir / "home";
};

TEST_F(RuleSetsTest, ACheckUsesTheLatestSetNotAfterItsDataDateUnlessOneIsNamed) {
  ownSet("interface-2", "2", "2009-01-01");
  const RuleSets sets = RuleSets::find(data, home);
  ASSERT_EQ(sets.all().size(), 2u);
  EXPECT_EQ(sets.choose("20081231", "").id(), "interface@1");
  EXPECT_EQ(sets.choose("20090101", "").id(), "interface@2");
  EXPECT_EQ(sets.choose("20081231", "interface@2").id(), "interface@2");
  EXPECT_NE(ErrorOf([&] { sets.choose("20090101", "interface@9"); }).find("没有名为 interface@9 的规则集"), std::string::npos);

  // Loaded, each set judges with its own texts.
  const fc::settings::AppHome appHome{home, data};
  EXPECT_EQ(R02Tail(fc::ruleset::LoadRuleSetFor(appHome, "20081231", "")), "条记录资金账户类别不为0-3,9");
  const fc::ruleset::RuleSet second = fc::ruleset::LoadRuleSetFor(appHome, "20090101", "");
  EXPECT_EQ(R02Tail(second), "条记录资金账户类别不在0-3、9之内");
  EXPECT_EQ(second.manifest.from, "20090101");
  EXPECT_TRUE(second.manifest.own);

  // Without the home, only the shipped set is there.
  EXPECT_EQ(RuleSets::find(data, {}).choose("20090101", "").id(), "interface@1");
}

TEST_F(RuleSetsTest, SetsThatCannotBeToldApartRefuseTheChoice) {
  // The company's own set goes before a shipped one of the same date...
  fc::test::CopyShippedSet(data / "rulesets" / "interface-2", "2", "2009-01-01");
  ownSet("company-2", "2b", "2009-01-01");
  EXPECT_EQ(RuleSets::find(data, home).choose("20090105", "").id(), "interface@2b");
  // ...but two own sets of one date are ambiguous, and so are two sets of one NAME@VERSION.
  ownSet("company-3", "3", "2009-01-01");
  const std::string ambiguous = ErrorOf([&] { RuleSets::find(data, home).choose("20090105", ""); });
  EXPECT_NE(ambiguous.find("数据日期2009-01-05适用的规则集有两个"), std::string::npos) << ambiguous;
  EXPECT_EQ(RuleSets::find(data, home).choose("20081231", "").id(), "interface@1");  // an earlier date is not
  ownSet("copy-of-1", "1", "2010-01-01");
  EXPECT_NE(ErrorOf([&] { RuleSets::find(data, home); }).find("有两个规则集都叫 interface@1"), std::string::npos);
}

TEST_F(RuleSetsTest, ASetThatDoesNotLoadIsRefusedWholeNamingItsFileAndLine) {
  const fs::path set = ownSet("interface-2", "2", "2009-01-01");
  fc::test::ReplaceIn(set / "identity.rules", "sfcg not in ('1','2','3')", "sfcg not in ('1','2','3'");
  const fc::settings::AppHome appHome{home, data};
  std::string error = ErrorOf([&] { fc::ruleset::LoadRuleSetFor(appHome, "20090101", ""); });
  EXPECT_EQ(error.rfind("规则集 interface@2（", 0), 0u) << error;
  EXPECT_NE(error.find("identity.rules 第"), std::string::npos) << error;
  EXPECT_NE(error.find("行：查询无法解析"), std::string::npos) << error;
  fc::store::RunFacts run;
  run.dataDate = "20090101";
  run.ruleSet = {"interface", "2", ""};
  EXPECT_FALSE(fc::ruleset::RunRuleSet(appHome, run));  // no view uses it either
  run.ruleSet = {"interface", "1", fc::ruleset::RuleSetDigest(data / "rulesets" / "interface-1")};
  EXPECT_TRUE(fc::ruleset::RunRuleSet(appHome, run));
  run.ruleSet.sha256 = std::string(64, 'c');  // judged by files that have changed since
  EXPECT_FALSE(fc::ruleset::RunRuleSet(appHome, run));

  // A manifest's fault refuses every choice: which set applies cannot be told.
  fc::test::ReplaceIn(set / "manifest.txt", "from 2009-01-01", "from 2009-02-30");
  error = ErrorOf([&] { RuleSets::find(data, home); });
  EXPECT_NE(error.find("规则集说明文件 "), std::string::npos) << error;
  EXPECT_NE(error.find("manifest.txt 第"), std::string::npos) << error;
  EXPECT_NE(error.find("“from”应为 YYYY-MM-DD"), std::string::npos) << error;
  fs::remove(set / "manifest.txt");
  EXPECT_NE(ErrorOf([&] { RuleSets::find(data, home); }).find("中没有说明文件 manifest.txt"), std::string::npos);
}

TEST_F(RuleSetsTest, TheDigestCoversEveryFileAndRefusesALink) {
  const fs::path a = ownSet("a", "2", "2009-01-01");
  const fs::path b = ownSet("b", "2", "2009-01-01");
  const std::string digest = fc::ruleset::RuleSetDigest(a);
  EXPECT_EQ(digest.size(), 64u);
  EXPECT_EQ(fc::ruleset::RuleSetDigest(b), digest);  // where the folder is does not count
  fc::test::ReplaceIn(b / "layouts.csv", "资金账号", "资金帐号");
  EXPECT_NE(fc::ruleset::RuleSetDigest(b), digest);
  fs::create_directories(a / "cases");
  std::ofstream(a / "cases" / "new.cases") << "#\n";
  EXPECT_NE(fc::ruleset::RuleSetDigest(a), digest);

  std::error_code ec;
  fs::create_symlink(b / "layouts.csv", a / "cases" / "linked.csv", ec);
  if (ec) GTEST_SKIP() << "no symbolic links here";
  EXPECT_NE(ErrorOf([&] { fc::ruleset::RuleSetDigest(a); }).find("是符号链接，不予使用"), std::string::npos);
}

}  // namespace

namespace {

TEST_F(RuleSetsTest, RecordKeysJoinTheirFieldsAndAFaultNamesItsLine) {
  const fs::path set = ownSet("interface-2", "2", "2009-01-01");
  const fc::ruleset::RuleSet loaded = fc::ruleset::LoadRuleSetFor({home, data}, "20090101", "");
  fc::ruleset::RecordKeys keys = fc::ruleset::RecordKeys::load(set, loaded.layouts);
  EXPECT_EQ(keys.keyOf("KHJBXX", {"YYBDM", "ZJZH"}, {"000001", "100000000002"}), "100000000002");
  EXPECT_FALSE(keys.keyOf("KHJBXX", {"YYBDM"}, {"000001"}));  // its key field not kept
  EXPECT_FALSE(keys.keyOf("SFZHCQK", {"FCTZXH"}, {"1"}));     // a kind the set names no key of

  std::ofstream(set / "keys.csv", std::ios::app) << "ZJZQDY,GDDM\nSFZHCQK,ZJHM\n";
  keys = fc::ruleset::RecordKeys::load(set, loaded.layouts);
  EXPECT_EQ(keys.keyOf("ZJZQDY", {"ZJZH", "GDDM"}, {"100000000002", "A001"}), "100000000002/A001");
  // An identity number in a key is masked wherever the records are.
  EXPECT_EQ(keys.keyOf("SFZHCQK", {"ZJHM"}, {"110101199001011234"}, fc::privacy::Masking::Numbers),
            fc::privacy::MaskValue("110101199001011234", fc::privacy::Personal::IdentityNumber, fc::privacy::Masking::Numbers));
  EXPECT_EQ(keys.keyOf("SFZHCQK", {"ZJHM"}, {"110101199001011234"}), "110101199001011234");
  std::ofstream(set / "keys.csv", std::ios::app) << "ZJZQDY,NOSUCH\n";
  const std::string error = ErrorOf([&] { fc::ruleset::RecordKeys::load(set, loaded.layouts); });
  EXPECT_NE(error.find("keys.csv 第15行：表 ZJZQDY 没有字段 NOSUCH"), std::string::npos) << error;
}

}  // namespace
