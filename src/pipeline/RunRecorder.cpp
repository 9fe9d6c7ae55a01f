#include "pipeline/RunRecorder.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <ctime>
#include <exception>
#include <random>

#include "dbf/Table.h"
#include "history/History.h"
#include "history/StoreFindings.h"
#include "naming/Kinds.h"
#include "pipeline/Judge.h"
#include "pipeline/Validation.h"
#include "pipeline/WorkDirs.h"
#include "platform/LocalTime.h"
#include "platform/Utf8Paths.h"
#include "settings/PrivateFiles.h"

namespace fc::pipeline {

namespace fs = std::filesystem;

namespace {

// Told once per program session, however many runs follow.
std::atomic<bool> historyFailureTold{false};

// The company's name in the store's list; empty when it is not listed or the
// store cannot answer (the facts then name the code alone).
std::string CompanyNameIn(store::Store& store, const std::string& code) {
  try {
    return store.findCompany(code).value_or("");
  } catch (const std::exception&) {
    return "";
  }
}

std::string LocalTime(std::time_t t) {
  const std::tm tm = platform::LocalTime(t);
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &tm);
  return text;
}

std::string Now() { return LocalTime(std::time(nullptr)); }

// YYYYMMDD of a "YYYY-MM-DD HH:MM:SS" time.
std::string DayOf(const std::string& time) {
  std::string day;
  for (char c : time.substr(0, 10))
    if (c != '-') day += c;
  return day;
}

// A DBF whose size its header does not account for: what lies past its
// records is the sender's choice (a sparse file of many gigabytes), and the
// check refused it on those figures alone, so its checksum would hold the
// run for nothing the check read. Such a file is listed without one.
bool SizeDisagreesWithHeader(const fs::path& file) {
  std::string error;
  std::unique_ptr<dbf::Table> table = dbf::Table::open(file, error);
  return table && !table->sizeProblem().empty();
}

std::string NewRunKey() {
  std::random_device rd;
  char key[64];
  std::snprintf(key, sizeof key, "%lld-%08x%08x", static_cast<long long>(std::time(nullptr)), rd(), rd());
  return key;
}

}  // namespace

RunRecorder::RunRecorder(const settings::AppHome& home, const RunInputs& inputs)
    : home_(home), inputs_(inputs), start_(std::chrono::steady_clock::now()) {
  inputs_.sourceDir = RunDirectory(inputs_.sourceDir);
  inputs_.targetDir = RunDirectory(inputs_.targetDir);
  store::RunFacts& f = facts_;
  f.runKey = NewRunKey();
  f.submission = inputs_.submission;
  f.companyCode = inputs_.companyCode;
  f.dataDate = inputs_.dataDate;
  f.comparisonDate = inputs_.comparisonDate;
  f.fullTransfer = inputs_.fullTransfer;
  f.beginNo = inputs_.beginNo;
  f.endNo = inputs_.endNo;
  std::span<const naming::Kind> kinds = naming::Kinds(inputs_.submission);
  for (size_t k = 0; k < kinds.size() && k < inputs_.selectedKinds.size(); ++k)
    if (inputs_.selectedKinds[k]) f.kinds.emplace_back(kinds[k].name);
  f.fileType = inputs_.checkType == CheckType::Zip ? "ZIP" : "DBF";
  f.sourceDir = inputs_.sourceDir;
  f.targetDir = inputs_.targetDir;
  f.started = Now();
  f.version = FC_VERSION;
}

void RunRecorder::storeVerified(store::Store& store) {
  storeVerified_ = true;
  // The results shown while the run works name the company too.
  facts_.companyName = CompanyNameIn(store, facts_.companyCode);
  if (!inputs_.keepFacts) return store::ClearLatestRunFacts(home_.storeFile());
  store::RunFacts begun = facts_;
  begun.verdict = store::Verdict::Incomplete;
  begun.verdictText = "未完成：检查尚未结束或中途退出";
  store::SaveLatestRunFacts(home_.storeFile(), begun);
}

// Every listed file is kept for the verdict; its size, time, checksum and
// deleted records only with the facts.
void RunRecorder::listed(const store::FileRow& row, const std::optional<CheckedFile>& found,
                         std::optional<int64_t> deleted) {
  store::FileFacts& f = facts_.files.emplace_back(store::ListedFileFacts(row));
  if (!inputs_.keepFacts) return;
  f.deletedRecords = deleted;
  if (!found || !found->identity) return;
  f.size = found->identity->size;
  constexpr int64_t kNs = 1000000000;
  const int64_t ns = found->identity->mtimeNs;
  f.mtime = LocalTime(static_cast<std::time_t>(ns / kNs - (ns % kNs < 0 ? 1 : 0)));
  if (!row.isok && inputs_.checkType == CheckType::Dbf && SizeDisagreesWithHeader(found->path)) return;
  hasher_.add(row.fileid, *found);
  if (row.isok) recordPassedTable(f, found->path);
}

// The header figures of the table the rules read: the DBF itself, or the one
// unpacked from the archive and kept in dbfdir.
void RunRecorder::recordPassedTable(store::FileFacts& f, const fs::path& source) {
  std::optional<fs::path> table = source;
  if (inputs_.checkType == CheckType::Zip) table = FindFileNoCase(home_.dbfdir(), SwapLastThree(f.filename, "DBF"));
  std::string error;
  std::unique_ptr<dbf::Table> open = table ? dbf::Table::open(*table, error) : nullptr;
  if (!open) return;
  f.records = open->recordCount();
  f.dbfVersion = open->version();
  f.codePage = open->codePageByte();
}

void RunRecorder::rulesSkipped(std::vector<store::RuleSkip> skipped) {
  facts_.skipped.insert(facts_.skipped.end(), skipped.begin(), skipped.end());
}

void RunRecorder::rulesRan(int fileid, std::vector<store::RuleSkip> leftOut) {
  rulesRan_.insert(fileid);
  rulesSkipped(std::move(leftOut));
}

void RunRecorder::packed(store::Store& store, const std::vector<PackFailure>& failed) {
  if (!inputs_.keepFacts) return;
  for (const store::FileRow& row : store.passedFiles()) {
    const bool packFailed = std::any_of(failed.begin(), failed.end(), [&](const PackFailure& f) {
      return f.source == inputs_.sourceDir + row.filename;
    });
    if (packFailed) continue;
    const std::string name = SwapLastThree(row.filename, "ZIP");
    std::error_code ec;
    const fs::path archive = platform::PathFromUtf8(inputs_.targetDir) / platform::PathFromUtf8(name);
    const auto size = fs::file_size(archive, ec);
    if (ec) continue;
    // Packs are hashed with the listed files, under ids below zero.
    hasher_.add(-static_cast<int>(facts_.packs.size()) - 1, CheckedFile::At(archive));
    facts_.packs.push_back({name, static_cast<int64_t>(size), ""});
  }
}

const Checksums& RunRecorder::checksums() {
  if (!checksums_) checksums_ = hasher_.finish();
  return *checksums_;
}

std::optional<fs::path> RunRecorder::changedFile() {
  if (!inputs_.keepFacts || checksums().changed.empty()) return std::nullopt;
  return checksums().changed.front();
}

void RunRecorder::finish(RunOutcome& outcome, RunObserver& observer) {
  facts_.ended = Now();
  facts_.seconds =
      std::max(std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count() - waited_, 0.0);
  facts_.completed = outcome.completed;
  facts_.message = outcome.error;
  std::unique_ptr<store::Store> store = openVerifiedStore();
  std::vector<history::Finding> findings;
  try {
    if (store) findings = history::LatestFindings(*store);
  } catch (const std::exception&) {
    // The run has reported the store's failure; the verdict cannot be a pass.
    facts_.completed = false;
  }
  std::stable_sort(facts_.skipped.begin(), facts_.skipped.end(),
                   [](const store::RuleSkip& a, const store::RuleSkip& b) { return a.fileid < b.fileid; });
  const Weighed weighed = weigh(store.get(), findings);
  judge(facts_, findings, weighed);
  outcome.verdict = facts_.verdict;
  outcome.verdictText = facts_.verdictText;
  if (!inputs_.keepFacts) return;
  keepAcceptances(weighed);
  const std::map<int, std::string>& sums = checksums().sums;
  auto sumOf = [&](int id) { return sums.count(id) ? sums.at(id) : std::string(); };
  for (store::FileFacts& f : facts_.files) f.sha256 = sumOf(f.fileid);
  for (size_t i = 0; i < facts_.packs.size(); ++i) facts_.packs[i].sha256 = sumOf(-static_cast<int>(i) - 1);
  saveFacts(store.get());
  appendHistory(std::move(findings), observer);
}

namespace {

// The keys of the records kept behind `r`, their real values (an acceptance
// names a record as it is), and as the verdict may name them, masked as the
// history masks; none when the store cannot give them.
void ReadKeys(store::Store& store, const accept::RuleTerms& terms, accept::RunFinding& r) {
  const std::optional<store::FindingRecords> kept = store.readFindingRecords(r.fileid, r.finding, privacy::Masking::Off);
  if (!kept) return;
  for (const store::FindingRecords::Record& record : kept->records) {
    r.keys.push_back(terms.keys.keyOf(kept->table, kept->fields, record.values));
    r.shown.push_back(
        terms.keys.keyOf(kept->table, kept->fields, record.values, privacy::Masking::NumbersAndNames).value_or(""));
  }
}

}  // namespace

// A home without acceptances, or whose acceptances cannot be read, covers
// nothing: the run is judged as if there were none, never as if they covered.
RunRecorder::Weighed RunRecorder::weigh(store::Store* store, const std::vector<history::Finding>& findings) const {
  Weighed weighed;
  if (!terms_ || settings::EntryAt(accept::AcceptancesFile(home_.home)) == settings::HomeEntry::Missing) return weighed;
  try {
    weighed.book = accept::Acceptances::open(home_.home)->list();
    std::set<std::string> keyedRules;  // only these need the records' keys
    for (const accept::Acceptance& a : weighed.book)
      if (!a.allRecords() && a.state == accept::State::InForce) keyedRules.insert(a.rule);
    std::vector<accept::RunFinding> run;
    for (const history::Finding& f : findings) {
      accept::RunFinding& r = run.emplace_back(accept::RunFinding{f.fileid, f.finding, f.errid, f.total, {}});
      if (store && keyedRules.count(f.errid) && terms_->digestOf(f.errid)) ReadKeys(*store, *terms_, r);
    }
    const accept::CoverContext context{facts_.submission, facts_.companyCode, DayOf(facts_.started), &*terms_};
    weighed.coverage = accept::Cover(weighed.book, run, context);
  } catch (const std::exception&) {
    return {};
  }
  return weighed;
}

void RunRecorder::judge(store::RunFacts& facts, const std::vector<history::Finding>& findings,
                        const Weighed& weighed) const {
  RunTally tally;
  for (size_t i = 0; i < findings.size(); ++i) {
    const history::Finding& f = findings[i];
    RunTally::Finding& t = tally.findings.emplace_back(RunTally::Finding{f.fileid, f.total, f.errid});
    t.rule = terms_ && terms_->digestOf(f.errid);
    if (i >= weighed.coverage.findings.size()) continue;
    t.accepted = weighed.coverage.findings[i].covered;
    t.uncovered = weighed.coverage.findings[i].why;
  }
  tally.rulesRan = rulesRan_;
  Judge(facts, tally);
}

// The lapses into the home's log, and what the run weighed into its facts.
void RunRecorder::keepAcceptances(const Weighed& weighed) {
  auto find = [&](int64_t id) {
    return std::find_if(weighed.book.begin(), weighed.book.end(), [&](const accept::Acceptance& a) { return a.id == id; });
  };
  auto use = [&](int64_t id, store::AcceptanceUse how) {
    const accept::Acceptance& a = *find(id);
    return store::RunAcceptance{id, how, 0, 0, a.rule, 0, a.reason, a.by, accept::DayText(a.until)};
  };
  for (const accept::FindingCover& c : weighed.coverage.findings)
    for (const auto& [id, records] : c.acceptances) {
      store::RunAcceptance& applied = facts_.acceptances.emplace_back(use(id, store::AcceptanceUse::Applied));
      applied.fileid = c.fileid;
      applied.finding = c.finding;
      applied.records = records;
    }
  for (int64_t id : weighed.coverage.unused) facts_.acceptances.push_back(use(id, store::AcceptanceUse::Unused));
  for (const accept::Lapse& l : weighed.coverage.lapses)
    facts_.acceptances.emplace_back(use(l.acceptance, store::AcceptanceUse::Lapsed)).note = l.reason;
  if (weighed.coverage.lapses.empty()) return;
  try {
    std::unique_ptr<accept::Acceptances> book = accept::Acceptances::open(home_.home);
    for (const accept::Lapse& l : weighed.coverage.lapses) book->lapse(l.acceptance, l.reason, facts_.ended);
  } catch (const std::exception&) {
    // The run's facts say they lapsed; the next run finds them ended again.
  }
}

PackQuestion RunRecorder::packQuestion(store::Store& store) const {
  store::RunFacts facts = facts_;
  facts.completed = true;  // every check is done; only packing is left
  const std::vector<history::Finding> findings = history::LatestFindings(store);
  judge(facts, findings, weigh(&store, findings));
  PackQuestion question{facts.verdict, facts.verdictText, {}};
  for (const store::FileRow& row : store.passedFiles()) {
    const bool found = std::any_of(findings.begin(), findings.end(),
                                   [&](const history::Finding& f) { return f.fileid == row.fileid; });
    if (found) question.tablesWithFindings.push_back(row.filename);
  }
  return question;
}

// The store the run verified, or null. A store that failed the run has told
// the operator already, so a second failure here is not repeated.
std::unique_ptr<store::Store> RunRecorder::openVerifiedStore() const {
  if (!storeVerified_) return nullptr;
  try {
    return store::Store::open(home_.home, home_.data);
  } catch (const std::exception&) {
    return nullptr;
  }
}

// The facts belong with the results they describe, so they go only into a
// store the run verified.
void RunRecorder::saveFacts(store::Store* store) {
  if (!store) return;
  try {
    facts_.companyName = CompanyNameIn(*store, facts_.companyCode);
    store::SaveLatestRunFacts(home_.storeFile(), facts_);
  } catch (const std::exception&) {
  }
}

void RunRecorder::appendHistory(std::vector<history::Finding> findings, RunObserver& observer) {
  history::Run run{0, facts_, std::move(findings)};
  try {
    history::History::open(home_.home)->append(run);
  } catch (const std::exception& e) {
    if (!historyFailureTold.exchange(true)) observer.message(MessageKind::Information, kHistoryFailedMessage + std::string(e.what()));
  }
}

}  // namespace fc::pipeline
