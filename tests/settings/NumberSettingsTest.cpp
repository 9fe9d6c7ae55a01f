// The one-number settings: round trip, the default for a missing or damaged
// file, zero kept as "no limit" or "every core".
#include "settings/NumberSettings.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace fc::settings {
namespace {

TEST(RecordsLimit, RoundTripAndDefaults) {
  test::TempDir dir;
  const std::filesystem::path file = dir / "recordslimit.ini";
  EXPECT_EQ(ReadRecordsLimit(file), kDefaultRecordsLimit);  // missing
  std::string error;
  ASSERT_TRUE(WriteRecordsLimit(file, 0, error)) << error;
  EXPECT_EQ(ReadRecordsLimit(file), 0);  // no limit, not the default
  ASSERT_TRUE(WriteRecordsLimit(file, 250, error)) << error;
  EXPECT_EQ(ReadRecordsLimit(file), 250);
  const std::pair<const char*, int64_t> texts[] = {
      {" 40 \r\nignored\r\n", 40}, {"5000000000", 5000000000}, {"", kDefaultRecordsLimit},
      {"-1\r\n", kDefaultRecordsLimit}, {"12abc", kDefaultRecordsLimit}, {"abc", kDefaultRecordsLimit},
      {"99999999999999999999999", kDefaultRecordsLimit}};
  for (const auto& [text, limit] : texts) {
    dir.write("recordslimit.ini", text);
    EXPECT_EQ(ReadRecordsLimit(file), limit) << text;
  }
  EXPECT_FALSE(WriteRecordsLimit(dir / "no" / "recordslimit.ini", 1, error));
  EXPECT_NE(error.find("recordslimit.ini"), std::string::npos);
}

TEST(Threads, DefaultIsEveryCoreAndAnAbsurdCountIsRefused) {
  test::TempDir dir;
  const std::filesystem::path file = dir / "threads.ini";
  EXPECT_EQ(ReadThreads(file), kDefaultThreads);
  std::string error;
  ASSERT_TRUE(WriteThreads(file, 3, error)) << error;
  EXPECT_EQ(ReadThreads(file), 3);
  dir.write("threads.ini", "100000\r\n");
  EXPECT_EQ(ReadThreads(file), kDefaultThreads);
}

}  // namespace
}  // namespace fc::settings
