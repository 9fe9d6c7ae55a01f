// rules/RuleFixture.h - small submissions for the rule tests: tables of the
// interface layouts written with fc::dbf::Writer into a session directory, a
// real query session over it and a real store in a temporary home.
//
//   TEST_F(RuleFixture, Example) {
//     Write("YYBXX", Join({Make("YYBXX", 3), Make("YYBXX", 1, {{"SJRQ", "20080807"}})}));
//     Run([&](RuleContext& ctx) { CheckAccountDataLogic(ctx, 4, 0, 0, 9); });
//     EXPECT_EQ(Findings(), (std::vector<Finding>{{9, "R24", "..."}}));
//   }
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "query/Session.h"
#include "rules/Rules.h"
#include "store/Store.h"
#include "support/TempDir.h"

namespace fc::rules::test {

inline constexpr const char* kDate = "20080808";     // data date of every test run
inline constexpr const char* kOtherDate = "20080807";
inline constexpr const char* kCode = "100001";       // company code of every test run
inline constexpr const char* kOtherCode = "100002";

// Field name (upper case) -> value; std::nullopt is NULL in a nullable field.
// Fields a row leaves out take a valid default of the table kind.
using Row = std::map<std::string, std::optional<std::string>>;
using Rows = std::vector<Row>;

// `n` copies of `fields`, each with a fresh value in the kind's numbered
// field (ZJZH, or YYBDM for YYBXX, or FCTZXH for the identity tables), so
// that the rows have distinct keys and unique notice numbers.
Rows Make(const std::string& kind, int n, const Row& fields = {});
Rows Join(std::initializer_list<Rows> parts);
// Rows of another table for the same accounts (ZQGSDM, YYBDM, ZJZH) as `rows`.
Rows AccountsOf(const Rows& rows, const Row& fields = {});

struct TableOptions {
  std::vector<std::string> nullable = {};  // fields written as nullable (Visual FoxPro table)
  std::string omit = {};                  // a layout field left out of the table
};

struct Finding {
  int fileid;
  std::string errid;
  std::string errdesc;
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
