// rules/RuleFixture.h - the rule tests' setting: submission tables written
// into a session directory, a real query session over it and a real store in
// a temporary home.
//
//   TEST_F(RuleFixture, Example) {
//     Write("YYBXX", Join({Make("YYBXX", 3), Make("YYBXX", 1, {{"SJRQ", "20080807"}})}));
//     Run([&](RuleContext& ctx) { CheckAccountDataLogic(ctx, AccountKind::Yybxx, 0, 0, 9); });
//     EXPECT_EQ(Findings(), (std::vector<Finding>{{9, "R24", "..."}}));
//   }
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "query/Session.h"
#include "rules/RuleBook.h"
#include "rules/Rules.h"
#include "store/Store.h"
#include "support/SubmissionRows.h"
#include "support/TempDir.h"

namespace fc::rules::test {

using fc::test::AccountsOf;
using fc::test::Join;
using fc::test::kCode;
using fc::test::kDate;
using fc::test::kOtherCode;
using fc::test::kOtherDate;
using fc::test::Make;
using fc::test::Row;
using fc::test::Rows;
using fc::test::TableOptions;
using naming::AccountKind;
using naming::IdentityKind;

// The kind the tables number `n` from 1 (KHJBXX 1 ... ZHBYZ 5, SFZFCJG 1,
// SFZHCQK 2); a number outside names no kind, which the rules must refuse.
inline AccountKind AccountKindNumbered(int n) { return naming::AccountKindAt(static_cast<std::size_t>(n - 1)); }
inline IdentityKind IdentityKindNumbered(int n) { return naming::IdentityKindAt(static_cast<std::size_t>(n - 1)); }

// The rules as the source tree ships them, loaded once.
const RuleBook& ShippedRules();

struct Finding {
  int fileid;           // the file the finding belongs to
  std::string errid;    // rule code
  std::string errdesc;  // message
  bool operator==(const Finding&) const = default;
};
std::ostream& operator<<(std::ostream& out, const Finding& f);

class RuleFixture : public ::testing::Test {
 protected:
  void SetUp() override;

  // Writes `kind`.DBF into the session directory.
  void Write(const std::string& kind, const Rows& rows, const TableOptions& options = {});
  // Opens the session on the directory as written so far and runs `call`
  // with the test's context.
  void Run(const std::function<void(RuleContext&)>& call);
  // Every fileerr row, in the order written.
  std::vector<Finding> Findings();

  fc::test::TempDir home_;
  fc::test::TempDir lchkdir_;
  std::unique_ptr<store::Store> store_;
};

}  // namespace fc::rules::test
