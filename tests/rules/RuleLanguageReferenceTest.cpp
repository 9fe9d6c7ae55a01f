// The rule language's reference in docs/ is the query engine's own table,
// current, and every example in it runs on tables of the interface
// agreement's layouts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "naming/InterfaceLayouts.h"
#include "query/Dialect.h"
#include "query/QueryFixture.h"

namespace fc::query::test {
namespace {

class Reference : public QueryFixture {};

TEST_F(Reference, IsCurrentAndItsExamplesRun) {
  const std::filesystem::path data = FC_SOURCE_DATA_DIR;
  std::ifstream in(data / ".." / "docs" / "rule-language.md", std::ios::binary);
  const std::string checkedIn((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(checkedIn, RuleLanguageReference())
      << "docs/rule-language.md is not current: filingcheck-cli rules reference > docs/rule-language.md";
  const naming::InterfaceLayouts layouts = naming::InterfaceLayouts::load(data / "rulesets/interface-1/layouts.csv");
  for (const naming::TableLayout& layout : layouts.all()) {
    std::vector<dbf::FieldSpec> fields;
    for (const naming::LayoutField& f : layout.fields)
      fields.push_back({f.name, f.type, static_cast<uint8_t>(f.length), static_cast<uint8_t>(f.decimals)});
    table(layout.kind + ".DBF", fields, {});
  }
  for (const DialectEntry& e : DialectEntries()) EXPECT_NO_THROW(run(e.example)) << e.example;
}

}  // namespace
}  // namespace fc::query::test
