#include "store/RunFacts.h"

#include "store/Sqlite.h"
#include "store/Store.h"

namespace fc::store {

namespace {

bool HasTable(Connection& db, const char* name) {
  return db.prepare("select 1 from sqlite_master where type = 'table' and name = ?").bind(1, name).next();
}

constexpr const char* kStoreWhat = "检查结果库";

constexpr const char* kSchema =
    "create table if not exists runinfo (id integer primary key autoincrement, runkey text not null unique,"
    " submission text, zqgsdm text, zqgsmc text, datadate text, senddate text, fulltransfer integer,"
    " beginno integer, endno integer, kinds text, filetype text, sourcedir text, targetdir text,"
    " started text, ended text, seconds real, version text, completed integer, message text);"
    "create table if not exists runfile (runkey text not null, fileid integer, groupno integer,"
    " filecat text, filename text, isexist integer, isok integer, size integer, mtime text, sha256 text,"
    " records integer, dbfversion integer, codepage integer);"
    "create index if not exists runfile_runkey on runfile (runkey, fileid);"
    "create table if not exists runpack (runkey text not null, seq integer, archive text, size integer,"
    " sha256 text);"
    "create index if not exists runpack_runkey on runpack (runkey, seq);"
    "create table if not exists runverdict (runkey text not null, fileid integer, verdict text, reason text);"
    "create index if not exists runverdict_runkey on runverdict (runkey, fileid);"
    "create table if not exists runrule (runkey text not null, seq integer, fileid integer, errid text,"
    " state text, reason text);"
    "create index if not exists runrule_runkey on runrule (runkey, seq);"
    "create table if not exists runruleset (runkey text not null unique, name text, version text, sha256 text);"
    "create table if not exists runrulesetown (runkey text not null unique);"
    "create table if not exists runfiledeleted (runkey text not null, fileid integer not null,"
    " deleted integer not null);"
    "create index if not exists runfiledeleted_runkey on runfiledeleted (runkey, fileid);"
    "create table if not exists runacceptance (runkey text not null, seq integer not null, acceptance integer not null,"
    " use text not null, fileid integer, finding integer, errid text, records integer, reason text, acceptedby text,"
    " until text, note text);"
    "create index if not exists runacceptance_runkey on runacceptance (runkey, seq);";

std::string JoinKinds(const std::vector<std::string>& kinds) {
  std::string text;
  for (const std::string& k : kinds) text += (text.empty() ? "" : ",") + k;
  return text;
}

std::vector<std::string> SplitKinds(const std::string& text) {
  std::vector<std::string> kinds;
  size_t start = 0;
  while (start < text.size()) {
    size_t comma = text.find(',', start);
    if (comma == std::string::npos) comma = text.size();
    kinds.push_back(text.substr(start, comma - start));
    start = comma + 1;
  }
  return kinds;
}

void InsertInfo(Connection& db, const RunFacts& f) {
  db.prepare(
        "insert into runinfo (runkey, submission, zqgsdm, zqgsmc, datadate, senddate, fulltransfer, beginno,"
        " endno, kinds, filetype, sourcedir, targetdir, started, ended, seconds, version, completed, message)"
        " values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)")
      .bind(1, f.runKey).bind(2, naming::SubmissionCode(f.submission)).bind(3, f.companyCode).bind(4, f.companyName)
      .bind(5, f.dataDate).bind(6, f.comparisonDate).bind(7, int64_t{f.fullTransfer})
      .bind(8, int64_t{f.beginNo}).bind(9, int64_t{f.endNo}).bind(10, JoinKinds(f.kinds))
      .bind(11, f.fileType).bind(12, f.sourceDir).bind(13, f.targetDir).bind(14, f.started)
      .bind(15, f.ended).bind(16, f.seconds).bind(17, f.version).bind(18, int64_t{f.completed})
      .bind(19, f.message)
      .run();
}

RunFacts ReadInfo(const Query& q) {
  RunFacts f;
  f.runKey = q.text(0);
  f.submission = naming::SubmissionFromCode(q.text(1));
  f.companyCode = q.text(2);
  f.companyName = q.text(3);
  f.dataDate = q.text(4);
  f.comparisonDate = q.text(5);
  f.fullTransfer = q.integer(6) != 0;
  f.beginNo = static_cast<int>(q.integer(7));
  f.endNo = static_cast<int>(q.integer(8));
  f.kinds = SplitKinds(q.text(9));
  f.fileType = q.text(10);
  f.sourceDir = q.text(11);
  f.targetDir = q.text(12);
  f.started = q.text(13);
  f.ended = q.text(14);
  f.seconds = q.real(15);
  f.version = q.text(16);
  f.completed = q.integer(17) != 0;
  f.message = q.text(18);
  return f;
}

void ReadFiles(Connection& db, RunFacts& f) {
  Query q = db.prepare(
      "select fileid, groupno, filecat, filename, isexist, isok, size, mtime, sha256, records, dbfversion,"
      " codepage from runfile where runkey = ? order by fileid");
  q.bind(1, f.runKey);
  while (q.next())
    f.files.push_back({static_cast<int>(q.integer(0)), static_cast<int>(q.integer(1)), q.text(2), q.text(3),
                       static_cast<int>(q.integer(4)), static_cast<int>(q.integer(5)), q.optionalInteger(6),
                       q.text(7), q.text(8), q.optionalInteger(9), q.optionalInteger(10), q.optionalInteger(11)});
}

// The run's verdict (fileid 0) and its files'. A run kept before the
// verdicts has no rows (a store opened read-only not even the table) and
// stays Unknown.
void ReadVerdicts(Connection& db, RunFacts& f) {
  if (!HasTable(db, "runverdict")) return;
  Query q = db.prepare("select fileid, verdict, reason from runverdict where runkey = ? order by fileid");
  q.bind(1, f.runKey);
  while (q.next()) {
    const int fileid = static_cast<int>(q.integer(0));
    if (fileid == 0) {
      f.verdict = ParseVerdict(q.text(1));
      f.verdictText = q.text(2);
      continue;
    }
    for (FileFacts& file : f.files)
      if (file.fileid == fileid) {
        file.verdict = ParseVerdict(q.text(1));
        file.verdictText = q.text(2);
      }
  }
}

void ReadSkipped(Connection& db, RunFacts& f) {
  if (!HasTable(db, "runrule")) return;
  Query q = db.prepare("select fileid, errid, state, reason from runrule where runkey = ? order by seq");
  q.bind(1, f.runKey);
  while (q.next())
    f.skipped.push_back({static_cast<int>(q.integer(0)), q.text(1), ParseRuleState(q.text(2)), q.text(3)});
}

void InsertVerdicts(Connection& db, const RunFacts& f) {
  Query verdict = db.prepare("insert into runverdict (runkey, fileid, verdict, reason) values (?,?,?,?)");
  if (f.verdict != Verdict::Unknown)
    verdict.bind(1, f.runKey).bind(2, int64_t{0}).bind(3, VerdictCode(f.verdict)).bind(4, f.verdictText).run();
  for (const FileFacts& file : f.files)
    if (file.verdict != Verdict::Unknown)
      verdict.bind(1, f.runKey).bind(2, int64_t{file.fileid}).bind(3, VerdictCode(file.verdict))
          .bind(4, file.verdictText).run();
  Query rule = db.prepare("insert into runrule (runkey, seq, fileid, errid, state, reason) values (?,?,?,?,?,?)");
  int64_t seq = 0;
  for (const RuleSkip& r : f.skipped)
    rule.bind(1, f.runKey).bind(2, ++seq).bind(3, int64_t{r.fileid}).bind(4, r.errid)
        .bind(5, RuleStateCode(r.state)).bind(6, r.reason).run();
}

// A run kept before rule sets has no row (a store opened read-only not even
// the table) and keeps an empty RuleSetFacts.
void ReadRuleSet(Connection& db, RunFacts& f) {
  if (!HasTable(db, "runruleset")) return;
  Query q = db.prepare("select name, version, sha256 from runruleset where runkey = ?");
  q.bind(1, f.runKey);
  if (q.next()) f.ruleSet = {q.text(0), q.text(1), q.text(2)};
  if (HasTable(db, "runrulesetown"))
    f.ruleSet.own = db.prepare("select 1 from runrulesetown where runkey = ?").bind(1, f.runKey).next();
}

void InsertRuleSet(Connection& db, const RunFacts& f) {
  if (!f.ruleSet.known()) return;
  db.prepare("insert into runruleset (runkey, name, version, sha256) values (?,?,?,?)")
      .bind(1, f.runKey).bind(2, f.ruleSet.name).bind(3, f.ruleSet.version).bind(4, f.ruleSet.sha256)
      .run();
  if (f.ruleSet.own) db.prepare("insert into runrulesetown (runkey) values (?)").bind(1, f.runKey).run();
}

// A run kept before deleted records were counted has no rows (a store
// opened read-only not even the table): no file has a count.
void ReadDeleted(Connection& db, RunFacts& f) {
  if (!HasTable(db, "runfiledeleted")) return;
  Query q = db.prepare("select fileid, deleted from runfiledeleted where runkey = ? order by fileid");
  q.bind(1, f.runKey);
  while (q.next())
    for (FileFacts& file : f.files)
      if (file.fileid == q.integer(0)) file.deletedRecords = q.integer(1);
}

void InsertDeleted(Connection& db, const RunFacts& f) {
  Query deleted = db.prepare("insert into runfiledeleted (runkey, fileid, deleted) values (?,?,?)");
  for (const FileFacts& file : f.files)
    if (file.deletedRecords)
      deleted.bind(1, f.runKey).bind(2, int64_t{file.fileid}).bind(3, *file.deletedRecords).run();
}

// A run kept before acceptances has no rows (a store opened read-only not even the table).
void ReadAcceptances(Connection& db, RunFacts& f) {
  if (!HasTable(db, "runacceptance")) return;
  Query q = db.prepare(
      "select acceptance, use, fileid, finding, errid, records, reason, acceptedby, until, note from runacceptance"
      " where runkey = ? order by seq");
  q.bind(1, f.runKey);
  while (q.next())
    f.acceptances.push_back({q.integer(0), ParseAcceptanceUse(q.text(1)), static_cast<int>(q.integer(2)),
                             static_cast<int>(q.integer(3)), q.text(4), q.integer(5), q.text(6), q.text(7),
                             q.text(8), q.text(9)});
}

void InsertAcceptances(Connection& db, const RunFacts& f) {
  Query q = db.prepare(
      "insert into runacceptance (runkey, seq, acceptance, use, fileid, finding, errid, records, reason,"
      " acceptedby, until, note) values (?,?,?,?,?,?,?,?,?,?,?,?)");
  int64_t seq = 0;
  for (const RunAcceptance& a : f.acceptances)
    q.bind(1, f.runKey).bind(2, ++seq).bind(3, a.acceptance).bind(4, AcceptanceUseCode(a.use))
        .bind(5, int64_t{a.fileid}).bind(6, int64_t{a.finding}).bind(7, a.errid).bind(8, a.records)
        .bind(9, a.reason).bind(10, a.by).bind(11, a.until).bind(12, a.note).run();
}

void ReadPacks(Connection& db, RunFacts& f) {
  Query q = db.prepare("select archive, size, sha256 from runpack where runkey = ? order by seq");
  q.bind(1, f.runKey);
  while (q.next()) f.packs.push_back({q.text(0), q.integer(1), q.text(2)});
}

// The store exists once a run has opened it; facts are never written into a
// file that is not there (the run failed before it could create the store).
// Like every database of the home, it is kept private.
Connection OpenStore(const std::filesystem::path& storeFile) {
  Connection db(storeFile, Access::Write, kStoreWhat);
  MakeDatabasePrivate(storeFile);
  return db;
}

}  // namespace

void CreateRunFactsTables(Connection& db) { db.exec(kSchema); }

void InsertRunFacts(Connection& db, const RunFacts& f) {
  InsertInfo(db, f);
  Query file = db.prepare(
      "insert into runfile (runkey, fileid, groupno, filecat, filename, isexist, isok, size, mtime, sha256,"
      " records, dbfversion, codepage) values (?,?,?,?,?,?,?,?,?,?,?,?,?)");
  for (const FileFacts& r : f.files)
    file.bind(1, f.runKey).bind(2, int64_t{r.fileid}).bind(3, int64_t{r.groupno}).bind(4, r.filecat)
        .bind(5, r.filename).bind(6, int64_t{r.isexist}).bind(7, int64_t{r.isok}).bind(8, r.size)
        .bind(9, r.mtime).bind(10, r.sha256).bind(11, r.records).bind(12, r.dbfVersion).bind(13, r.codePage)
        .run();
  Query pack = db.prepare("insert into runpack (runkey, seq, archive, size, sha256) values (?,?,?,?,?)");
  int64_t seq = 0;
  for (const PackFacts& p : f.packs)
    pack.bind(1, f.runKey).bind(2, ++seq).bind(3, p.archive).bind(4, p.size).bind(5, p.sha256).run();
  InsertVerdicts(db, f);
  InsertRuleSet(db, f);
  InsertDeleted(db, f);
  InsertAcceptances(db, f);
}

std::optional<RunFacts> SelectRunFacts(Connection& db, const std::string& runKey) {
  Query q = db.prepare(
      "select runkey, submission, zqgsdm, zqgsmc, datadate, senddate, fulltransfer, beginno, endno, kinds,"
      " filetype, sourcedir, targetdir, started, ended, seconds, version, completed, message"
      " from runinfo where runkey = ?");
  q.bind(1, runKey);
  if (!q.next()) return std::nullopt;
  RunFacts f = ReadInfo(q);
  ReadFiles(db, f);
  ReadPacks(db, f);
  ReadVerdicts(db, f);
  ReadSkipped(db, f);
  ReadRuleSet(db, f);
  ReadDeleted(db, f);
  ReadAcceptances(db, f);
  return f;
}

void DeleteRunFacts(Connection& db, const std::string& where) {
  const std::string selected = "select runkey from runinfo" + (where.empty() ? "" : " where " + where);
  for (const char* table :
       {"runfile", "runpack", "runverdict", "runrule", "runruleset", "runrulesetown", "runfiledeleted", "runacceptance",
        "runinfo"})
    db.exec("delete from " + std::string(table) + " where runkey in (" + selected + ")");
}

void SaveLatestRunFacts(const std::filesystem::path& storeFile, const RunFacts& facts) {
  Connection db = OpenStore(storeFile);
  Transaction t(db);
  CreateRunFactsTables(db);
  DeleteRunFacts(db, "");
  InsertRunFacts(db, facts);
  t.commit();
}

void ClearLatestRunFacts(const std::filesystem::path& storeFile) {
  Connection db = OpenStore(storeFile);
  Transaction t(db);
  CreateRunFactsTables(db);
  DeleteRunFacts(db, "");
  t.commit();
}

std::optional<RunFacts> ReadLatestRunFacts(const std::filesystem::path& storeFile) {
  Connection db(storeFile, Access::Read, kStoreWhat);
  // A store of an earlier version has no facts until its first run here.
  if (!db.prepare("select 1 from sqlite_master where name = 'runinfo'").next()) return std::nullopt;
  Query latest = db.prepare("select runkey from runinfo order by id desc limit 1");
  if (!latest.next()) return std::nullopt;
  return SelectRunFacts(db, latest.text(0));
}

std::string RuleSetName(const RuleSetFacts& set) { return set.known() ? set.name + "@" + set.version : "—"; }

std::string RuleSetText(const RuleSetFacts& set) { return RuleSetName(set) + OwnSetMark(set.known() && set.own); }

std::string OwnSetMark(bool own) { return own ? "（本地规则集）" : ""; }

std::string DeletedRecordsText(int64_t count) {
  return "表中有" + std::to_string(count) + "条已删除的记录：检查和规则都不读取它们，但保留已删除记录的软件会读到";
}

const char* AcceptanceUseCode(AcceptanceUse use) {
  switch (use) {
    case AcceptanceUse::Unused: return "unused";
    case AcceptanceUse::Lapsed: return "lapsed";
    case AcceptanceUse::Applied: break;
  }
  return "applied";
}

AcceptanceUse ParseAcceptanceUse(std::string_view code) {
  for (AcceptanceUse u : {AcceptanceUse::Unused, AcceptanceUse::Lapsed})
    if (code == AcceptanceUseCode(u)) return u;
  return AcceptanceUse::Applied;
}

FileFacts ListedFileFacts(const FileRow& row) {
  FileFacts f;
  f.fileid = row.fileid;
  f.groupno = row.groupno;
  f.filecat = row.filecat;
  f.filename = row.filename;
  f.isexist = row.isexist;
  f.isok = row.isok;
  return f;
}

}  // namespace fc::store
