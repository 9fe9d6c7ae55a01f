#include "CheckFixture.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "TreeSnapshot.h"
#include "store/Store.h"
#include "support/StoreRows.h"
#include "support/SubmissionRows.h"
#include "support/TempDir.h"
#include "support/Zip.h"

namespace fc::robustness {

namespace fs = std::filesystem;

bool FileResult::has(const std::string& errid) const {
  for (const auto& p : problems)
    if (p.first == errid) return true;
  return false;
}

CheckFixture::CheckFixture()
    : home(dir_ / "home"), src(dir_ / "src"), out(dir_ / "out"), tmp(dir_ / "tmp") {
  for (const fs::path& d : {home, src, out, tmp}) fs::create_directories(d);
}

void CheckFixture::writeTwoArchives() {
  for (const fs::directory_entry& e : fs::directory_iterator(src)) fs::remove(e.path());
  test::TempDir tables;
  for (int g = 1; g <= 2; ++g) {
    const std::string dbf = AccountName("KHJBXX", g, "dbf");
    test::WriteRows(tables / dbf, "KHJBXX", test::Make("KHJBXX", 200));
    test::ZipWriter(src / AccountName("KHJBXX", g, "zip")).addFile(dbf, tables / dbf).write();
  }
}

std::vector<std::string> CheckFixture::accountArgs(const std::string& type, int groups, const std::string& kinds) {
  return {"account", "--home", home.string(), "--source", src.string(), "--code", kCode,
          "--date", "2008-08-08", "--from", "1", "--to", std::to_string(groups),
          "--kinds", kinds, "--type", type, "--output", out.string()};
}

std::string CheckFixture::AccountName(const std::string& kind, int group, const std::string& type) {
  return std::string(kCode) + "_" + kind + "_" + kDate + "_" + std::to_string(group) + (type == "zip" ? ".ZIP" : ".DBF");
}

bool CheckFixture::MayWrite(const std::string& path) {
  if (path == "home" || path == "home/.filingcheck.lock" || path.rfind("home/dravmel.mdb", 0) == 0 ||
      path.rfind("home/history.db", 0) == 0)
    return true;
  for (const char* dir : {"home/workdir", "home/dbfdir", "home/lchkdir", "out"})
    if (IsUnder(path, dir)) return true;
  return false;
}

CliRun CheckFixture::runCheck(const std::vector<std::string>& args, const CliLimits& limits,
                              const std::string& alsoChanged) {
  TreeSnapshot before(root());
  CliRun run = RunCli(args, tmp, limits);
  EXPECT_EQ(run.signal, 0) << "the check was ended by signal " << run.signal << "\n" << run.err;
  for (const std::string& path : TreeSnapshot(root()).changedSince(before))
    EXPECT_TRUE(MayWrite(path) || (!alsoChanged.empty() && IsUnder(path, alsoChanged))) << "the check wrote " << path;
  EXPECT_TRUE(fs::is_empty(tmp)) << "the check left files in its TMPDIR";
  for (const char* work : {"workdir", "dbfdir", "lchkdir"}) {
    std::error_code ec;
    bool empty = !fs::exists(home / work, ec) || fs::is_empty(home / work, ec);
    EXPECT_TRUE(empty) << work << " is not empty after the check";
  }
  return run;
}

CliRun CheckFixture::runPausedAt(const std::vector<std::string>& args, const std::string& at,
                                 const std::function<void()>& during, const std::string& alsoChanged) {
  test::TempDir pipes;  // outside root(): not the check's writing
  const fs::path pipe = pipes / "pause";
  EXPECT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::atomic<bool> abandoned = false, reached = false;
  std::thread helper([&] {
    int fd = open(pipe.c_str(), O_WRONLY | O_CLOEXEC);  // returns when the check waits
    if (!abandoned) {
      during();
      reached = true;
    }
    close(fd);  // the check goes on
  });
  CliLimits limits;
  limits.killAfter = std::chrono::minutes(3);  // a check that waits forever fails here, not at ctest's timeout
  limits.environment = {"FILINGCHECK_PAUSE_AT=" + at, "FILINGCHECK_PAUSE_PIPE=" + pipe.string()};
  CliRun run = runCheck(args, limits, alsoChanged);
  abandoned = true;
  int unblock = open(pipe.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);  // frees a helper still waiting
  helper.join();
  close(unblock);
  EXPECT_TRUE(reached) << "the check never showed a status text with " << at << "\n" << run.err;
  return run;
}

std::map<std::string, FileResult> CheckFixture::results() {
  std::map<std::string, FileResult> files;
  auto store = store::Store::open(home, FC_SOURCE_DATA_DIR);
  for (const store::ResultRow& row : store->readResults()) {
    FileResult& f = files[row.filename.value_or("")];
    f.isexist = std::stoi(row.isexist.value_or("0"));
    f.isok = std::stoi(row.isok.value_or("0"));
    if (row.errid) f.problems.emplace_back(*row.errid, row.errdesc.value_or(""));
  }
  return files;
}

void CheckFixture::expectConsistentStore() {
  std::unique_ptr<store::Store> store;
  ASSERT_NO_THROW(store = store::Store::open(home, FC_SOURCE_DATA_DIR));
  auto check = test::StoreRows(*store, "pragma integrity_check");
  ASSERT_EQ(check.size(), 1u);
  EXPECT_EQ(check[0][0].value_or(""), "ok");
  auto orphans = test::StoreRows(*store, "select count(*) from fileerr where fileid not in (select fileid from filelist)");
  EXPECT_EQ(orphans[0][0].value_or(""), "0") << "problems of unlisted files";
  auto ids = test::StoreRows(*store, "select count(*), coalesce(min(fileid), 1), coalesce(max(fileid), 0) from filelist");
  EXPECT_EQ(ids[0][1].value_or(""), "1");
  EXPECT_EQ(ids[0][0], ids[0][2]) << "file numbers with gaps";
  EXPECT_NO_THROW(store->readResults());
}

bool IsValidUtf8(const std::string& text) {
  size_t i = 0;
  while (i < text.size()) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (n == 0 || (n == 2 && c < 0xC2) || i + n > text.size()) return false;
    for (size_t k = 1; k < n; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += n;
  }
  return true;
}

}  // namespace fc::robustness
