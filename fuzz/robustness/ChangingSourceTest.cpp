// Source files that another program changes while a check runs (an export
// job still writing them, or run again): truncated at several moments of a
// DBF-type and a ZIP-type run, rewritten with the same size, replaced by a
// named pipe. Every run ends without a signal and with a clear message,
// leaves a readable store and empty working directories, and the next run
// on the restored files gives the results of an undisturbed one.
//
// The moments are status texts: the CLI waits at the first status text that
// holds FILINGCHECK_PAUSE_AT until the test, holding the named pipe
// FILINGCHECK_PAUSE_PIPE open meanwhile, has changed the files.
#include <sys/stat.h>

#include <fstream>
#include <functional>

#include "CheckFixture.h"
#include "support/SubmissionRows.h"
#include "support/TempDir.h"
#include "support/Zip.h"

namespace fc::robustness {
namespace {

namespace fs = std::filesystem;

constexpr int kRecords = 3000;  // tables of several hundred pages

// What happens to the source files at one moment of a run, and how the run
// must end.
struct Disturbance {
  std::string what;                           // for the failure messages
  std::string at;                             // a piece of the status text of the moment
  std::function<void()> change;               // done while the check waits there
  std::function<void(const CliRun&)> expect;  // judges the run
};

class ChangingSource : public CheckFixture {
 protected:
  // Writes the submission and runs it undisturbed once, for comparison.
  void submit(const std::vector<std::string>& args, const std::function<void()>& write) {
    args_ = args;
    write();
    for (const fs::directory_entry& e : fs::directory_iterator(src))
      originals_[e.path().filename().string()] = test::ReadFileBytes(e.path());
    CliRun run = runCheck(args_);
    // The undisturbed run goes to its end.
    ASSERT_EQ(run.err.find("检查未能完成"), std::string::npos) << run.err;
    expectedExit_ = run.exitCode;
    expected_ = results();
    ASSERT_FALSE(expected_.empty());
  }

  void expectHandled(const Disturbance& d) {
    SCOPED_TRACE(d.what);
    d.expect(runPausedAt(args_, d.at, d.change, "src"));
    expectConsistentStore();
    restore();
    CliRun next = runCheck(args_);
    EXPECT_EQ(next.exitCode, expectedExit_) << next.err;
    EXPECT_TRUE(results() == expected_) << "the run after the restored files differs from the first";
  }

  // The run fails and says that `file` changed while it was checked.
  std::function<void(const CliRun&)> failsNaming(const std::string& file) {
    return [this, file](const CliRun& run) {
      EXPECT_EQ(run.exitCode, 2) << run.err;
      std::string message = "检查未能完成：文件" + (src / file).string() + "在检查过程中被改动";
      EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
    };
  }
  // The run completes; `file`, as it stood when its check opened it, has the problem `errid`.
  std::function<void(const CliRun&)> refuses(const std::string& file, const std::string& errid) {
    return [this, file, errid](const CliRun& run) {
      EXPECT_EQ(run.exitCode, 1) << run.err;
      EXPECT_TRUE(results()[file].has(errid)) << run.err;
    };
  }

  void cutInHalf(const std::string& name) { fs::resize_file(src / name, fs::file_size(src / name) / 2); }

  // The same bytes but other dates in the second half, written over the
  // file in place: same size, new content.
  void rewriteSameSize(const std::string& name) {
    std::string bytes = originals_.at(name);
    for (size_t at = bytes.size() / 2; (at = bytes.find(kDate, at)) != std::string::npos;)
      bytes.replace(at, 8, "20080807");
    std::fstream file(src / name, std::ios::in | std::ios::out | std::ios::binary);
    file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  void replaceByPipe(const std::string& name) {
    const fs::path pipe = src / ".pipe";
    ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
    fs::rename(pipe, src / name);
  }

  std::vector<std::string> args_;

 private:
  void restore() {
    for (const fs::directory_entry& e : fs::directory_iterator(src)) fs::remove(e.path());
    for (const auto& [name, bytes] : originals_) std::ofstream(src / name, std::ios::binary) << bytes;
  }

  std::map<std::string, std::string> originals_;  // the submission's files by name
  int expectedExit_ = 0;
  std::map<std::string, FileResult> expected_;
};

TEST_F(ChangingSource, ADbfTypeRunSurvivesItsTablesChangingAtEveryMoment) {
  const std::string khjbxx = AccountName("KHJBXX", 1, "dbf"), yybxx = AccountName("YYBXX", 1, "dbf");
  submit(accountArgs("dbf", 1, "KHJBXX,YYBXX"), [&] {
    test::WriteRows(src / khjbxx, "KHJBXX", test::Make("KHJBXX", kRecords));
    test::WriteRows(src / yybxx, "YYBXX", test::Make("YYBXX", kRecords));
  });
  const std::vector<Disturbance> cases = {
      {"cut before its check opens it: a table that does not fit its header", khjbxx,
       [&] { cutInHalf(khjbxx); }, refuses(khjbxx, "8")},
      {"replaced by a named pipe before its check opens it", khjbxx, [&] { replaceByPipe(khjbxx); },
       refuses(khjbxx, "8")},
      {"cut after its own check, while the next file is checked", yybxx, [&] { cutInHalf(khjbxx); },
       failsNaming(khjbxx)},
      {"cut before the rules open it", "检查序号为 1的文件数据逻辑", [&] { cutInHalf(khjbxx); }, failsNaming(khjbxx)},
      {"cut while mapped, read by another table's rules", "的KHJBXX文件数据逻辑", [&] { cutInHalf(yybxx); },
       failsNaming(yybxx)},
      {"cut after its rules, while another table's run", "的YYBXX文件数据逻辑", [&] { cutInHalf(khjbxx); },
       failsNaming(khjbxx)},
      {"rewritten with the same size while mapped", "的KHJBXX文件数据逻辑", [&] { rewriteSameSize(khjbxx); },
       failsNaming(khjbxx)},
  };
  for (const Disturbance& d : cases) expectHandled(d);
}

TEST_F(ChangingSource, AZipTypeRunSurvivesItsArchivesChangingAtEveryMoment) {
  const std::string first = AccountName("KHJBXX", 1, "zip"), second = AccountName("KHJBXX", 2, "zip");
  submit(accountArgs("zip", 2), [&] {
    test::TempDir tables;
    for (int g = 1; g <= 2; ++g) {
      const std::string dbf = AccountName("KHJBXX", g, "dbf");
      test::WriteRows(tables / dbf, "KHJBXX", test::Make("KHJBXX", kRecords));
      test::ZipWriter(src / AccountName("KHJBXX", g, "zip")).addFile(dbf, tables / dbf).write();
    }
  });
  const std::vector<Disturbance> cases = {
      {"cut before it is unpacked: an archive that cannot be opened", first, [&] { cutInHalf(first); },
       refuses(first, "3")},
      {"replaced by a named pipe before it is unpacked", second, [&] { replaceByPipe(second); },
       refuses(second, "3")},
      {"cut after its check, while the next archive is checked", second, [&] { cutInHalf(first); },
       failsNaming(first)},
      {"cut while its table's rules run", "检查序号为 1的KHJBXX", [&] { cutInHalf(first); }, failsNaming(first)},
      {"rewritten with the same size before its group's rules", "检查序号为 2的文件数据逻辑",
       [&] { rewriteSameSize(second); }, failsNaming(second)},
  };
  for (const Disturbance& d : cases) expectHandled(d);
}

// Nothing but the table that passed may be packed: the run says which one
// changed and ends incomplete.
TEST_F(ChangingSource, ATableReplacedByANamedPipeAsItIsPackedIsNotPacked) {
  const std::string khjbxx = AccountName("KHJBXX", 1, "dbf");
  std::vector<std::string> args = accountArgs("dbf", 1);
  args.push_back("--pack");
  submit(args, [&] { test::WriteRows(src / khjbxx, "KHJBXX", test::Make("KHJBXX", 10)); });
  const fs::path archive = out / AccountName("KHJBXX", 1, "zip");
  ASSERT_TRUE(fs::exists(archive));
  fs::remove(archive);
  expectHandled({"replaced by a named pipe as it is packed", "正在压缩文件", [&] { replaceByPipe(khjbxx); },
                 [&](const CliRun& run) {
                   failsNaming(khjbxx)(run);
                   EXPECT_NE(run.err.find("下列文件未能生成zip压缩文件:\n" + (src / khjbxx).string()),
                             std::string::npos) << run.err;
                   EXPECT_FALSE(fs::exists(archive));
                 }});
}

}  // namespace
}  // namespace fc::robustness
