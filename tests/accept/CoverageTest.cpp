// What acceptances cover of a run's findings, weighed on findings made up
// here, and the acceptances file that keeps them, a real one in a temporary home.
#include <gtest/gtest.h>

#include "accept/Acceptances.h"
#include "accept/Coverage.h"
#include "store/Sqlite.h"
#include "support/TempDir.h"

namespace fc::accept {
namespace {

Acceptance Keyed(int64_t id, std::vector<std::string> keys) {
  Acceptance a;
  a.id = id;
  a.companyCode = "100001";
  a.rule = "R06";
  a.keys = std::move(keys);
  a.reason = "分支代码过渡";
  a.by = "王敏";
  a.until = "20270131";
  a.ruleSha256 = "r06";
  return a;
}

Acceptance AllOf(int64_t id, int64_t atMost) {
  Acceptance a = Keyed(id, {});
  a.atMost = atMost;
  return a;
}

class Covering : public testing::Test {
 protected:
  RuleTerms terms{{{"R06", "r06"}}, {}};
  CoverContext context{naming::Submission::Account, "100001", "20261211", &terms};
  RunFinding r06{2, 1, "R06", 3, {"A1", "A2", "A3"}};
};

TEST_F(Covering, NamedRecordsCoverAFindingOnlyWhenEveryRecordWasKeptAndNamed) {
  Coverage c = Cover({Keyed(1, {"A1", "A2", "A3"})}, {r06}, context);
  EXPECT_TRUE(c.findings.at(0).covered);
  EXPECT_EQ(c.findings.at(0).acceptances.at(1), 3);

  c = Cover({Keyed(1, {"A1", "A3"})}, {r06}, context);
  EXPECT_FALSE(c.findings.at(0).covered);
  EXPECT_EQ(c.findings.at(0).why, "记录A2未被接受");
  RunFinding masked = r06;  // the verdict names a record as the history may show it
  masked.shown = {"A*", "A*", "A*"};
  EXPECT_EQ(Cover({Keyed(1, {"A1", "A3"})}, {masked}, context).findings.at(0).why, "记录A*未被接受");

  // Past the records limit the others cannot be matched, whatever the acceptance names.
  RunFinding capped = r06;
  capped.total = 5;
  c = Cover({Keyed(1, {"A1", "A2", "A3", "A4", "A5"})}, {capped}, context);
  EXPECT_FALSE(c.findings.at(0).covered);
  EXPECT_NE(c.findings.at(0).why.find("只保留了5条记录中的3条"), std::string::npos);
}

TEST_F(Covering, AnAcceptanceEndsWhenExpiredRuleChangedOrOutgrownAndThenCoversNothing) {
  Acceptance expired = AllOf(1, 10);
  expired.until = "20261210";
  Acceptance changed = AllOf(2, 10);
  changed.ruleSha256 = "older";
  const Coverage c = Cover({expired, changed, AllOf(3, 2)}, {r06}, context);
  EXPECT_FALSE(c.findings.at(0).covered);
  ASSERT_EQ(c.lapses.size(), 3u);
  EXPECT_EQ(c.lapses[0].reason, "接受1已于2026-12-10到期");
  EXPECT_EQ(c.lapses[1].reason, "接受2接受后规则R06已改变");
  EXPECT_EQ(c.lapses[2].reason, "接受3最多接受2条记录，本次有3条");
  EXPECT_NE(c.findings.at(0).why.find("到期"), std::string::npos);
}

TEST_F(Covering, OnlyRuleFindingsOfTheCompanyAreCoveredAndWhatCoversNothingIsTold) {
  Acceptance other = AllOf(2, 10);
  other.companyCode = "100002";
  const RunFinding structure{1, 1, "3", 0, {}};
  Acceptance structural = AllOf(3, 10);
  structural.rule = "3";
  const Coverage c = Cover({AllOf(1, 10), other, structural}, {structure, r06}, context);
  EXPECT_FALSE(c.findings.at(0).covered);
  EXPECT_TRUE(c.findings.at(1).covered);
  EXPECT_TRUE(c.lapses.size() == 1 && c.lapses[0].acceptance == 3);  // no rule of the set
  EXPECT_TRUE(c.unused.empty());
}

TEST(AcceptancesFile, KeepsEveryRowAsWrittenAndTheLogTellsTheState) {
  test::TempDir home;
  auto book = Acceptances::open(home.path());
  const int64_t id = book->add(Keyed(0, {"A1", "A2"}));
  EXPECT_FALSE(book->withdraw(id + 1, "李强", "没有这一条", "2026-12-11 10:00:00"));
  EXPECT_TRUE(book->withdraw(id, "李强", "账户已销户", "2026-12-11 10:00:00"));
  EXPECT_FALSE(book->withdraw(id, "李强", "再撤一次", "2026-12-11 10:01:00"));
  book->lapse(id, "接受1已于2026-12-10到期", "2026-12-11 10:02:00");  // ended already: not logged

  const std::vector<Acceptance> all = book->list();
  ASSERT_EQ(all.size(), 1u);
  EXPECT_EQ(all[0].keys, (std::vector<std::string>{"A1", "A2"}));
  EXPECT_EQ(all[0].state, State::Withdrawn);
  EXPECT_EQ(all[0].stateReason, "账户已销户");
  ASSERT_EQ(book->log().size(), 2u);
  EXPECT_EQ(book->log()[1].who, "李强");

  store::Connection db(AcceptancesFile(home.path()), store::Access::Write, "接受记录库");
  EXPECT_THROW(db.exec("update acceptance set until = '20991231'"), store::StoreError);
  EXPECT_THROW(db.exec("delete from acceptancelog"), store::StoreError);
}

}  // namespace
}  // namespace fc::accept
