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

const fs::path kShipped = fs::path(FC_SOURCE_DATA_DIR) / "rules";

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
