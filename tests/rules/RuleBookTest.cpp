// Loading the rule files: a fault in either file stops the load with the
// file and the line it is on.
#include "rules/RuleBook.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "support/TempDir.h"

namespace fc::rules {
namespace {

namespace fs = std::filesystem;

const fs::path kShipped = fs::path(FC_SOURCE_DATA_DIR) / "rulesets" / "interface-1";

std::string ReadText(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

struct Fault {
  const char* file;     // the rule file changed
  const char* line;     // a shipped line, replaced by `changed`
  const char* changed;
  const char* message;  // what the error says besides file and line
};

TEST(RuleBook, AFaultNamesItsFileAndLine) {
  const Fault faults[] = {
      {"account.rules", "rule R03 always count", "rule R03 sometimes count", "运行条件“sometimes”应为 always、branch、customer"},
      {"account.rules", "query SELECT count(*) from khjbxx where zjzhlb not in('0','1','2','3','9') and sjrq='{date}'",
       "query SELECT count(* from khjbxx", "查询无法解析：不支持的语法"},
      {"account.rules", "table ZJZQDY", "table ZJBDXX", "此处应为表 ZJZQDY，而不是 ZJBDXX"},
      {"account.rules", "tail 条记录余额不平", "tails 条记录余额不平", "“tails”不能用在这里"},
      {"identity.rules", "total \"select count(*) from sfzfcjg \"", "total select count(*) from sfzfcjg ",
       "“total”的内容两端有空格，应写在双引号内"},
      {"identity.rules", "rule R01 always company", "rule R01 always", "rule 应写作“rule 编号 运行条件 形式”"},
  };
  for (const Fault& fault : faults) {
    SCOPED_TRACE(fault.changed);
    test::TempDir dir;
    fs::copy(kShipped, dir.path(), fs::copy_options::recursive);
    std::string text = ReadText(kShipped / fault.file);
    const size_t at = text.find(std::string("\n") + fault.line + "\n");
    ASSERT_NE(at, std::string::npos);
    const auto line = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at) + 1, '\n') + 1;
    text.replace(at + 1, std::string(fault.line).size(), fault.changed);
    dir.write(fault.file, text);
    try {
      RuleBook::load(dir.path());
      ADD_FAILURE() << "loaded";
    } catch (const RuleFileError& e) {
      const std::string where = "规则文件 " + (dir / fault.file).string() + " 第" + std::to_string(line) + "行：";
      EXPECT_EQ(std::string(e.what()).substr(0, where.size()), where);
      EXPECT_NE(std::string(e.what()).find(fault.message), std::string::npos) << e.what();
    }
  }
}

// An ordinary editor's byte-order mark and CR LF line ends change nothing.
TEST(RuleBook, FilesSavedByAnEditorLoadAlike) {
  test::TempDir dir;
  for (const char* name : {"account.rules", "identity.rules"}) {
    std::string text = ReadText(kShipped / name), crlf = "\xEF\xBB\xBF";
    for (char c : text) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    dir.write(name, crlf);
  }
  const RuleBook edited = RuleBook::load(dir.path()), shipped = RuleBook::load(kShipped);
  for (std::size_t k = 0; k < naming::kAccountKinds.size(); ++k) {
    const naming::AccountKind kind = naming::AccountKindAt(k);
    ASSERT_EQ(edited.accountRulesOf(kind)->rules.size(), shipped.accountRulesOf(kind)->rules.size());
    EXPECT_STREQ(edited.accountRulesOf(kind)->rules.back().query, shipped.accountRulesOf(kind)->rules.back().query);
  }
  EXPECT_STREQ(edited.identity().label, shipped.identity().label);
}

// The check of one file reports every faulty query with its line.
TEST(RuleBook, ACheckReportsEveryFaultyQuery) {
  test::TempDir dir;
  std::string text = ReadText(kShipped / "account.rules");
  std::vector<std::string> expected;
  for (const char* keep : {"sjrq='{date}' group by zqgsdm,yybdm,zjzh,xhrq", "jrye<>zrye+xjcqje"}) {
    const size_t at = text.find(keep);
    ASSERT_NE(at, std::string::npos);
    text.insert(at, "(");
    const auto line = std::count(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at), '\n') + 1;
    expected.push_back("规则文件 " + (dir / "mine.rules").string() + " 第" + std::to_string(line) + "行：查询无法解析");
  }
  dir.write("mine.rules", text);
  const RuleFileCheck check = CheckRuleFile(dir / "mine.rules");
  ASSERT_EQ(check.faults.size(), 2u);
  for (size_t i = 0; i < 2; ++i) EXPECT_EQ(check.faults[i].substr(0, expected[i].size()), expected[i]);
  EXPECT_TRUE(CheckRuleFile(kShipped / "identity.rules").faults.empty());
  EXPECT_EQ(CheckRuleFile(kShipped / "account.rules").queries.front().rule, "total KHJBXX");
}

TEST(RuleBook, AMissingFileOrTableIsReported) {
  test::TempDir dir;
  EXPECT_THROW(RuleBook::load(dir.path()), RuleFileError);
  fs::copy(kShipped, dir.path(), fs::copy_options::recursive);
  std::string text = ReadText(kShipped / "account.rules");
  dir.write("account.rules", text.substr(0, text.find("table ZHBYZ")));
  try {
    RuleBook::load(dir.path());
    ADD_FAILURE() << "loaded";
  } catch (const RuleFileError& e) {
    EXPECT_NE(std::string(e.what()).find("缺少表 ZHBYZ"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace fc::rules
