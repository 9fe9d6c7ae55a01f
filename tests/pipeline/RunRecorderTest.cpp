#include "pipeline/RunRecorder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <fstream>

#include "PipelineHome.h"
#include "history/Comparison.h"
#include "history/History.h"
#include "history/StoreFindings.h"
#include "pipeline/RunDriver.h"
#include "platform/LocalTime.h"
#include "support/Sha256Sum.h"
#include "support/StoreRows.h"

namespace fc::pipeline {
namespace {

namespace fs = std::filesystem;

class RunRecorderTest : public testing::Test {
 protected:
  test::PipelineHome h;
  test::RecordingObserver observer;
  fs::path sample = h.root / "sample";

  void SetUp() override { WriteSample(h.layouts, sample); }

  RunInputs account(const std::string& dir, CheckType type) {
    RunInputs in;
    in.submission = Submission::Account;
    in.beginNo = kSampleFirstGroup;
    in.endNo = kSampleLastGroup;
    in.companyCode = kSampleCompany;
    in.dataDate = kSampleDate;
    in.sourceDir = (sample / dir).string() + "/";
    in.targetDir = h.output.string() + "/";
    in.checkType = type;
    in.selectedKinds = std::vector<bool>(5, true);
    return in;
  }
  RunOutcome run(const RunInputs& in) { return RunDriver(h.home, in).run(observer); }
};

TEST_F(RunRecorderTest, FactsHoldEveryListedFileAsFoundAndTheRunGoesIntoTheHistory) {
  const RunInputs in = account("account-zip", CheckType::Zip);
  constexpr std::time_t kWritten = 1700000000;  // the files' modification time, read back in local time
  for (const fs::directory_entry& e : fs::directory_iterator(sample / "account-zip"))
    fs::last_write_time(e.path(), std::chrono::file_clock::from_sys(std::chrono::sys_seconds{std::chrono::seconds{kWritten}}));
  char written[32];
  const std::tm local = platform::LocalTime(kWritten);
  std::strftime(written, sizeof written, "%Y-%m-%d %H:%M:%S", &local);
  ASSERT_TRUE(run(in).completed);
  std::optional<store::RunFacts> facts = store::ReadLatestRunFacts(h.home.storeFile());
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->submission, Submission::Account);
  EXPECT_EQ(facts->companyCode, kSampleCompany);
  EXPECT_FALSE(facts->companyName.empty());
  EXPECT_EQ(facts->kinds, (std::vector<std::string>{"KHJBXX", "ZJZQDY", "ZJBDXX", "YYBXX", "ZHBYZ"}));
  EXPECT_EQ(facts->fileType, "ZIP");
  EXPECT_TRUE(facts->completed);
  EXPECT_FALSE(facts->started.empty());
  EXPECT_EQ(facts->version, FC_VERSION);
  ASSERT_EQ(facts->files.size(), 10u);
  const auto filelist = test::StoreRows(*h.openStore(), "select fileid, filename, isexist, isok from filelist order by fileid");
  for (size_t i = 0; i < facts->files.size(); ++i) {
    const store::FileFacts& f = facts->files[i];
    EXPECT_EQ(std::to_string(f.fileid), *filelist[i][0]);
    EXPECT_EQ(f.filename, *filelist[i][1]);
    EXPECT_EQ(std::to_string(f.isexist), *filelist[i][2]);
    EXPECT_EQ(std::to_string(f.isok), *filelist[i][3]);
    const fs::path file = sample / "account-zip" / f.filename;
    if (!f.isexist) {
      EXPECT_TRUE(f.sha256.empty() && !f.size) << f.filename;
      continue;
    }
    EXPECT_EQ(f.sha256, test::Sha256Sum(file)) << f.filename;
    EXPECT_EQ(f.size, static_cast<int64_t>(fs::file_size(file))) << f.filename;
    EXPECT_EQ(f.mtime, written) << f.filename;
    EXPECT_EQ(f.records.has_value(), f.isok == 1) << f.filename;
    if (f.isok) {
      EXPECT_EQ(f.dbfVersion, 3) << f.filename;
    }
  }

  auto history = history::History::open(h.home.home);
  ASSERT_EQ(history->list(10).size(), 1u);
  std::optional<history::Run> recorded = history->read(1);
  ASSERT_TRUE(recorded);
  EXPECT_EQ(recorded->facts, *facts);
  EXPECT_EQ(recorded->findings, history::LatestFindings(*h.openStore()));
  EXPECT_FALSE(recorded->findings.empty());

  // The next run, with one archive gone: the comparison names it as missing,
  // and its finding as not checked (its rule could not run), never as gone.
  const std::string zhbyz = "100001_ZHBYZ_20080808_1.ZIP";
  fs::remove(sample / "account-zip" / zhbyz);
  ASSERT_TRUE(run(in).completed);
  ASSERT_EQ(history->previous(2), 1);
  history::Comparison c = history::Compare(*history->read(1), *history->read(2));
  ASSERT_EQ(c.files.size(), 1u);
  EXPECT_EQ(c.files[0].filename, zhbyz);
  EXPECT_TRUE(c.files[0].sha256After.empty());
  EXPECT_EQ(c.missing, std::vector<std::string>{zhbyz});
  ASSERT_EQ(c.unchecked.size(), 1u);
  EXPECT_EQ(c.unchecked[0].errid, "R27");
  EXPECT_TRUE(c.gone.empty());
  EXPECT_TRUE(c.added.empty());
  EXPECT_TRUE(c.changed.empty());
  EXPECT_TRUE(c.worse());
}

TEST_F(RunRecorderTest, PackedArchivesAreRecordedWithTheirChecksums) {
  observer.pack = true;
  ASSERT_TRUE(run(account("account-dbf", CheckType::Dbf)).completed);
  std::optional<store::RunFacts> facts = store::ReadLatestRunFacts(h.home.storeFile());
  ASSERT_TRUE(facts);
  EXPECT_EQ(facts->fileType, "DBF");
  ASSERT_FALSE(facts->packs.empty());
  for (const store::PackFacts& p : facts->packs) {
    EXPECT_EQ(p.sha256, test::Sha256Sum(h.output / p.archive)) << p.archive;
    EXPECT_EQ(p.size, static_cast<int64_t>(fs::file_size(h.output / p.archive)));
  }
  for (const store::FileFacts& f : facts->files)
    if (f.isexist) {
      EXPECT_EQ(f.sha256, test::Sha256Sum(sample / "account-dbf" / f.filename)) << f.filename;
    }
}

TEST_F(RunRecorderTest, AnUnwritableHistoryNeverFailsTheRunAndIsToldOnce) {
  fs::create_directories(history::HistoryFile(h.home.home));  // a directory where the file belongs
  const RunInputs in = account("account-zip", CheckType::Zip);
  for (int i = 0; i < 2; ++i) {
    RunOutcome outcome = run(in);
    EXPECT_TRUE(outcome.completed);
    EXPECT_TRUE(outcome.error.empty());
  }
  int told = 0;
  for (const auto& [kind, text] : observer.messages) told += text.rfind(kHistoryFailedMessage, 0) == 0;
  EXPECT_EQ(told, 1);
  EXPECT_TRUE(store::ReadLatestRunFacts(h.home.storeFile()));
}

TEST_F(RunRecorderTest, AFailedRunIsRecordedWithItsMessage) {
  RunInputs in = account("account-zip", CheckType::Zip);
  fs::create_directories(h.home.home);
  fs::create_directories(h.home.data);
  // A foreign file where the store belongs fails the run before any check.
  std::ofstream(h.home.storeFile()) << "not a store";
  RunOutcome outcome = run(in);
  ASSERT_FALSE(outcome.completed);
  auto history = history::History::open(h.home.home);
  std::optional<history::Run> recorded = history->read(1);
  ASSERT_TRUE(recorded);
  EXPECT_FALSE(recorded->facts.completed);
  EXPECT_EQ(recorded->facts.message, outcome.error);
  EXPECT_TRUE(recorded->facts.files.empty());
}

}  // namespace
}  // namespace fc::pipeline
