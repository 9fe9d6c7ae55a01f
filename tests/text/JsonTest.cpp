// The one JSON writer: the bytes the command line, the reports and the store
// write for a text, an object and an indented list.
#include "text/Json.h"

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

namespace fc::text {
namespace {

TEST(Json, KeepsUtf8AndEscapesOnlyWhatJsonNeeds) {
  EXPECT_EQ(JsonText("营业部 \"A\\B\""), "\"营业部 \\\"A\\\\B\\\"\"");
  EXPECT_EQ(JsonText("\t\n\x01\x7f"), "\"\\t\\n\\u0001\x7f\"");
  EXPECT_EQ(JsonText("a\xFF" "b"), "\"a\xEF\xBF\xBD" "b\"");  // a stray byte is U+FFFD, not a failure
}

TEST(Json, KeysKeepTheirOrderCompactOrIndented) {
  Json counts = Json::array();
  counts.push_back({{"value", "1"}, {"field", "ZJZH"}, {"count", 2}});
  EXPECT_EQ(JsonText(counts), R"([{"value":"1","field":"ZJZH","count":2}])");
  EXPECT_EQ(JsonText(counts, 2), "[\n  {\n    \"value\": \"1\",\n    \"field\": \"ZJZH\",\n    \"count\": 2\n  }\n]");
}

}  // namespace
}  // namespace fc::text
