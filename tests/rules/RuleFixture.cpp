#include "rules/RuleFixture.h"
#include "support/StoreRows.h"

namespace fc::rules::test {

std::ostream& operator<<(std::ostream& out, const Finding& f) {
  return out << "{" << f.fileid << ", " << f.errid << ", " << f.errdesc << "}";
}

const RuleBook& ShippedRules() {
  static const RuleBook book = RuleBook::load(std::filesystem::path(FC_SOURCE_DATA_DIR) / "rulesets" / "interface-1");
  return book;
}

void RuleFixture::SetUp() { store_ = store::Store::open(home_.path(), FC_SOURCE_DATA_DIR); }

void RuleFixture::Write(const std::string& kind, const Rows& rows, const TableOptions& options) {
  WriteRows(lchkdir_ / (kind + ".DBF"), kind, rows, options);
}

void RuleFixture::Run(const std::function<void(RuleContext&)>& call) {
  query::Session session;
  std::string error;
  ASSERT_TRUE(session.open(lchkdir_.path(), error)) << error;
  RuleContext ctx{session, store_.get(), ShippedRules(), kCode, kDate};
  call(ctx);  // a throwing call leaves the session to its destructor
  session.close();
}

std::vector<Finding> RuleFixture::Findings() {
  std::vector<Finding> findings;
  for (const auto& row : fc::test::StoreRows(*store_, "select fileid, errid, errdesc from fileerr order by rowid"))
    findings.push_back({std::stoi(row.at(0).value()), row.at(1).value(), row.at(2).value()});
  return findings;
}

}  // namespace fc::rules::test
