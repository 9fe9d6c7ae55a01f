// The benchmark's submission generator at a small scale, checked through
// whole check runs: its tables pass their structure and date checks, and the
// rules find exactly the faults it says it put in. The same comparison
// decides whether `make bench` succeeds at full scale.
#include <gtest/gtest.h>

#include <set>

#include <sqlite3.h>

#include "bench/SubmissionGenerator.h"
#include "dbf/Table.h"
#include "naming/InterfaceLayouts.h"
#include "pipeline/RunDriver.h"
#include "store/Store.h"
#include "support/TempDir.h"
#include "platform/Utf8Paths.h"

namespace fc::bench {
namespace {

namespace fs = std::filesystem;
using naming::Submission;
using pipeline::CheckType;

constexpr AccountScale kSmallAccount{3000, 6000, 3000, 60, 900};
constexpr IdentityScale kSmallIdentity{2000, 2100};

// Keeps the run's messages; it shows nothing else and packs nothing.
struct MessageRecorder : pipeline::QuietObserver {
  std::vector<std::string> messages;
  void message(pipeline::MessageKind, const std::string& text) override { messages.push_back(text); }
};

class GeneratorTest : public ::testing::Test {
 protected:
  test::TempDir root;
  settings::AppHome home{root / "home", FC_SOURCE_DATA_DIR};
  naming::InterfaceLayouts layouts =
      naming::InterfaceLayouts::load(home.data / "rulesets" / "interface-1" / "layouts.csv");

  GeneratorOptions options(double faultRate) {
    GeneratorOptions opts;
    opts.faultRate = faultRate;
    opts.dbfDir = root / "dbf";
    opts.zipDir = root / "zip";
    return opts;
  }

  // Every row of the store's finding tables, table by table in row order.
  static std::vector<std::string> FindingRows(const fs::path& store) {
    sqlite3* db = nullptr;
    std::vector<std::string> rows;
    if (sqlite3_open_v2(platform::Utf8Of(store).c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return {"cannot open"};
    for (const char* table : {"fileerr", "errfinding", "errrecord", "errpersonal", "errunmasked"}) {
      sqlite3_stmt* st = nullptr;
      sqlite3_prepare_v2(db, (std::string("select * from ") + table + " order by rowid").c_str(), -1, &st, nullptr);
      while (st && sqlite3_step(st) == SQLITE_ROW) {
        std::string row = table;
        for (int c = 0; c < sqlite3_column_count(st); ++c) {
          const unsigned char* text = sqlite3_column_text(st, c);
          row += "|" + std::string(text ? reinterpret_cast<const char*>(text) : "NULL");
        }
        rows.push_back(row);
      }
      sqlite3_finalize(st);
    }
    sqlite3_close(db);
    return rows;
  }

  // Checks the generated submission as an operator would and compares the
  // findings, and the records kept behind them, with the generator's promise.
  std::string check(Submission submission, CheckType type, const GeneratorOptions& opts,
                    const Generated& generated, int threads = 0) {
    pipeline::RunInputs in;
    in.submission = submission;
    in.beginNo = in.endNo = opts.sequence;
    in.companyCode = opts.companyCode;
    in.dataDate = opts.dataDate;
    in.comparisonDate = opts.comparisonDate;
    in.sourceDir = ((type == CheckType::Zip ? opts.zipDir : opts.dbfDir).string()) + "/";
    in.checkType = type;
    in.fullTransfer = opts.fullTransfer;
    in.selectedKinds.assign(naming::Kinds(submission).size(), true);
    in.threads = threads;
    MessageRecorder observer;
    pipeline::RunOutcome outcome = pipeline::RunDriver(home, in).run(observer);
    if (!outcome.completed) return "run failed: " + outcome.error;
    if (!observer.messages.empty()) return "message: " + observer.messages.front();
    auto store = store::Store::open(home.home, home.data);
    return FindingsDiffer(*store, submission, generated.findings) +
           RecordsDiffer(*store, submission, generated.findings, in.recordsLimit);
  }
};

TEST_F(GeneratorTest, AccountFindingsAreExactlyTheInjectedFaultsInBothForms) {
  GeneratorOptions opts = options(0.002);
  Generated g = WriteAccountSubmission(layouts, kSmallAccount, opts);
  ASSERT_EQ(g.dbfFiles.size(), 5u);
  ASSERT_EQ(g.zipFiles.size(), 5u);
  // Every rule that can fire after the structure check, R12 and R28 twice.
  std::multiset<std::string> codes;
  for (const ExpectedFinding& f : g.findings) codes.insert(f.errid);
  EXPECT_EQ(codes, (std::multiset<std::string>{"R01", "R02", "R03", "R04", "R05", "R06", "R07", "R08", "R11",
                                               "R12", "R12", "R13", "R14", "R16", "R17", "R19", "R21", "R23",
                                               "R25", "R26", "R27", "R28", "R28", "R30", "R32", "R33", "R34"}));
  EXPECT_EQ(check(Submission::Account, CheckType::Dbf, opts, g), "");
  EXPECT_EQ(check(Submission::Account, CheckType::Zip, opts, g), "");
}

// The rules run on many threads, a large table's shared pass in pieces; one
// thread must give the same store, row for row. KHJBXX spans more than one piece.
TEST_F(GeneratorTest, OneThreadAndManyWriteTheSameFindingsAndRecordsInTheSameOrder) {
  GeneratorOptions opts = options(0.001);
  opts.zipDir.clear();
  Generated g = WriteAccountSubmission(layouts, {140000, 6000, 3000, 60, 900}, opts);
  ASSERT_EQ(check(Submission::Account, CheckType::Dbf, opts, g, 1), "");
  const std::vector<std::string> one = FindingRows(home.storeFile());
  for (int threads : {2, 5}) {
    ASSERT_EQ(check(Submission::Account, CheckType::Dbf, opts, g, threads), "");
    EXPECT_EQ(FindingRows(home.storeFile()), one) << threads << " threads";
  }
  EXPECT_GT(one.size(), 100u);
}

TEST_F(GeneratorTest, RecordCountsAndNamesFollowTheScale) {
  GeneratorOptions opts = options(0.002);
  opts.zipDir.clear();
  Generated g = WriteAccountSubmission(layouts, kSmallAccount, opts);
  EXPECT_TRUE(g.zipFiles.empty());
  EXPECT_FALSE(fs::exists(root / "zip"));
  const uint32_t want[] = {kSmallAccount.khjbxx, kSmallAccount.zjzqdy, kSmallAccount.zjbdxx, kSmallAccount.yybxx,
                           kSmallAccount.zhbyz};
  ASSERT_EQ(g.dbfFiles.size(), 5u);
  EXPECT_EQ(g.dbfFiles[0].filename(), "QL_100001_KHJBXX_20080808_1.DBF");
  EXPECT_EQ(g.dbfFiles[3].filename(), "100001_YYBXX_20080808_1.DBF");
  for (size_t k = 0; k < 5; ++k) {
    std::string error;
    auto table = dbf::Table::open(g.dbfFiles[k], error);
    ASSERT_TRUE(table) << error;
    EXPECT_EQ(table->recordCount(), want[k]) << g.dbfFiles[k];
  }
}

TEST_F(GeneratorTest, IncrementalTransferExpectsNoCustomerFindings) {
  GeneratorOptions opts = options(0.002);
  opts.fullTransfer = false;
  opts.sequence = 3;
  Generated g = WriteAccountSubmission(layouts, kSmallAccount, opts);
  EXPECT_EQ(g.dbfFiles[0].filename(), "100001_KHJBXX_20080808_3.DBF");
  for (const ExpectedFinding& f : g.findings)
    EXPECT_TRUE(f.errid != "R08" && f.errid != "R14" && f.errid != "R34") << f.errid;
  EXPECT_EQ(check(Submission::Account, CheckType::Zip, opts, g), "");
}

TEST_F(GeneratorTest, IdentityFindingsAreExactlyTheInjectedFaults) {
  GeneratorOptions opts = options(0.002);
  Generated g = WriteIdentitySubmission(layouts, kSmallIdentity, opts);
  ASSERT_EQ(g.findings.size(), 14u);
  ASSERT_EQ(g.dbfFiles.size(), 2u);
  EXPECT_EQ(g.dbfFiles[1].filename(), "100001_SFZHCQK_20080804.DBF");
  EXPECT_EQ(check(Submission::Identity, CheckType::Dbf, opts, g), "");
  EXPECT_EQ(check(Submission::Identity, CheckType::Zip, opts, g), "");
}

TEST_F(GeneratorTest, WithoutFaultsEverythingPassesWithoutFindings) {
  GeneratorOptions opts = options(0);
  Generated account = WriteAccountSubmission(layouts, kSmallAccount, opts);
  EXPECT_TRUE(account.findings.empty());
  EXPECT_EQ(check(Submission::Account, CheckType::Dbf, opts, account), "");
  opts.dbfDir = root / "identity";
  Generated identity = WriteIdentitySubmission(layouts, kSmallIdentity, opts);
  EXPECT_TRUE(identity.findings.empty());
  EXPECT_EQ(check(Submission::Identity, CheckType::Dbf, opts, identity), "");
}

TEST_F(GeneratorTest, ComparisonCatchesAMissingOrWrongFinding) {
  GeneratorOptions opts = options(0.002);
  Generated g = WriteIdentitySubmission(layouts, kSmallIdentity, opts);
  g.findings[4].count += 1;  // R05 one more than the run finds
  g.findings.push_back({0, "R99", 1, {1}});
  g.findings[2].records.front() = 1;  // R03: a record the generator did not break
  std::string differences = check(Submission::Identity, CheckType::Dbf, opts, g);
  EXPECT_NE(differences.find("kind 0 R03: record"), std::string::npos) << differences;
  EXPECT_NE(differences.find("kind 0 R99: no finding"), std::string::npos) << differences;
  EXPECT_NE(differences.find("missing kind 0 R05"), std::string::npos) << differences;
  EXPECT_NE(differences.find("unexpected kind 0 R05"), std::string::npos) << differences;
  EXPECT_NE(differences.find("missing kind 0 R99 1"), std::string::npos) << differences;
}

TEST_F(GeneratorTest, ScalesWithoutRoomForTheFaultsAreRefused) {
  GeneratorOptions opts = options(0.002);
  EXPECT_THROW(WriteAccountSubmission(layouts, {3, 6, 3, 3, 9}, opts), std::invalid_argument);
  // ZJBDXX holds at most three currencies per account.
  EXPECT_THROW(WriteAccountSubmission(layouts, {100, 100, 400, 20, 100}, opts), std::invalid_argument);
  EXPECT_THROW(WriteIdentitySubmission(layouts, {1000, 10}, opts), std::invalid_argument);
}

}  // namespace
}  // namespace fc::bench
