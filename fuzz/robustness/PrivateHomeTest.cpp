// The application home is private to its user whatever the umask: every
// directory a check makes there 0700 and every file 0600, while tables are
// unpacked in the middle of a run as well as after it. What the operator
// asks for in the output directory follows the umask. A home that others
// could read is narrowed once, with a line on stderr.
#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "CheckFixture.h"
#include "support/SubmissionRows.h"
#include "support/Umask.h"

namespace fc::robustness {
namespace {

namespace fs = std::filesystem;
using test::Mode;

constexpr const char* kNarrowed = "已改为只有本用户可以访问";

class PrivateHome : public CheckFixture {
 protected:
  // Expects the home private throughout; returns how many tables the working directories hold.
  int expectPrivate(const std::string& when) {
    SCOPED_TRACE(when);
    int tables = 0;
    EXPECT_EQ(Mode(home), 0700);
    for (const fs::directory_entry& e : fs::recursive_directory_iterator(home)) {
      const std::string path = fs::relative(e.path(), home).string();
      EXPECT_EQ(Mode(e.path()), e.is_directory() ? 0700 : 0600) << path;
      if (!e.is_directory() && path.find('/') != std::string::npos) ++tables;
    }
    return tables;
  }
};

TEST_F(PrivateHome, EverythingACheckKeepsInTheHomeIsPrivateWhateverTheUmask) {
  for (mode_t mask : {022, 000}) {
    SCOPED_TRACE("umask " + std::to_string(mask));
    test::UmaskScope scope(mask);
    fs::remove_all(home);
    writeTwoArchives();
    int unpacked = 0;
    CliRun run = runPausedAt(accountArgs("zip", 2), AccountName("KHJBXX", 2, "zip"),
                             [&] { unpacked = expectPrivate("while the second archive is checked"); });
    EXPECT_EQ(run.err.find("检查未能完成"), std::string::npos) << run.err;  // the run went to its end
    EXPECT_GT(unpacked, 0) << "no table was unpacked at the pause";
    expectPrivate("after the run");

    // Packed archives are the operator's output.
    for (const fs::directory_entry& e : fs::directory_iterator(src)) fs::remove(e.path());
    test::WriteRows(src / AccountName("KHJBXX", 1, "dbf"), "KHJBXX", test::Make("KHJBXX", 10));
    std::vector<std::string> args = accountArgs("dbf", 1);
    args.push_back("--pack");
    run = runCheck(args);
    EXPECT_EQ(run.err.find("检查未能完成"), std::string::npos) << run.err;  // the run went to its end
    EXPECT_EQ(Mode(out / AccountName("KHJBXX", 1, "zip")), static_cast<int>(0666 & ~mask));
    expectPrivate("after a packing run");
    fs::remove(out / AccountName("KHJBXX", 1, "zip"));
  }
}

TEST_F(PrivateHome, AHomeOthersCouldReadIsNarrowedOnceWithALine) {
  test::UmaskScope scope(022);
  fs::create_directories(home);
  const std::string dbf = AccountName("KHJBXX", 1, "dbf");
  test::WriteRows(src / dbf, "KHJBXX", test::Make("KHJBXX", 10));
  CliRun first = runCheck(accountArgs("dbf", 1));
  EXPECT_NE(first.err.find(kNarrowed), std::string::npos) << first.err;
  EXPECT_EQ(Mode(home), 0700);
  fs::permissions(home, fs::perms::group_read | fs::perms::group_exec, fs::perm_options::add);
  CliRun again = RunCli({"results", "--home", home.string()}, tmp);  // a home with a store: at any command
  EXPECT_NE(again.err.find(kNarrowed), std::string::npos) << again.err;
  CliRun once = RunCli({"results", "--home", home.string()}, tmp);
  EXPECT_EQ(once.err.find(kNarrowed), std::string::npos) << once.err;
  EXPECT_EQ(Mode(home), 0700);
}

}  // namespace
}  // namespace fc::robustness
