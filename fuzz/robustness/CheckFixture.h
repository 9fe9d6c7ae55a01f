// robustness/CheckFixture.h - one application home, source directory,
// output directory and temporary directory side by side in a fresh
// directory, with the whole check run through filingcheck-cli and judged by
// what it left in the store and on disk.
//
//   class MyTest : public CheckFixture {};
//   TEST_F(MyTest, X) {
//     CliRun r = runCheck(accountArgs("dbf", 1, 3));
//     FileResult f = results().at("100001_KHJBXX_20080808_1.DBF");
//   }
//
// runCheck() snapshots the directory before and after the run and fails the
// test when the run wrote anywhere but the home's store, lock and working
// directories and the output directory, left anything in its TMPDIR or in
// the working directories, or was ended by a signal.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "CliProcess.h"
#include "support/TempDir.h"

namespace fc::robustness {

inline constexpr const char* kCode = "100001";
inline constexpr const char* kDate = "20080808";

struct FileResult {
  int isexist = 0;
  int isok = 0;
  std::vector<std::pair<std::string, std::string>> problems;  // errid, errdesc in result order

  bool has(const std::string& errid) const;
  bool operator==(const FileResult&) const = default;
};

class CheckFixture : public testing::Test {
 protected:
  CheckFixture();

  // An account check of KHJBXX over sequence numbers 1 to `groups` in
  // incremental mode: `type` "zip" or "dbf".
  std::vector<std::string> accountArgs(const std::string& type, int groups, const std::string& kinds = "KHJBXX");
  // The name the account check expects for kind `kind` of group `group`.
  static std::string AccountName(const std::string& kind, int group, const std::string& type);
  // src holds just two archives of KHJBXX (groups 1 and 2, 200 records each),
  // so that a check paused at the second holds the first's table.
  void writeTwoArchives();

  // `alsoChanged`: a directory below root() that the test itself changes
  // while the check runs.
  CliRun runCheck(const std::vector<std::string>& args, const CliLimits& limits = {},
                  const std::string& alsoChanged = {});
  // Runs the check; when its status first holds `at`, `during` runs while
  // the check waits there.
  CliRun runPausedAt(const std::vector<std::string>& args, const std::string& at, const std::function<void()>& during,
                     const std::string& alsoChanged = {});
  // filename -> the file's row and problems, from the latest run in the store.
  std::map<std::string, FileResult> results();
  // The store opens, passes SQLite's own check, and every problem belongs
  // to a listed file; files are numbered from 1 without gaps.
  void expectConsistentStore();
  // Relative paths below root() that the run may write.
  static bool MayWrite(const std::string& path);

  const std::filesystem::path& root() const { return dir_.path(); }

  test::TempDir dir_;
  std::filesystem::path home, src, out, tmp;
};

bool IsValidUtf8(const std::string& text);

// A check ran to its end, neither refused nor failed: it printed its verdict
// line. (Exit status 2 alone cannot say so: an incomplete verdict exits 2 too.)
inline bool RanToItsEnd(const CliRun& run) { return run.out.find("结论：") != std::string::npos; }

}  // namespace fc::robustness
