// The application home holds against what is planted in it and what a run
// leaves behind, through the real filingcheck-cli: no link in it is followed,
// forget forgets everything a run may leave and never while a check runs,
// reading commands make nothing, values cannot drive the terminal, numbers
// are read whole, and every failure is said in the operator's words.
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <map>

#include "CheckFixture.h"
#include "TreeSnapshot.h"
#include "history/History.h"
#include "store/Store.h"
#include "support/SubmissionRows.h"
#include "support/TempDir.h"
#include "support/Umask.h"
#include "support/Zip.h"

namespace fc::robustness {
namespace {

namespace fs = std::filesystem;
using test::Mode;

constexpr const char* kLinkRefused = "是一个符号链接";

// Every entry below `dir` with its bytes (files) and mode, links not followed.
std::map<std::string, std::pair<std::string, int>> StateOf(const fs::path& dir) {
  std::map<std::string, std::pair<std::string, int>> state;
  for (const fs::directory_entry& e : fs::recursive_directory_iterator(dir))
    state[fs::relative(e.path(), dir).string()] = {e.is_regular_file() ? test::ReadFileBytes(e.path()) : "", Mode(e.path())};
  return state;
}

// Text outputs hold no byte that a terminal acts on but the line ends and,
// where `tabs`, the column tabs: no other C0 control, DEL, C1 or
// bidirectional override.
void ExpectPrintable(const std::string& out, bool tabs, const std::string& what) {
  for (unsigned char c : out)
    if ((c < 0x20 && c != '\n' && !(tabs && c == '\t')) || c == 0x7F) ADD_FAILURE() << what << ": byte " << int{c} << "\n" << out;
  EXPECT_EQ(out.find("\xC2\x9B"), std::string::npos) << what;
  EXPECT_EQ(out.find("\xE2\x80\xAE"), std::string::npos) << what;
}

class HomeHolds : public CheckFixture {
 protected:
  HomeHolds() {
    test::WriteRows(src / AccountName("KHJBXX", 1, "dbf"), "KHJBXX", test::Make("KHJBXX", 10));
    fs::create_directories(decoys / "folder");
    WriteDecoy(decoys / "file", "the operator's own file\n");
    WriteDecoy(decoys / "folder" / "kept.txt", "kept\n");
    sqlite3* db = nullptr;
    sqlite3_open((decoys / "foreign.db").c_str(), &db);
    sqlite3_exec(db, "create table accounts (id text)", nullptr, nullptr, nullptr);
    sqlite3_close(db);
    fs::permissions(decoys / "foreign.db", fs::perms(0644));
    fs::permissions(decoys / "folder", fs::perms(0755));
  }

  static void WriteDecoy(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
    fs::permissions(file, fs::perms(0644));
  }

  CliRun cli(const std::vector<std::string>& args, const CliLimits& limits = {}) { return RunCli(args, tmp, limits); }


  int tablesInScratch() const {
    int n = 0;
    for (const char* dir : {"workdir", "dbfdir", "lchkdir", "histview"})
      if (fs::exists(home / dir))
        for (const fs::directory_entry& e : fs::recursive_directory_iterator(home / dir)) n += e.is_regular_file();
    return n;
  }

  fs::path decoys = root() / "decoys";
};

TEST_F(HomeHolds, LinksPlantedInTheHomeAreRefusedAndWhatTheyLeadToIsUntouched) {
  struct Case {
    const char* name;    // planted in the home
    const char* target;  // below decoys/
    bool refused;        // the check fails (exit 2) rather than going on
  };
  const Case cases[] = {
      {"history.db", "foreign.db", false},         {"history.db", "nowhere.db", false},
      {".filingcheck.lock", "file", true},         {".filingcheck.lock", "nowhere", true},
      {"dravmel.mdb", "foreign.db", true},         {"dravmel.mdb", "nowhere.mdb", true},
      {"dravmel.mdb-wal", "file", true},           {"history.db-shm", "file", false},
      {"lchkdir", "folder", false},                {"workdir", "folder", false},
      {"dbfdir", "folder", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " -> " + c.target);
    fs::remove_all(home);
    fs::create_directories(home);
    fs::create_symlink(decoys / c.target, home / c.name);
    const auto before = StateOf(decoys);
    CliRun run = runCheck(accountArgs("dbf", 1));
    EXPECT_EQ(StateOf(decoys), before) << "bytes or modes behind the link changed";
    if (c.refused) EXPECT_EQ(run.exitCode, 2) << run.err;
    else EXPECT_TRUE(RanToItsEnd(run)) << run.err;
    const bool scratch = std::string(c.name).find("dir") != std::string::npos;
    if (scratch) {
      EXPECT_TRUE(fs::is_directory(fs::symlink_status(home / c.name))) << "the link was not replaced by a folder";
      continue;
    }
    EXPECT_TRUE(fs::is_symlink(home / c.name));
    EXPECT_NE(run.err.find(std::string(c.name) + kLinkRefused), std::string::npos) << run.err;
  }
  // A link above the home is the operator's own choice of where it lies.
  fs::create_directories(root() / "elsewhere");
  fs::create_symlink(root() / "elsewhere", root() / "linked");
  std::vector<std::string> args = accountArgs("dbf", 1);
  args[2] = (root() / "linked" / "home").string();
  CliRun linked = cli(args);
  EXPECT_TRUE(RanToItsEnd(linked)) << linked.err;
  EXPECT_TRUE(fs::is_regular_file(root() / "elsewhere" / "home" / "history.db"));
}

TEST_F(HomeHolds, ForgetWaitsForNoCheckAndLeavesNoTableBehind) {
  writeTwoArchives();
  const std::vector<std::string> args = accountArgs("zip", 2);
  const std::string second = AccountName("KHJBXX", 2, "zip");
  CliRun forget;
  runPausedAt(args, second, [&] { forget = cli({"forget", "--home", home.string()}); });
  EXPECT_EQ(forget.exitCode, 2) << forget.err;
  EXPECT_NE(forget.err.find("一个检查正在使用"), std::string::npos) << forget.err;

  // A check killed while it waits at the second archive leaves the first
  // one's table; a desktop program killed while it showed a past run, that run.
  test::TempDir pipes;
  ASSERT_EQ(mkfifo((pipes / "never").c_str(), 0600), 0);
  CliLimits limits = CliLimits::KillAfter(std::chrono::seconds(3));
  limits.environment = {"FILINGCHECK_PAUSE_AT=" + second, "FILINGCHECK_PAUSE_PIPE=" + (pipes / "never").string()};
  EXPECT_EQ(cli(args, limits).signal, SIGKILL);
  ASSERT_GT(tablesInScratch(), 0);
  fs::create_directories(home / "histview");
  dir_.write("home/histview/dravmel.mdb", "a past run the desktop program showed when it was killed");
  forget = cli({"forget", "--home", home.string()});
  EXPECT_EQ(forget.exitCode, 0) << forget.err;
  EXPECT_EQ(tablesInScratch(), 0);
}

TEST_F(HomeHolds, ForgetFailsWhileAnotherProgramReadsTheStore) {
  ASSERT_TRUE(RanToItsEnd(runCheck(accountArgs("dbf", 1))));
  sqlite3* reader = nullptr;
  ASSERT_EQ(sqlite3_open((home / "dravmel.mdb").c_str(), &reader), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(reader, "begin; select count(*) from filelist", nullptr, nullptr, nullptr), SQLITE_OK);
  CliRun forget = cli({"forget", "--home", home.string()});
  EXPECT_EQ(forget.exitCode, 2) << forget.err;
  EXPECT_NE(forget.err.find("正被另一个程序读取"), std::string::npos) << forget.err;
  sqlite3_exec(reader, "commit", nullptr, nullptr, nullptr);
  sqlite3_close(reader);
  forget = cli({"forget", "--home", home.string()});
  EXPECT_EQ(forget.exitCode, 0) << forget.err;
}

TEST_F(HomeHolds, ValuesCannotDriveTheTerminal) {
  const std::string hostile = "a\x1b]0;title\x07\x1b[2J\nb\t\x7f\xC2\x9B\xE2\x80\xAE";
  {
    auto store = store::Store::open(home, FC_SOURCE_DATA_DIR);
    store->clearRun();
    store->beginFile();
    store->insertFinding(1, "R01", "desc " + hostile);
    store->addFindingRecords({1, 1, "R01", "KHJBXX", {"KHXM"}, {{1, {hostile}}}, 1, {{"KHXM", hostile, 1}}});
    store->insertFile({1, 1, "客户基本信息表", "F" + hostile + ".DBF", 1, 0, {}});
    auto history = history::History::open(home);
    for (const char* key : {"a", "b"}) {
      history::Run run;
      run.facts.runKey = key;
      run.facts.submission = naming::Submission::Account;
      run.facts.companyCode = "1\x1b[2J";
      run.facts.dataDate = kDate;
      run.facts.completed = true;
      if (*key == 'b') run.findings = {{1, 1, "F.DBF", "R01", "desc " + hostile, 1, {}}};
      history->append(run);
    }
  }
  const std::vector<std::vector<std::string>> commands = {
      {"results"}, {"results", "--format", "tsv"}, {"records"}, {"records", "--format", "tsv"},
      {"history"}, {"history", "--format", "tsv"}, {"compare"}};
  for (std::vector<std::string> args : commands) {
    const bool tsv = args.back() == "tsv";
    const std::string what = args[0] + (tsv ? " tsv" : "");
    args.insert(args.begin() + 1, {"--home", home.string()});
    CliRun run = cli(args);
    EXPECT_NE(run.exitCode, 2) << what << run.err;
    ExpectPrintable(run.out, tsv, what);
    EXPECT_NE(run.out.find("\\x1b"), std::string::npos) << what;
  }
}

TEST_F(HomeHolds, LooseNumbersAreRefusedAndReadingCommandsMakeNothing) {
  const std::string report = (out / "r.html").string();
  struct Refused {
    std::vector<std::string> args;
    std::string says;  // in the line on stderr
  };
  std::vector<Refused> refused = {
      {{"history", "--home", home.string(), "--keep", "1O0"}, "--keep"},
      {{"history", "--home", home.string(), "--limit", "1e9"}, "--limit"},
      {{"report", "--home", home.string(), "--run", "2abc", "--output", report}, "--run"},
      {{"compare", "--home", home.string(), "2abc"}, "2abc"},
      {accountArgs("dbf", 1), "--records-limit"},
  };
  refused.back().args.insert(refused.back().args.end(), {"--records-limit", "5x"});
  // Reading commands on a home without their files, and without a home at all.
  for (const fs::path& h : {home, root() / "missing"})
    for (const char* command : {"results", "records", "history", "compare", "report"}) {
      std::vector<std::string> args = {command, "--home", h.string()};
      if (args[0] == "report") args.insert(args.end(), {"--output", report});
      refused.push_back({args, "中还没有检查"});
    }
  for (const Refused& r : refused) {
    SCOPED_TRACE(r.args[0] + " " + r.args[2] + " " + r.says);
    TreeSnapshot before(root());
    CliRun run = cli(r.args);
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_NE(run.err.find(r.says), std::string::npos) << run.err;
    EXPECT_TRUE(TreeSnapshot(root()).changedSince(before).empty()) << run.err;
  }
  // A folder in the store's place is named as such, not taken for no results.
  fs::create_directories(home / "dravmel.mdb");
  CliRun results = cli({"results", "--home", home.string()});
  EXPECT_EQ(results.exitCode, 2);
  EXPECT_NE(results.err.find("不是普通文件"), std::string::npos) << results.err;
}

TEST_F(HomeHolds, MissingParentsOfTheHomeArePrivateUnderUmaskZero) {
  test::UmaskScope scope(000);
  const fs::path deep = root() / "deep" / "er" / "home";
  std::vector<std::string> args = accountArgs("dbf", 1);
  args[2] = deep.string();
  EXPECT_TRUE(RanToItsEnd(cli(args)));
  for (const fs::path& dir : {root() / "deep", root() / "deep" / "er", deep}) EXPECT_EQ(Mode(dir), 0700) << dir;
}

TEST_F(HomeHolds, StoreAndHistoryFailuresAreSaidInChineseAndAnEmptiedHistoryIsNotReplaced) {
  ASSERT_TRUE(RanToItsEnd(runCheck(accountArgs("dbf", 1))));
  // Another program writing the store.
  sqlite3* writer = nullptr;
  ASSERT_EQ(sqlite3_open((home / "dravmel.mdb").c_str(), &writer), SQLITE_OK);
  ASSERT_EQ(sqlite3_exec(writer, "begin immediate", nullptr, nullptr, nullptr), SQLITE_OK);
  CliRun locked = runCheck(accountArgs("dbf", 1));
  sqlite3_exec(writer, "rollback", nullptr, nullptr, nullptr);
  sqlite3_close(writer);
  EXPECT_EQ(locked.exitCode, 2);
  EXPECT_NE(locked.err.find("正被另一个程序使用"), std::string::npos) << locked.err;
  EXPECT_EQ(locked.err.find("locked"), std::string::npos) << locked.err;

  // An emptied history is announced, and left as it is.
  fs::resize_file(home / "history.db", 0);
  fs::remove(home / "history.db-wal");
  CliRun run = runCheck(accountArgs("dbf", 1));
  EXPECT_TRUE(RanToItsEnd(run)) << run.err;
  EXPECT_NE(run.err.find("是空文件"), std::string::npos) << run.err;
  EXPECT_EQ(fs::file_size(home / "history.db"), 0u);
  CliRun history = cli({"history", "--home", home.string()});
  EXPECT_EQ(history.exitCode, 2);
  EXPECT_NE(history.err.find("是空文件"), std::string::npos) << history.err;

  // Another program's database in the history's place is not taken over.
  fs::copy_file(decoys / "foreign.db", home / "history.db", fs::copy_options::overwrite_existing);
  const std::string foreign = test::ReadFileBytes(home / "history.db");
  run = runCheck(accountArgs("dbf", 1));
  EXPECT_NE(run.err.find("不是本程序的运行历史"), std::string::npos) << run.err;
  EXPECT_EQ(test::ReadFileBytes(home / "history.db"), foreign);
}

TEST_F(HomeHolds, AnUnreadableSourceFolderIsItsOwnError) {
  fs::create_symlink(root() / "loop", root() / "loop");
  for (const fs::path& source : {root() / "missing", root() / "loop", root() / std::string(300, 'x')}) {
    std::vector<std::string> args = accountArgs("dbf", 1);
    args[4] = source.string();
    CliRun run = cli(args);
    EXPECT_EQ(run.exitCode, 2) << source;
    EXPECT_NE(run.err.find("无法读取目录"), std::string::npos) << run.err;
  }
}

}  // namespace
}  // namespace fc::robustness
