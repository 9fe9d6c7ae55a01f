#include "pipeline/RunDriver.h"

#include <gtest/gtest.h>

#include <fstream>

#include "PipelineHome.h"
#include "dbf/Writer.h"
#include "pipeline/Validation.h"
#include "store/RunFacts.h"
#include "support/StoreRows.h"
#include "support/Zip.h"

namespace fc::pipeline {

using naming::InterfaceLayouts;
namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

const std::vector<bool> kAllAccountKinds(5, true);

class RunDriverTest : public testing::Test {
 protected:
  test::PipelineHome h;
  test::RecordingObserver observer;

  RunInputs account(int begin, int end, std::vector<bool> kinds = kAllAccountKinds,
                    CheckType type = CheckType::Zip) {
    RunInputs in;
    in.submission = Submission::Account;
    in.beginNo = begin;
    in.endNo = end;
    in.companyCode = "100001";
    in.dataDate = "20080808";
    in.sourceDir = h.sourceDir();
    in.targetDir = h.output.string() + "/";
    in.checkType = type;
    in.selectedKinds = std::move(kinds);
    return in;
  }
  RunInputs identity(bool withComparison, CheckType type = CheckType::Zip) {
    RunInputs in = account(0, 0, {true, withComparison}, type);
    in.submission = Submission::Identity;
    in.comparisonDate = "20080804";
    return in;
  }
  RunOutcome run(const RunInputs& in, test::RecordingObserver& o) { return RunDriver(h.home, in).run(o); }
  RunOutcome run(const RunInputs& in) { return run(in, observer); }

  // A table in the source directory as a DBF, or zipped under its archive name.
  void dbfTable(const std::string& name, const std::string& kind, std::vector<SampleRecord> records = {{}},
                const std::string& shortenedField = "") {
    h.table(kind, h.source / name, records, shortenedField);
  }
  void zipTable(const std::string& archive, const std::string& kind, std::vector<SampleRecord> records = {{}}) {
    std::string dbfName = archive.substr(0, archive.size() - 3) + "DBF";
    h.table(kind, h.root / dbfName, records);
    test::ZipWriter(h.source / archive).addFile(dbfName, h.root / dbfName).write();
  }

  Rows query(const std::string& sql) {
    Rows rows;
    for (const auto& row : test::StoreRows(*h.openStore(), sql)) {
      rows.emplace_back();
      for (const auto& v : row) rows.back().push_back(v.value_or("NULL"));
    }
    return rows;
  }
  Rows filelist() { return query("select fileid, groupno, filename, isexist, isok from filelist order by fileid"); }
  // "fileid errid" of every problem, in the order written.
  std::vector<std::string> problems() {
    std::vector<std::string> out;
    for (const auto& r : query("select fileid, errid from fileerr order by rowid")) out.push_back(r[0] + " " + r[1]);
    return out;
  }
  std::vector<std::string> errdescs(int fileid) {
    std::vector<std::string> out;
    for (const auto& r : query("select errdesc from fileerr where fileid=" + std::to_string(fileid) + " order by rowid"))
      out.push_back(r[0]);
    return out;
  }
  bool workDirsEmpty() {
    for (const fs::path& dir : {h.home.workdir(), h.home.dbfdir(), h.home.lchkdir()})
      if (!fs::is_empty(dir)) return false;
    return true;
  }
};

TEST_F(RunDriverTest, ListsKindByKindThenGroupByGroup) {
  RunOutcome outcome = run(account(1, 3, {true, false, false, true, false}));
  EXPECT_TRUE(outcome.completed);
  EXPECT_FALSE(outcome.anyPassed);
  EXPECT_EQ(filelist(), (Rows{{"1", "1", "100001_KHJBXX_20080808_1.ZIP", "0", "0"},
                              {"2", "2", "100001_KHJBXX_20080808_2.ZIP", "0", "0"},
                              {"3", "3", "100001_KHJBXX_20080808_3.ZIP", "0", "0"},
                              {"4", "1", "100001_YYBXX_20080808_1.ZIP", "0", "0"},
                              {"5", "2", "100001_YYBXX_20080808_2.ZIP", "0", "0"},
                              {"6", "3", "100001_YYBXX_20080808_3.ZIP", "0", "0"}}));
  EXPECT_TRUE(problems().empty());
  EXPECT_EQ(observer.progressCalls.front(), std::make_pair(1, 6));
  EXPECT_EQ(observer.progressCalls.back(), std::make_pair(6, 6));
  EXPECT_EQ(observer.packQuestions, 0);  // ZIP type
  ASSERT_EQ(observer.messages.size(), 1u);
  EXPECT_EQ(observer.messages[0], std::make_pair(MessageKind::Information, std::string("没有2008/08/08的数据文件")));
  EXPECT_EQ(observer.statuses.front(), "开始文件结构检查......");
  EXPECT_EQ(observer.statuses.back(), "");
  EXPECT_TRUE(workDirsEmpty());
}

TEST_F(RunDriverTest, FullTransferPrefixesOnlyTheSixLetterKinds) {
  RunInputs in = account(1, 1, kAllAccountKinds, CheckType::Dbf);
  in.fullTransfer = true;
  run(in);
  Rows rows = filelist();
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0][2], "QL_100001_KHJBXX_20080808_1.DBF");
  EXPECT_EQ(rows[1][2], "QL_100001_ZJZQDY_20080808_1.DBF");
  EXPECT_EQ(rows[2][2], "QL_100001_ZJBDXX_20080808_1.DBF");
  EXPECT_EQ(rows[3][2], "100001_YYBXX_20080808_1.DBF");
  EXPECT_EQ(rows[4][2], "100001_ZHBYZ_20080808_1.DBF");
}

TEST_F(RunDriverTest, IdentityComparisonFileCarriesItsOwnDate) {
  run(identity(true));
  EXPECT_EQ(filelist(), (Rows{{"1", "0", "100001_SFZFCJG_20080808.ZIP", "0", "0"},
                              {"2", "0", "100001_SFZHCQK_20080804.ZIP", "0", "0"}}));
  EXPECT_EQ(query("select filecat from filelist order by fileid"),
            (Rows{{"投资者身份信息复查处理结果表"}, {"投资者身份信息核查异常明细表"}}));
}

TEST_F(RunDriverTest, PassedArchivesReachTheRulesOfTheirGroup) {
  zipTable("100001_KHJBXX_20080808_1.ZIP", "KHJBXX",
           {{{"YYBDM", "000001"}, {"ZJZH", "1"}, {"ZJZHLB", "5"}, {"ZJLB", "10"}},    // R02
            {{"YYBDM", "000009"}, {"ZJZH", "2"}, {"ZJZHLB", "0"}, {"ZJLB", "10"}}});  // R04
  zipTable("100001_YYBXX_20080808_1.ZIP", "YYBXX", {{{"YYBDM", "000001"}}});
  RunOutcome outcome = run(account(1, 2, {true, false, false, true, false}));
  EXPECT_TRUE(outcome.completed);
  EXPECT_TRUE(outcome.anyPassed);
  EXPECT_EQ(query("select fileid, isexist, isok, dbftype from filelist order by fileid"),
            (Rows{{"1", "1", "1", "3"}, {"2", "0", "0", "NULL"}, {"3", "1", "1", "3"}, {"4", "0", "0", "NULL"}}));
  EXPECT_EQ(problems(), (std::vector<std::string>{"1 R02", "1 R04"}));
  std::string src = h.sourceDir();
  for (const std::string& s : {"开始文件" + src + "100001_KHJBXX_20080808_1.ZIP结构检查......",
                               std::string("检查序号为 1的文件数据逻辑......"),
                               std::string("检查序号为 1的KHJBXX文件数据逻辑......"),
                               std::string("检查序号为 1的YYBXX文件数据逻辑......")})
    EXPECT_TRUE(observer.saidStatus(s)) << s;
  EXPECT_FALSE(observer.saidStatus("检查序号为 2的文件数据逻辑......"));  // nothing passed there
  EXPECT_EQ(observer.statuses.back(), "文件检查完毕,请查看检查结果");
  EXPECT_TRUE(observer.messages.empty());
  EXPECT_TRUE(workDirsEmpty());
}

TEST_F(RunDriverTest, CustomerAccountRulesRunOnlyInFullTransfer) {
  SampleRecord customer{{"YYBDM", "000001"}, {"ZJZH", "1"}, {"ZJZHLB", "0"}, {"ZJLB", "10"}};
  SampleRecord strangerMapping{{"YYBDM", "000001"}, {"ZJZH", "999"}, {"GDDMSC", "01"}};  // R08
  for (const char* prefix : {"", "QL_"}) {
    dbfTable(prefix + std::string("100001_KHJBXX_20080808_1.DBF"), "KHJBXX", {customer});
    dbfTable(prefix + std::string("100001_ZJZQDY_20080808_1.DBF"), "ZJZQDY", {strangerMapping});
  }
  RunInputs in = account(1, 1, {true, true, false, false, false}, CheckType::Dbf);
  run(in);
  EXPECT_TRUE(problems().empty());
  in.fullTransfer = true;
  run(in);
  EXPECT_EQ(problems(), std::vector<std::string>{"2 R08"});
}

TEST_F(RunDriverTest, StructureAnswersBecomeProblemRows) {
  dbfTable("100001_KHJBXX_20080808_1.DBF", "KHJBXX", {{}}, "KHQC");
  dbfTable("100001_ZJZQDY_20080808_1.DBF", "ZJZQDY", {{}, {{"SJRQ", "20080807"}}});
  h.root.write("in/100001_ZJBDXX_20080808_1.DBF", "not a table at all");
  dbf::Writer(h.source / "100001_YYBXX_20080808_1.DBF", dbf::Format::DBase3,
              {{"ZQGSDM", 'C', 6}, {"YYBDM", 'C', 6}, {"YYBDZ", 'C', 200}, {"SJRQ", 'C', 8}})
      .finish();
  dbfTable("100001_zhbyz_20080808_1.dbf", "ZHBYZ");  // found whatever its letter case
  RunOutcome outcome = run(account(1, 1, kAllAccountKinds, CheckType::Dbf));
  EXPECT_TRUE(outcome.anyPassed);
  EXPECT_EQ(query("select isexist, isok from filelist order by fileid"),
            (Rows{{"1", "0"}, {"1", "0"}, {"1", "0"}, {"1", "0"}, {"1", "1"}}));
  EXPECT_EQ(errdescs(1), std::vector<std::string>{"字段KHQC长度不符合接口规范"});
  EXPECT_EQ(errdescs(2), std::vector<std::string>{"存在非指定日期20080807的数据"});
  EXPECT_EQ(query("select errid from fileerr where fileid=3"), Rows{{"8"}});
  EXPECT_EQ(errdescs(4), std::vector<std::string>{"接口约定字段YYBMC不存在"});
  EXPECT_EQ(observer.packQuestions, 1);
  EXPECT_TRUE(fs::is_empty(h.output));  // the answer was No
}

TEST_F(RunDriverTest, PhasesAreTimedInTheOrderTheyRun) {
  dbfTable("100001_KHJBXX_20080808_1.DBF", "KHJBXX");
  dbfTable("100001_YYBXX_20080808_1.DBF", "YYBXX");
  dbfTable("100001_YYBXX_20080808_2.DBF", "YYBXX", {{}}, "YYBMC");  // fails its structure check
  observer.pack = true;
  ASSERT_TRUE(run(account(1, 2, kAllAccountKinds, CheckType::Dbf)).completed);
  // Group 2 has no passed table: its copying is timed, but no session opens.
  EXPECT_EQ(observer.phases,
            (std::vector<std::string>{"check KHJBXX", "check YYBXX", "check YYBXX", "listing", "copying", "session", "rules",
                                      "rules KHJBXX", "rules YYBXX", "copying", "packing"}));
}

// What the results window shows of a run at work names the company, as its
// end does.
TEST_F(RunDriverTest, FactsOfARunAtWorkNameTheCompany) {
  dbfTable("100001_KHJBXX_20080808_1.DBF", "KHJBXX");
  struct Watching : test::RecordingObserver {
    fs::path storeFile;
    std::optional<std::string> seen;  // the company name at the first progress
    void progress(int, int) override {
      if (!seen) seen = store::ReadLatestRunFacts(storeFile).value_or(store::RunFacts{}).companyName;
    }
  } watching;
  watching.storeFile = h.home.storeFile();
  run(account(1, 1, {true, false, false, false, false}, CheckType::Dbf), watching);
  EXPECT_EQ(watching.seen, "东岳证券股份有限公司");
}

TEST_F(RunDriverTest, YesToThePackagingQuestionPacksThePassedTables) {
  dbfTable("100001_KHJBXX_20080808_1.DBF", "KHJBXX");
  dbfTable("100001_ZJZQDY_20080808_1.DBF", "ZJZQDY", {{{"SJRQ", "20080807"}}});
  observer.pack = true;
  run(account(1, 1, {true, true, false, false, false}, CheckType::Dbf));
  EXPECT_EQ(observer.packQuestions, 1);
  // Asked with the verdict the checks came to, naming the packed table whose
  // rules found problems; the failed table is not packed, so not named.
  EXPECT_EQ(observer.lastPackQuestion.verdict, store::Verdict::Fail);
  EXPECT_EQ(observer.lastPackQuestion.tablesWithFindings, std::vector<std::string>{"100001_KHJBXX_20080808_1.DBF"});
  EXPECT_TRUE(observer.saidStatus("正在压缩文件" + h.sourceDir() + "100001_KHJBXX_20080808_1.DBF"));
  EXPECT_TRUE(fs::exists(h.output / "100001_KHJBXX_20080808_1.ZIP"));
  EXPECT_FALSE(fs::exists(h.output / "100001_ZJZQDY_20080808_1.ZIP"));
  EXPECT_EQ(observer.statuses.back(), "文件检查完毕,请查看检查结果");
}

TEST_F(RunDriverTest, EmptyOutputDirectoryIsNeverTakenForTheRoot) {
  dbfTable("100001_KHJBXX_20080808_1.DBF", "KHJBXX");
  observer.pack = true;
  RunInputs in = account(1, 1, {true, false, false, false, false}, CheckType::Dbf);
  in.targetDir = " ";
  EXPECT_TRUE(run(in).completed);
  EXPECT_FALSE(fs::exists("/100001_KHJBXX_20080808_1.ZIP"));
  ASSERT_EQ(observer.messages.size(), 1u);
  EXPECT_EQ(observer.messages[0].second, "ZIP生成目录不能为空");
}

TEST_F(RunDriverTest, OutputDirectoryTheRootIsADirectoryLikeAnother) {
  dbfTable("100001_KHJBXX_20080808_1.DBF", "KHJBXX", {{}}, "KHQC");  // nothing passes: nothing is written
  observer.pack = true;
  RunInputs in = account(1, 1, {true, false, false, false, false}, CheckType::Dbf);
  in.targetDir = "/";
  EXPECT_TRUE(run(in).completed);
  EXPECT_EQ(observer.phases.back(), "packing");
  for (const auto& message : observer.messages) EXPECT_NE(message.second, "ZIP生成目录不能为空");
}

TEST_F(RunDriverTest, TablesReachedByRelativeLinksAreCheckedThroughToTheRules) {
  fs::create_directories(h.root / "tables");
  h.table("KHJBXX", h.root / "tables" / "k.dbf",
          {{{"YYBDM", "000001"}, {"ZJZH", "1"}, {"ZJZHLB", "5"}, {"ZJLB", "10"}}});  // R02
  h.table("YYBXX", h.root / "tables" / "y.dbf", {{{"YYBDM", "000001"}}});
  fs::create_symlink("../tables/k.dbf", h.source / "100001_KHJBXX_20080808_1.DBF");
  fs::create_symlink("../tables/y.dbf", h.source / "100001_YYBXX_20080808_1.DBF");
  RunOutcome outcome = run(account(1, 1, {true, false, false, true, false}, CheckType::Dbf));
  EXPECT_TRUE(outcome.completed);
  EXPECT_TRUE(observer.messages.empty());
  EXPECT_EQ(problems(), std::vector<std::string>{"1 R02"});
  EXPECT_TRUE(fs::exists(h.root / "tables" / "k.dbf"));
}

TEST_F(RunDriverTest, NoKindSelectedStillAsksAboutPackingAndFindsNoData) {
  observer.pack = true;
  RunOutcome outcome = run(account(1, 3, std::vector<bool>(5, false), CheckType::Dbf));
  EXPECT_TRUE(outcome.completed);
  EXPECT_TRUE(filelist().empty());
  EXPECT_EQ(observer.packQuestions, 1);
  ASSERT_EQ(observer.messages.size(), 1u);
  EXPECT_EQ(observer.messages[0].second, "没有2008/08/08的数据文件");
}

// Starts a second run on the same home while the first one holds it.
struct IntrudingObserver : test::RecordingObserver {
  std::function<void()> intrude;
  void status(const std::string& text) override {
    RecordingObserver::status(text);
    if (intrude) std::exchange(intrude, nullptr)();
  }
};

TEST_F(RunDriverTest, SecondRunOnTheSameHomeIsRefusedAtOnce) {
  dbfTable("100001_KHJBXX_20080808_1.DBF", "KHJBXX");
  IntrudingObserver first;
  test::RecordingObserver second;
  RunOutcome refused;
  first.intrude = [&] { refused = run(account(5, 7, kAllAccountKinds), second); };
  RunOutcome outcome = run(account(1, 1, {true, false, false, false, false}, CheckType::Dbf), first);
  EXPECT_TRUE(outcome.completed);
  EXPECT_FALSE(refused.completed);
  EXPECT_FALSE(refused.error.empty());
  ASSERT_EQ(second.messages.size(), 1u);
  EXPECT_EQ(second.messages[0].first, MessageKind::Error);
  EXPECT_TRUE(second.statuses.empty());
  EXPECT_EQ(filelist(), (Rows{{"1", "1", "100001_KHJBXX_20080808_1.DBF", "1", "1"}}));
  EXPECT_TRUE(run(account(1, 1)).completed);  // the lock went with the first run
}

TEST_F(RunDriverTest, RangeListingMoreThan32767FilesIsRefusedBeforeTheStoreIsTouched) {
  run(account(1, 1));
  RunOutcome outcome = run(account(0, 6553));  // 6554 groups of five kinds
  EXPECT_FALSE(outcome.completed);
  EXPECT_EQ(filelist().size(), 5u);  // the earlier run's rows
  EXPECT_EQ(outcome.error, kTooManyFilesMessage);
}

TEST_F(RunDriverTest, StoreThatCannotBeOpenedEndsTheRunAndIsLeftAlone) {
  h.root.write("home/dravmel.mdb", "not a database");
  RunOutcome outcome = run(account(1, 1));
  EXPECT_FALSE(outcome.completed);
  ASSERT_EQ(observer.messages.size(), 1u);
  EXPECT_EQ(observer.messages[0].first, MessageKind::Error);
  EXPECT_EQ(observer.messages[0].second, outcome.error);
  EXPECT_EQ(test::ReadFileBytes(h.home.storeFile()), "not a database");
}

TEST_F(RunDriverTest, WorkingDirectoryThatCannotBeCreatedEndsTheRun) {
  h.root.write("home/lchkdir", "a file in the way");
  RunOutcome outcome = run(account(1, 1));
  EXPECT_FALSE(outcome.completed);
  EXPECT_NE(outcome.error.find("lchkdir"), std::string::npos);
  fs::remove(h.home.lchkdir());
  EXPECT_TRUE(run(account(1, 1)).completed);
}

TEST_F(RunDriverTest, ARuleQueryItsAgreementCannotAnswerRefusesTheRunBeforeAnyFile) {
  // An agreement without CLCSSM would let the table pass its structure
  // check and the rule that reads CLCSSM fail halfway through the rules.
  fs::path data = h.root / "data";
  const fs::path set = data / "rulesets" / "interface-1";
  fs::create_directories(data / "rulesets");
  fs::copy_file(h.home.data / "zqgs.csv", data / "zqgs.csv");
  fs::copy(h.home.data / "rulesets" / "interface-1", set, fs::copy_options::recursive);
  std::ifstream in(h.home.data / "rulesets" / "interface-1" / "layouts.csv");
  std::ofstream out(set / "layouts.csv");
  for (std::string line; std::getline(in, line);)
    if (line.rfind("SFZFCJG,11,CLCSSM", 0) != 0) out << line << "\n";
  out.close();
  h.home.data = data;
  h.layouts = InterfaceLayouts::load(set / "layouts.csv");
  zipTable("100001_SFZFCJG_20080808.ZIP", "SFZFCJG", {{{"SFZLX", "1"}, {"SFCG", "4"}}});

  RunOutcome outcome = run(identity(false));
  EXPECT_FALSE(outcome.completed);
  ASSERT_EQ(observer.messages.size(), 1u);
  EXPECT_EQ(observer.messages[0].first, MessageKind::Error);
  EXPECT_EQ(outcome.error.rfind("检查没有开始：规则集 interface@1（", 0), 0u) << outcome.error;
  EXPECT_NE(outcome.error.find("identity.rules 第"), std::string::npos) << outcome.error;
  EXPECT_NE(outcome.error.find("行：查询无法运行："), std::string::npos) << outcome.error;
  EXPECT_TRUE(observer.phases.empty());  // not a file was looked at
}

// A stop asked for at any moment ends the run at its next safe point:
// stopped, judged incomplete, the working directories empty, every listed
// file whole in the store, and the home free for the next run.
TEST_F(RunDriverTest, AStopEndsTheRunAtItsNextSafePointJudgedIncomplete) {
  zipTable("100001_KHJBXX_20080808_1.ZIP", "KHJBXX", {{{"YYBDM", "000001"}, {"ZJZH", "1"}, {"ZJZHLB", "5"}}});
  zipTable("100001_YYBXX_20080808_1.ZIP", "YYBXX", {{{"YYBDM", "000001"}}});
  struct Stopping : test::RecordingObserver {
    std::string at;
    StopRequest stop;
    void status(const std::string& text) override {
      RecordingObserver::status(text);
      if (text.find(at) != std::string::npos) stop.request();
    }
  };
  const std::vector<std::pair<std::string, int>> moments = {  // status text, files listed when it stops
      {"100001_KHJBXX_20080808_1.ZIP结构检查", 1},
      {"检查序号为 1的文件数据逻辑", 4},
      {"检查序号为 1的KHJBXX文件数据逻辑", 4}};
  for (const auto& [at, listed] : moments) {
    SCOPED_TRACE(at);
    Stopping o;
    o.at = at;
    RunOutcome outcome = RunDriver(h.home, account(1, 2, {true, false, false, true, false})).run(o, o.stop);
    EXPECT_FALSE(outcome.completed);
    EXPECT_TRUE(outcome.stopped);
    EXPECT_EQ(outcome.error, kStoppedMessage);
    EXPECT_EQ(outcome.verdict, store::Verdict::Incomplete);
    EXPECT_EQ(outcome.verdictText, std::string("未完成：") + kStoppedMessage);
    EXPECT_TRUE(o.messages.empty());  // asked for: told in the status line, no error box
    EXPECT_EQ(filelist().size(), static_cast<size_t>(listed));
    EXPECT_TRUE(workDirsEmpty());
    for (const std::string& p : problems()) EXPECT_EQ(p.substr(0, 2), "1 ");  // none of YYBXX, after the stop
  }
  EXPECT_EQ(run(account(1, 2, {true, false, false, true, false})).verdict, store::Verdict::Fail);
}

}  // namespace
}  // namespace fc::pipeline
