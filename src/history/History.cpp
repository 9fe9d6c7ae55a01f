#include "history/History.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "platform/Utf8Paths.h"
#include "store/Sqlite.h"

namespace fc::history {

namespace fs = std::filesystem;

namespace {

constexpr const char* kHistoryName = "history.db";
constexpr const char* kWhat = "运行历史";

constexpr const char* kSchema =
    "create table if not exists finding (runkey text not null, fileid integer, finding integer,"
    " filename text, errid text, errdesc text, total integer);"
    "create index if not exists finding_runkey on finding (runkey, fileid, finding);"
    "create table if not exists valuecount (runkey text not null, fileid integer, finding integer,"
    " seq integer, field text, value text, count integer);"
    "create index if not exists valuecount_runkey on valuecount (runkey, fileid, finding, seq);"
    "create table if not exists setting (name text primary key, value text);";

constexpr const char* kSummary =
    "select r.id, r.started, r.submission, r.zqgsdm, r.datadate,"
    " (select count(*) from runfile f where f.runkey = r.runkey),"
    " (select count(*) from runfile f where f.runkey = r.runkey and f.isexist = 1),"
    // Passed: files whose verdict is a pass; for a run kept before verdicts,
    // those that passed the structure check.
    " case when exists (select 1 from runverdict v where v.runkey = r.runkey and v.fileid = 0)"
    "  then (select count(*) from runverdict v where v.runkey = r.runkey and v.fileid > 0 and v.verdict = 'pass')"
    "  else (select count(*) from runfile f where f.runkey = r.runkey and f.isok = 1) end,"
    " (select count(*) from finding g where g.runkey = r.runkey),"
    " r.completed, r.message,"
    " (select v.verdict from runverdict v where v.runkey = r.runkey and v.fileid = 0),"
    " (select v.reason from runverdict v where v.runkey = r.runkey and v.fileid = 0),"
    " r.filetype, r.sourcedir,"
    " (select s.name || '@' || s.version from runruleset s where s.runkey = r.runkey),"
    " r.kinds, r.beginno, r.endno,"
    " exists (select 1 from runrulesetown o where o.runkey = r.runkey) from runinfo r";

void InsertFindings(store::Connection& db, const std::string& runKey, const std::vector<Finding>& findings) {
  store::Query finding = db.prepare(
      "insert into finding (runkey, fileid, finding, filename, errid, errdesc, total) values (?,?,?,?,?,?,?)");
  store::Query count = db.prepare(
      "insert into valuecount (runkey, fileid, finding, seq, field, value, count) values (?,?,?,?,?,?,?)");
  for (const Finding& f : findings) {
    finding.bind(1, runKey).bind(2, int64_t{f.fileid}).bind(3, int64_t{f.finding}).bind(4, f.filename)
        .bind(5, f.errid).bind(6, f.errdesc).bind(7, f.total).run();
    int64_t seq = 0;
    for (const ValueCount& v : f.valueCounts)
      count.bind(1, runKey).bind(2, int64_t{f.fileid}).bind(3, int64_t{f.finding}).bind(4, ++seq)
          .bind(5, v.field).bind(6, v.value).bind(7, v.count).run();
  }
}

std::vector<Finding> SelectFindings(store::Connection& db, const std::string& runKey) {
  std::vector<Finding> findings;
  store::Query q = db.prepare(
      "select fileid, finding, filename, errid, errdesc, total from finding where runkey = ?"
      " order by fileid, finding");
  q.bind(1, runKey);
  while (q.next())
    findings.push_back({static_cast<int>(q.integer(0)), static_cast<int>(q.integer(1)), q.text(2), q.text(3),
                        q.text(4), q.integer(5), {}});
  store::Query counts = db.prepare(
      "select fileid, finding, field, value, count from valuecount where runkey = ? order by fileid, finding, seq");
  counts.bind(1, runKey);
  while (counts.next()) {
    auto owner = std::find_if(findings.begin(), findings.end(), [&](const Finding& f) {
      return f.fileid == counts.integer(0) && f.finding == counts.integer(1);
    });
    if (owner != findings.end()) owner->valueCounts.push_back({counts.text(2), counts.text(3), counts.integer(4)});
  }
  return findings;
}

// The files a run expects: each chosen kind once per group. A stopped run
// lists only the files it reached, and its count of expected files must not
// shrink with it.
int ExpectedFiles(naming::Submission submission, size_t kinds, int64_t beginNo, int64_t endNo) {
  const int64_t groups = submission == naming::Submission::Identity ? 1 : std::max<int64_t>(endNo - beginNo + 1, 0);
  return static_cast<int>(std::min<int64_t>(static_cast<int64_t>(kinds) * groups, std::numeric_limits<int>::max()));
}

size_t KindCount(const std::string& joinedKinds) {
  return joinedKinds.empty() ? 0 : 1 + static_cast<size_t>(std::count(joinedKinds.begin(), joinedKinds.end(), ','));
}

RunSummary ReadSummary(const store::Query& q) {
  RunSummary s{q.integer(0), q.text(1), naming::SubmissionFromCode(q.text(2)), q.text(3), q.text(4), 0,
               static_cast<int>(q.integer(5)), static_cast<int>(q.integer(6)), static_cast<int>(q.integer(7)),
               static_cast<int>(q.integer(8)), q.integer(9) != 0, q.text(10), store::ParseVerdict(q.text(11)),
               q.text(12), q.text(13), q.text(14), q.text(15)};
  s.expected = std::max(s.listed, ExpectedFiles(s.submission, KindCount(q.text(16)), q.integer(17), q.integer(18)));
  s.ruleSetOwn = q.integer(19) != 0;
  return s;
}

// A history file that lost its runs (emptied, or not a history at all) is
// never made afresh over them unseen: the operator moves it away.
[[noreturn]] void RefuseDamaged(const fs::path& file) {
  throw store::StoreError(std::string(kWhat) + " " + platform::Utf8Of(file) +
                          " 是空文件、已损坏或不是本程序的运行历史，程序没有改动它；请将它移走或删除，下次检查会新建运行历史。");
}

// Drops the runs beyond the newest `keep`, findings and facts alike.
void Trim(store::Connection& db, int keep) {
  const std::string old = "id not in (select id from runinfo order by id desc limit " + std::to_string(keep) + ")";
  for (const char* table : {"finding", "valuecount"})
    db.exec("delete from " + std::string(table) + " where runkey in (select runkey from runinfo where " + old + ")");
  store::DeleteRunFacts(db, old);
}

}  // namespace

fs::path HistoryFile(const fs::path& home) { return home / kHistoryName; }

RunSummary Summarize(const Run& run) {
  const int listed = static_cast<int>(run.facts.files.size());
  RunSummary s{run.id, run.facts.started, run.facts.submission, run.facts.companyCode, run.facts.dataDate,
               std::max(listed, ExpectedFiles(run.facts.submission, run.facts.kinds.size(), run.facts.beginNo,
                                              run.facts.endNo)),
               listed, 0, 0, static_cast<int>(run.findings.size()),
               run.facts.completed, run.facts.message, run.facts.verdict, run.facts.verdictText,
               run.facts.fileType, run.facts.sourceDir,
               run.facts.ruleSet.known() ? store::RuleSetName(run.facts.ruleSet) : "",
               run.facts.ruleSet.own};
  const bool judged = run.facts.verdict != store::Verdict::Unknown;
  for (const store::FileFacts& f : run.facts.files) {
    s.present += f.isexist;
    s.passed += judged ? f.verdict == store::Verdict::Pass : f.isok;
  }
  return s;
}

History::History(std::unique_ptr<store::Connection> db) : db_(std::move(db)) {}
History::~History() = default;

std::unique_ptr<History> History::open(const fs::path& home) {
  const fs::path file = HistoryFile(home);
  store::RequireOrdinaryFile(file, kWhat);
  std::error_code ec;
  const bool existed = fs::exists(file, ec);
  if (existed && fs::file_size(file, ec) == 0 && !ec) RefuseDamaged(file);
  auto db = std::make_unique<store::Connection>(file, store::Access::Create, kWhat);
  if (existed && !db->prepare("select 1 from sqlite_master where type = 'table' and name = 'runinfo'").next())
    RefuseDamaged(file);
  // WAL with synchronous=full: a commit is on disk before append returns,
  // and a run cut off mid-write is rolled back whole on the next open.
  db->exec("pragma journal_mode=wal; pragma synchronous=full");
  store::Transaction t(*db);
  store::CreateRunFactsTables(*db);
  db->exec(kSchema);
  t.commit();
  return std::unique_ptr<History>(new History(std::move(db)));
}

int64_t History::append(const Run& run) {
  const int kept = keep();
  store::Transaction t(*db_);
  store::InsertRunFacts(*db_, run.facts);
  const int64_t id = db_->lastInsertId();
  InsertFindings(*db_, run.facts.runKey, run.findings);
  Trim(*db_, kept);
  t.commit();
  return id;
}

void History::forget() {
  db_->eraseForGood({}, [&] { Trim(*db_, 0); });
}

std::vector<RunSummary> History::list(int limit) {
  std::vector<RunSummary> runs;
  store::Query q = db_->prepare(std::string(kSummary) + " order by r.id desc limit ?");
  q.bind(1, int64_t{std::max(limit, 0)});
  while (q.next()) runs.push_back(ReadSummary(q));
  return runs;
}

std::optional<Run> History::read(int64_t id) {
  store::Query key = db_->prepare("select runkey from runinfo where id = ?");
  key.bind(1, id);
  if (!key.next()) return std::nullopt;
  std::optional<store::RunFacts> facts = store::SelectRunFacts(*db_, key.text(0));
  if (!facts) return std::nullopt;
  Run run{id, std::move(*facts), {}};
  run.findings = SelectFindings(*db_, run.facts.runKey);
  return run;
}

std::optional<int64_t> History::latest() {
  store::Query q = db_->prepare("select max(id) from runinfo");
  if (!q.next()) return std::nullopt;
  return q.optionalInteger(0);
}

std::optional<int64_t> History::previous(int64_t id) {
  store::Query q = db_->prepare(
      "select p.id from runinfo p join runinfo r on r.id = ? where p.id < r.id and p.submission = r.submission"
      " and p.zqgsdm = r.zqgsdm and p.datadate = r.datadate and p.filetype = r.filetype"
      " and p.beginno = r.beginno and p.endno = r.endno and p.fulltransfer = r.fulltransfer"
      " order by p.id desc limit 1");
  q.bind(1, id);
  if (!q.next()) return std::nullopt;
  return q.integer(0);
}

int History::keep() {
  store::Query q = db_->prepare("select value from setting where name = 'keepruns'");
  if (!q.next()) return kDefaultKeep;
  return std::max(1, std::atoi(q.text(0).c_str()));
}

void History::setKeep(int runs) {
  db_->prepare("insert or replace into setting (name, value) values ('keepruns', ?)")
      .bind(1, std::to_string(std::max(runs, 1)))
      .run();
}

}  // namespace fc::history
