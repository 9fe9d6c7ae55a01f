#include "report/JsonReport.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "report/ReportCases.h"

namespace fc::report {
namespace {

using json = nlohmann::json;

json Parsed(const std::string& name) { return json::parse(JsonReport(test::ReportCase(name))); }

// What scripts read: null where a value is unknown (never 0 or ""), records
// only while the store keeps them, the comparison as `compare` prints it.
TEST(JsonReportTest, UnknownValuesAreNullAndRecordsAndComparisonOnlyWhereKept) {
  const json old = Parsed("no-files");
  EXPECT_TRUE(old["run"]["verdict"].is_null());
  EXPECT_EQ(old["run"]["verdictText"], "—");
  EXPECT_TRUE(old["comparison"].is_null());
  EXPECT_EQ(old["summary"], (json{{"expected", 0}, {"present", 0}, {"passed", 0}, {"findings", 0}}));

  const json zip = Parsed("account-zip");
  const json& missing = zip["run"]["files"][2];
  EXPECT_EQ(missing["isexist"], 0);
  EXPECT_TRUE(missing["size"].is_null());
  EXPECT_TRUE(missing["records"].is_null());
  EXPECT_EQ(missing["verdict"], "fail");
  EXPECT_EQ(zip["findings"][0]["records"]["fields"], (json{"ZJZH", "YYBDM"}));
  EXPECT_EQ(zip["findings"][0]["records"]["records"][1], (json{{"recno", 8}, {"values", {"000000000002", "999999"}}}));
  EXPECT_EQ(zip["run"]["skipped"][1]["state"], "notapplicable");
  EXPECT_EQ(zip["run"]["skipped"][1]["filename"], "100001_ZJZQDY_20080808_1.ZIP");

  const json dbf = Parsed("account-dbf");
  EXPECT_FALSE(dbf["recordsKept"]);
  EXPECT_FALSE(dbf["findings"][0].contains("records"));
  EXPECT_EQ(dbf["findings"][0]["valueCounts"][1], (json{{"field", "BZDM"}, {"value", "USD"}, {"count", 20}}));
  EXPECT_EQ(dbf["run"]["packs"][0]["archive"], "100001_ZJBDXX_20080808_2.ZIP");

  const ReportData compared = test::ReportCase("comparison");
  const json report = json::parse(JsonReport(compared));
  EXPECT_EQ(report["comparison"], json::parse(JsonComparison(*compared.comparison)));
  EXPECT_TRUE(report["comparison"]["worse"]);
  EXPECT_EQ(report["comparison"]["files"][1]["sha256After"], "");
}

}  // namespace
}  // namespace fc::report
