#include "settings/AppHome.h"

#include <gtest/gtest.h>

#include "support/TempDir.h"

namespace fc::settings {
namespace {

namespace fs = std::filesystem;

// A build tree keeps the data beside the programs; an installation under any
// root keeps it in <root>/share/filingcheck beside <root>/bin.
TEST(AppHome, DataBesideTheProgramElseInTheInstalledShareDirectory) {
  test::TempDir dir;
  const fs::path bin = dir / "usr" / "bin";
  fs::create_directories(bin);
  EXPECT_EQ(InstalledDataDir(bin), dir / "usr" / "share" / "filingcheck");
  EXPECT_EQ(InstalledDataDir(bin / ""), dir / "usr" / "share" / "filingcheck");
  EXPECT_EQ(LocateDataDir(bin), fs::path(FC_SOURCE_DATA_DIR));  // neither: the source tree's

  fs::create_directories(InstalledDataDir(bin));
  EXPECT_EQ(LocateDataDir(bin), InstalledDataDir(bin));

  fs::create_directories(bin / "data");
  EXPECT_EQ(LocateDataDir(bin), bin / "data");
}

}  // namespace
}  // namespace fc::settings
