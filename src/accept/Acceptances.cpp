#include "accept/Acceptances.h"

#include <optional>

#include "store/Sqlite.h"

namespace fc::accept {

namespace fs = std::filesystem;

namespace {

constexpr const char* kWhat = "接受记录库";

// Rows are only ever added: the triggers refuse any change to what was written.
constexpr const char* kSchema = R"(
create table if not exists acceptance (
  id integer primary key, submission text not null, companycode text not null, errid text not null,
  keys text not null, atmost integer not null, reason text not null, acceptedby text not null,
  acceptedat text not null, until text not null, rulesha256 text not null);
create table if not exists acceptancelog (
  seq integer primary key autoincrement, acceptance integer not null, event text not null,
  who text not null, reason text not null, at text not null);
create trigger if not exists acceptance_kept before update on acceptance begin select raise(abort, '接受记录不可修改'); end;
create trigger if not exists acceptance_kept_delete before delete on acceptance begin select raise(abort, '接受记录不可删除'); end;
create trigger if not exists acceptancelog_kept before update on acceptancelog begin select raise(abort, '接受日志不可修改'); end;
create trigger if not exists acceptancelog_kept_delete before delete on acceptancelog begin select raise(abort, '接受日志不可删除'); end;
)";

// Keys are stored one a line: a key is a record's field values, which hold no line break.
std::string JoinKeys(const std::vector<std::string>& keys) {
  std::string text;
  for (const std::string& k : keys) text += (text.empty() ? "" : "\n") + k;
  return text;
}

std::vector<std::string> SplitKeys(const std::string& text) {
  std::vector<std::string> keys;
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size());
    keys.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return keys;
}

Event ParseEvent(const std::string& code) {
  for (Event e : {Event::Withdrawn, Event::Lapsed})
    if (code == EventCode(e)) return e;
  return Event::Added;
}

}  // namespace

fs::path AcceptancesFile(const fs::path& home) { return home / kAcceptancesFileName; }

const char* StateCode(State state) {
  switch (state) {
    case State::Withdrawn: return "withdrawn";
    case State::Lapsed: return "lapsed";
    case State::InForce: break;
  }
  return "inforce";
}

const char* StateWord(State state) {
  switch (state) {
    case State::Withdrawn: return "已撤销";
    case State::Lapsed: return "已失效";
    case State::InForce: break;
  }
  return "有效";
}

const char* EventCode(Event event) {
  switch (event) {
    case Event::Withdrawn: return "withdrawn";
    case Event::Lapsed: return "lapsed";
    case Event::Added: break;
  }
  return "added";
}

const char* EventWord(Event event) {
  switch (event) {
    case Event::Withdrawn: return "撤销";
    case Event::Lapsed: return "失效";
    case Event::Added: break;
  }
  return "接受";
}

Acceptances::Acceptances(std::unique_ptr<store::Connection> db) : db_(std::move(db)) {}
Acceptances::~Acceptances() = default;

std::unique_ptr<Acceptances> Acceptances::open(const fs::path& home) {
  const fs::path file = AcceptancesFile(home);
  store::RequireOrdinaryFile(file, kWhat);
  auto db = std::make_unique<store::Connection>(file, store::Access::Create, kWhat);
  db->exec("pragma journal_mode=wal; pragma synchronous=full");
  store::Transaction t(*db);
  db->exec(kSchema, "建立接受记录表");
  t.commit();
  return std::unique_ptr<Acceptances>(new Acceptances(std::move(db)));
}

int64_t Acceptances::add(const Acceptance& a) {
  store::Transaction t(*db_, "记下接受");
  db_->prepare("insert into acceptance (submission, companycode, errid, keys, atmost, reason, acceptedby, acceptedat, "
               "until, rulesha256) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
               "记下接受")
      .bind(1, naming::SubmissionCode(a.submission))
      .bind(2, a.companyCode)
      .bind(3, a.rule)
      .bind(4, JoinKeys(a.keys))
      .bind(5, a.atMost)
      .bind(6, a.reason)
      .bind(7, a.by)
      .bind(8, a.at)
      .bind(9, a.until)
      .bind(10, a.ruleSha256)
      .run();
  const int64_t id = db_->lastInsertId();
  db_->prepare("insert into acceptancelog (acceptance, event, who, reason, at) values (?, 'added', ?, ?, ?)", "记下接受")
      .bind(1, id)
      .bind(2, a.by)
      .bind(3, a.reason)
      .bind(4, a.at)
      .run();
  t.commit();
  return id;
}

bool Acceptances::withdraw(int64_t id, const std::string& by, const std::string& reason, const std::string& at) {
  store::Transaction t(*db_, "撤销接受");
  bool inForce = false;
  for (const Acceptance& a : list()) inForce = inForce || (a.id == id && a.state == State::InForce);
  if (!inForce) return false;
  db_->prepare("insert into acceptancelog (acceptance, event, who, reason, at) values (?, 'withdrawn', ?, ?, ?)", "撤销接受")
      .bind(1, id)
      .bind(2, by)
      .bind(3, reason)
      .bind(4, at)
      .run();
  t.commit();
  return true;
}

void Acceptances::lapse(int64_t id, const std::string& reason, const std::string& at) {
  store::Transaction t(*db_, "记下接受失效");
  if (db_->prepare("select 1 from acceptancelog where acceptance = ? and event <> 'added'").bind(1, id).next()) return;
  db_->prepare("insert into acceptancelog (acceptance, event, who, reason, at) values (?, 'lapsed', ?, ?, ?)", "记下接受失效")
      .bind(1, id)
      .bind(2, kProgramName)
      .bind(3, reason)
      .bind(4, at)
      .run();
  t.commit();
}

std::vector<Acceptance> Acceptances::list() {
  std::vector<Acceptance> all;
  for (store::Query q = db_->prepare("select id, submission, companycode, errid, keys, atmost, reason, acceptedby, "
                                     "acceptedat, until, rulesha256 from acceptance order by id");
       q.next();)
    all.push_back({q.integer(0), naming::SubmissionFromCode(q.text(1)), q.text(2), q.text(3), SplitKeys(q.text(4)),
                   q.integer(5), q.text(6), q.text(7), q.text(8), q.text(9), q.text(10)});
  for (const LogEntry& e : log()) {
    if (e.event == Event::Added) continue;
    for (Acceptance& a : all)
      if (a.id == e.acceptance && a.state == State::InForce) {
        a.state = e.event == Event::Withdrawn ? State::Withdrawn : State::Lapsed;
        a.stateReason = e.reason;
      }
  }
  return all;
}

std::vector<LogEntry> Acceptances::log() {
  std::vector<LogEntry> entries;
  for (store::Query q = db_->prepare("select acceptance, event, who, reason, at from acceptancelog order by seq"); q.next();)
    entries.push_back({q.integer(0), ParseEvent(q.text(1)), q.text(2), q.text(3), q.text(4)});
  return entries;
}

}  // namespace fc::accept
