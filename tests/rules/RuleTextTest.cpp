// Text-level tests of the data rules: every query text an operation can run,
// for the date 20080808 and the company code 100001, in the order it runs,
// against the shipped rule files as they read; and the message forms.
#include <gtest/gtest.h>

#include <fstream>
#include <span>
#include <string>
#include <vector>

#include "query/Session.h"
#include "rules/RuleBook.h"
#include "rules/RuleFixture.h"
#include "rules/RuleTables.h"
#include "rules/RuleText.h"

namespace fc::rules {
namespace {

using test::AccountKindNumbered;
using test::ShippedRules;

// One query of a shipped rule file and the message tail its rule ends with.
struct FileRule {
  std::string code;   // "total KIND" for the table's record total
  std::string query;  // the query text with date and code spliced in
  std::string tail;   // the rule's tail item ("" where it has none)
};

// The value of the first "tail" item after line `from` (1-based) of the
// rule `lines`, up to the next rule or table.
std::string TailAfter(const std::vector<std::string>& lines, int from) {
  for (size_t i = static_cast<size_t>(from); i < lines.size(); ++i) {
    const std::string& line = lines[i];
    if (line.starts_with("rule ") || line.starts_with("table ")) break;
    if (!line.starts_with("tail ")) continue;
    const std::string value = line.substr(5);
    return value.size() > 1 && value.front() == '"' && value.back() == '"' ? value.substr(1, value.size() - 2) : value;
  }
  return "";
}

// The queries of the shipped set's `file` in file order, as CheckRuleFile lists them.
std::vector<FileRule> ShippedFile(const char* file) {
  const std::filesystem::path path = std::filesystem::path(FC_SOURCE_DATA_DIR) / "rulesets" / "interface-1" / file;
  std::ifstream in(path, std::ios::binary);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::vector<FileRule> rules;
  for (const RuleFileQuery& q : CheckRuleFile(path).queries)
    rules.push_back({q.rule, SpliceQuery(q.pattern, "20080808", "100001"), q.isTotal ? "" : TailAfter(lines, q.line)});
  return rules;
}

TEST(AccountQueryTexts, EveryKindRunsItsTotalAndRulesInFileOrder) {
  const std::vector<FileRule> file = ShippedFile("account.rules");
  size_t next = 0;
  for (int kind = 1; kind <= 5; ++kind) {
    SCOPED_TRACE("tableKind " + std::to_string(kind));
    const AccountTable* table = ShippedRules().accountRulesOf(AccountKindNumbered(kind));
    ASSERT_NE(table, nullptr);
    ASSERT_LT(next + table->rules.size(), file.size());
    EXPECT_TRUE(file[next].code.starts_with("total ")) << file[next].code;
    EXPECT_EQ(SpliceQuery(table->totalQuery, "20080808", "100001"), file[next++].query);
    for (const AccountRule& rule : table->rules) {
      const FileRule& want = file[next++];
      SCOPED_TRACE(want.code);
      EXPECT_EQ(rule.code, want.code);
      EXPECT_EQ(SpliceQuery(rule.query, "20080808", "100001"), want.query);
      EXPECT_EQ(rule.tail, want.tail);
    }
  }
  EXPECT_EQ(next, file.size());
}

TEST(AccountQueryTexts, KindsOutsideOneToFiveHaveNoRules) {
  EXPECT_EQ(ShippedRules().accountRulesOf(AccountKindNumbered(0)), nullptr);
  EXPECT_EQ(ShippedRules().accountRulesOf(AccountKindNumbered(6)), nullptr);
  EXPECT_EQ(ShippedRules().accountRulesOf(AccountKindNumbered(-1)), nullptr);
}

TEST(AccountQueryTexts, OnlyTheBranchAndCustomerRulesDependOnOtherTables) {
  std::string branch, customer;
  for (int kind = 1; kind <= 5; ++kind)
    for (const AccountRule& rule : ShippedRules().accountRulesOf(AccountKindNumbered(kind))->rules) {
      if (rule.runs == RunsWhen::BranchTable) branch += rule.code;
      if (rule.runs == RunsWhen::CustomerTable) customer += rule.code;
    }
  EXPECT_EQ(branch, "R04R07R13R33");
  EXPECT_EQ(customer, "R08R14R34");
}

TEST(IdentityQueryTexts, SubmissionRunsItsTotalAndRulesInFileOrder) {
  const std::vector<FileRule> file = ShippedFile("identity.rules");
  std::span<const IdentityRule> rules = ShippedRules().identity().rules;
  ASSERT_EQ(rules.size() + 1, file.size());
  EXPECT_EQ(file[0].code, "total SFZFCJG");
  EXPECT_EQ(ShippedRules().identity().totalQuery, file[0].query);
  for (size_t i = 0; i < rules.size(); ++i) {
    const FileRule& want = file[i + 1];
    SCOPED_TRACE(want.code);
    EXPECT_EQ(rules[i].code, want.code);
    EXPECT_EQ(SpliceQuery(rules[i].query, "20080808", "100001"), want.query);
    if (!rules[i].companyForm) {
      EXPECT_EQ(rules[i].tail, want.tail);
    }
    EXPECT_EQ(rules[i].runs == RunsWhen::ComparisonTable, i == 1);
    EXPECT_EQ(rules[i].companyForm, i == 0);
  }
}

TEST(SpliceQuery, FillsEverySlotAndKeepsTheRest) {
  EXPECT_EQ(SpliceQuery("a{date}b{code}c{date}", "20080808", "100001"),
            "a20080808b100001c20080808");
  EXPECT_EQ(SpliceQuery("{dat} {} {", "20080808", "100001"), "{dat} {} {");
  // A spliced value is never read as a slot itself.
  EXPECT_EQ(SpliceQuery("{code}", "x", "{date}"), "{date}");
}

TEST(SpliceQuery, RefusesQuotesThatWouldEndTheLiteral) {
  EXPECT_THROW(SpliceQuery("sjrq='{date}'", "2008'0808", "100001"), query::QueryError);
  EXPECT_THROW(SpliceQuery("zqgsdm<> '{code}'", "20080808", "1' or '1'='1"), query::QueryError);
}

TEST(MessageForms, CountsStandAfterOneBlank) {
  EXPECT_EQ(CountMessage("客户基本信息表数据日期为", "20080808", 10, 2, "记录键字重复"),
            "客户基本信息表数据日期为20080808的记录有 10条,其中 2记录键字重复");
}

TEST(MessageForms, DateFormQuotesTheDateTwice) {
  EXPECT_EQ(DateMessage("营业部信息表数据日期为", "20080808", 0, 4),
            "营业部信息表数据日期为20080808的记录有 0条,此外 4条记录数据日期不是20080808");
}

TEST(MessageForms, CompanyFormEndsWithTheCode) {
  EXPECT_EQ(CompanyMessage("资金变动信息表数据日期为", "20080808", 7, 3, "100001"),
            "资金变动信息表数据日期为20080808的记录有 7条,其中 3条记录证券公司代码不是100001");
}

}  // namespace
}  // namespace fc::rules
