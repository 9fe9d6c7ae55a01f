#include "text/VisibleText.h"

#include <gtest/gtest.h>

namespace fc::text {
namespace {

TEST(VisibleTextTest, ControlsAndDirectionMarksBecomeEscapesAndNothingElseChanges) {
  EXPECT_EQ(VisibleText("a\x1b]0;title\x07\tb\r\n\x7f"), "a\\x1b]0;title\\x07\\x09b\\x0d\\x0a\\x7f");
  EXPECT_EQ(VisibleText("\u202e\u202a\u2066\u2069\xc2\x9b"), "\\u202e\\u202a\\u2066\\u2069\\u009b");
  // Text, the marks that do not reorder, and stray bytes pass as they are.
  const std::string kept = "客户\u200b\u200fA\xff\xe2\x80";
  EXPECT_EQ(VisibleText(kept), kept);
}

}  // namespace
}  // namespace fc::text
