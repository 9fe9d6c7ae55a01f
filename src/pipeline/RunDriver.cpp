#include "pipeline/RunDriver.h"

#include <array>
#include <chrono>
#include <exception>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "accept/RuleTerms.h"
#include "dbf/Table.h"
#include "naming/FileNames.h"
#include "naming/InterfaceLayouts.h"
#include "naming/Kinds.h"
#include "pipeline/ArchiveIntake.h"
#include "pipeline/Packaging.h"
#include "pipeline/RunRecorder.h"
#include "pipeline/SourceFiles.h"
#include "pipeline/StructureCheck.h"
#include "pipeline/Validation.h"
#include "pipeline/WorkDirs.h"
#include "platform/Utf8Paths.h"
#include "query/Session.h"
#include "parallel/Parallel.h"
#include "rules/GroupCheck.h"
#include "rules/LeftOut.h"
#include "rules/RuleBook.h"
#include "ruleset/RuleSets.h"
#include "settings/HomeLock.h"
#include "settings/PrivateFiles.h"
#include "store/Store.h"
#include "text/Text.h"

namespace fc::pipeline {

namespace fs = std::filesystem;

namespace {

// A failure that ends the run, with the text the operator is shown.
class RunFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The operator asked the run to stop (StopRequest).
class RunStopped : public std::runtime_error {
 public:
  RunStopped() : std::runtime_error(kStoppedMessage) {}
};

// Why the run stops when another program rewrites, truncates or replaces a
// file while the run checks it (an export still being written): results
// read from such a file would belong to no version of it.
std::string ChangedMessage(const fs::path& file) {
  return "文件" + platform::Utf8Of(file) + "在检查过程中被改动，请等文件生成完毕后重新检查。";
}

// The finding of several files that Windows names alike, naming them; it
// says what their names differ in.
std::string TwinsText(const std::vector<fs::path>& files) {
  std::string names;
  bool caseAlone = true;
  const std::string first = platform::Utf8Of(files.front().filename());
  for (const fs::path& file : files) {
    const std::string name = platform::Utf8Of(file.filename());
    caseAlone = caseAlone && text::EqualsNoCase(name, first);
    names += (names.empty() ? "" : "、") + name;
  }
  const char* differ = caseAlone ? "字母大小写" : "字母大小写或末尾的点、空格";
  return "有多个文件名只是" + std::string(differ) + "不同的文件：" + names + "，无法确定应检查哪一个";
}

// The records marked deleted that the structure check counted in a listed
// file's table; none for a table that holds none or was not read.
std::optional<int64_t> DeletedRecordsOf(const StructureContext& structure, int fileid) {
  const auto counted = structure.deletedRecords.find(fileid);
  if (counted == structure.deletedRecords.end()) return std::nullopt;
  return counted->second;
}

// "YYYYMMDD" as "YYYY/MM/DD".
std::string SlashedDate(const std::string& date) {
  if (date.size() != 8) return date;
  return date.substr(0, 4) + "/" + date.substr(4, 2) + "/" + date.substr(6, 2);
}

// Reports the time from its making to its end as one phase of the run;
// a phase cut short by a failure is not reported.
class PhaseTimer {
 public:
  PhaseTimer(RunObserver& observer, std::string phase)
      : observer_(observer), phase_(std::move(phase)), unwinding_(std::uncaught_exceptions()),
        start_(std::chrono::steady_clock::now()) {}
  ~PhaseTimer() {
    if (std::uncaught_exceptions() != unwinding_) return;
    observer_.timed(phase_, std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count());
  }
  PhaseTimer(const PhaseTimer&) = delete;
  PhaseTimer& operator=(const PhaseTimer&) = delete;

 private:
  RunObserver& observer_;
  std::string phase_;
  int unwinding_;
  std::chrono::steady_clock::time_point start_;
};

// Fails the run when `file` is no longer what its check opened.
void ExpectUnchanged(const CheckedFile& file) {
  if (!file.unchanged()) throw RunFailure(ChangedMessage(file.path));
}

// Why the run stops when a second spelling of a checked file's name turns
// up in the source directory while the run works: which of the two is
// meant to be sent is not for the run to guess.
std::string TwinMessage(const fs::path& file, const fs::path& twin) {
  return "文件" + platform::Utf8Of(file) + "在检查过程中出现了只是字母大小写不同的同名文件" +
         platform::Utf8Of(twin.filename()) + "，请确认应报送哪一个后重新检查。";
}

// Passes every call on to the run's observer, and leaves the time the
// operator takes to answer a question or close a message out of the run's
// time (用时 counts the check, not the wait).
class OperatorWaits : public RunObserver {
 public:
  OperatorWaits(RunObserver& observer, RunRecorder& recorder) : observer_(observer), recorder_(recorder) {}
  void status(const std::string& text) override { observer_.status(text); }
  void progress(int current, int total) override { observer_.progress(current, total); }
  void timed(const std::string& phase, double seconds) override { observer_.timed(phase, seconds); }
  bool askPack(const PackQuestion& question) override {
    return waitFor([&] { return observer_.askPack(question); });
  }
  void message(MessageKind kind, const std::string& text) override {
    waitFor([&] { observer_.message(kind, text); return true; });
  }
  // Passed on whole: the observer may show the archives its own way.
  void packed(const PackReport& report) override {
    waitFor([&] { observer_.packed(report); return true; });
  }

 private:
  template <typename Ask>
  bool waitFor(Ask&& ask) {
    const auto start = std::chrono::steady_clock::now();
    const bool answer = ask();
    recorder_.waited(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    return answer;
  }

  RunObserver& observer_;
  RunRecorder& recorder_;
};

struct KindSlot {
  bool present = false;  // the kind's file of this group passed its checks
  int fileId = 0;        // and has this fileid
};
using GroupSlots = std::array<KindSlot, naming::kMostKinds>;  // by kind index

class Run {
 public:
  Run(const settings::AppHome& home, const RunInputs& inputs, const ruleset::RuleSet& set, RunObserver& observer,
      RunRecorder& recorder, const StopRequest& stop)
      : home_(home), in_(inputs), set_(set), rules_(set.rules), observer_(observer), recorder_(recorder), stop_(stop),
        kinds_(naming::Kinds(inputs.submission)) {
    in_.sourceDir = RunDirectory(in_.sourceDir);
    in_.targetDir = RunDirectory(in_.targetDir);
  }

  void execute() {
    observer_.status("开始文件结构检查......");
    store_ = store::Store::open(home_.home, home_.data);
    store_->setPersonalFields(set_.layouts.personalFields());
    if (std::optional<std::string> unreadable = UnreadableDirText(in_.sourceDir)) throw RunFailure(*unreadable);
    store_->clearRun();
    recorder_.storeVerified(*store_);
    for (const fs::path& dir : {home_.workdir(), home_.dbfdir(), home_.lchkdir()}) {
      std::string error;
      if (!PrepareWorkDir(dir, error)) throw RunFailure(error);
    }
    RemoveArchiveStaging(home_.workdir());
    StructureContext structure{set_.layouts, *store_, in_.dataDate, parallel::ThreadCount(in_.threads)};
    {
      PhaseTimer timer(observer_, "listing");
      listFiles(structure);
    }
    for (int group : groups()) checkGroupLogic(group);
    emptyWorkDirs();
    if (in_.checkType == CheckType::Dbf && observer_.askPack(recorder_.packQuestion(*store_))) {
      stopPoint();
      pack();
    }
    expectSourcesAsChecked();
    if (anyPassed_) {
      observer_.status("文件检查完毕,请查看检查结果");
      return;
    }
    observer_.message(MessageKind::Information, "没有" + SlashedDate(in_.dataDate) + "的数据文件");
    observer_.status("");
  }

  // After a failure or a stop: drop the unfinished file row, leave nothing
  // behind, and record the rules that were not reached.
  void abandon() {
    for (const auto& [fileId, kind] : passedKinds_)
      if (!recorder_.rulesRanOn(fileId)) recorder_.rulesSkipped(rulesNotRun(kind, fileId, "检查中途停止"));
    if (rowOpen_ && store_) {
      try {
        store_->abandonFile();
      } catch (const std::exception&) {
        // The store has failed already; its own rollback drops the row.
      }
    }
    emptyWorkDirs();
  }

  bool anyPassed() const { return anyPassed_; }

  int listedFileCount() const {
    long long n = 0;
    for (size_t k = 0; k < kinds_.size(); ++k) n += selected(k) ? 1 : 0;
    return static_cast<int>(std::min<long long>(n * groups().size(), kMaxListedFiles + 1LL));
  }

 private:
  // The source directory, kept as UTF-8 text, as a path.
  fs::path sourceDir() const { return platform::PathFromUtf8(in_.sourceDir); }

  // A safe point: nothing is half-written here, so a requested stop ends the run.
  void stopPoint() const {
    if (stop_.requested()) throw RunStopped();
  }

  bool selected(size_t kind) const { return kind < in_.selectedKinds.size() && in_.selectedKinds[kind]; }

  std::vector<int> groups() const {
    if (in_.submission == Submission::Identity) return {0};
    std::vector<int> groups;
    for (long long n = in_.beginNo; n <= in_.endNo; ++n) groups.push_back(static_cast<int>(n));
    return groups;
  }

  struct Expected {
    size_t kind;
    int group;
    std::string name;
  };

  // Kind by kind, group by group: the files the run expects.
  std::vector<Expected> expectedFiles() const {
    std::vector<Expected> files;
    for (size_t k = 0; k < kinds_.size(); ++k) {
      if (!selected(k)) continue;
      const std::string& date = kinds_[k].comparisonDate ? in_.comparisonDate : in_.dataDate;
      for (int group : groups())
        files.push_back({k, group,
                         naming::ExpectedFileName(in_.submission, static_cast<int>(k), in_.fullTransfer,
                                                  in_.companyCode, date, group, in_.checkType)});
    }
    return files;
  }

  // One filelist row per expected file, in that order.
  void listFiles(StructureContext& structure) {
    std::vector<Expected> files = expectedFiles();
    std::unique_ptr<ArchivePrefetch> prefetch;
    if (in_.checkType == CheckType::Zip) {
      std::vector<fs::path> archives;
      for (const Expected& f : files)
        if (std::vector<fs::path> found = FilesNamedAlike(sourceDir(), f.name); found.size() == 1)
          archives.push_back(found[0]);
      prefetch = std::make_unique<ArchivePrefetch>(home_.workdir(), std::move(archives));
    }
    int total = static_cast<int>(files.size());
    int fileNo = 0;
    for (const Expected& f : files) {
      stopPoint();
      observer_.progress(++fileNo, total);
      const store::FileRow row = listFile(
          structure, kinds_[f.kind], {fileNo, f.group, std::string(kinds_[f.kind].filecat), f.name, 0, 0, {}},
          prefetch.get());
      if (row.isok)
        passedKinds_[fileNo] = f.kind;
      else
        recorder_.rulesSkipped(rulesNotRun(f.kind, fileNo, row.isexist ? "文件未通过结构检查" : "文件不存在"));
    }
  }

  // Lists one expected file: its checks, its fileerr rows and its filelist row.
  store::FileRow listFile(StructureContext& structure, const naming::Kind& kind, store::FileRow row,
                ArchivePrefetch* prefetch) {
    store_->beginFile();
    rowOpen_ = true;
    std::optional<CheckedFile> checked;
    if (std::optional<fs::path> file = FindFileNoCase(sourceDir(), row.filename)) {
      PhaseTimer timer(observer_, "check " + std::string(kind.name));
      row.isexist = 1;
      observer_.status("开始文件" + in_.sourceDir + row.filename + "结构检查......");
      checked = CheckedFile::At(*file);
      const FileOutcome outcome = checkFile(structure, row, *file, prefetch);
      if (outcome == kFilePassed) {
        row.isok = 1;
        row.dbftype = keepPassedTable(row.filename, *file);
        checked_[row.fileid] = *checked;
      }
      ExpectUnchanged(*checked);
    }
    store_->insertFile(row);
    rowOpen_ = false;
    recorder_.listed(row, checked, DeletedRecordsOf(structure, row.fileid));
    return row;
  }

  // The checks of a listed file that exists as `file`. Two names of it that
  // Windows takes for one (letter case, trailing dots and blanks, on a file
  // system that tells them apart) fail it with a finding naming them: which
  // one the sender meant is not for the check to guess, and the other would
  // go unchecked, or, on Windows, unseen.
  FileOutcome checkFile(StructureContext& structure, const store::FileRow& row, const fs::path& file,
                        ArchivePrefetch* prefetch) {
    const std::vector<fs::path> spellings = FilesNamedAlike(sourceDir(), row.filename);
    if (spellings.size() > 1) {
      WriteFindings(*store_, row.fileid, {{FileProblem::CannotCheck, TwinsText(spellings)}});
      return kStructureProblems;
    }
    try {
      return in_.checkType == CheckType::Zip
                 ? CheckZipFile(structure, home_.workdir(), file, row.filename, row.fileid, prefetch)
                 : RecordStructureCheck(structure, file, row.fileid);
    } catch (const dbf::TableChanged&) {
      throw RunFailure(ChangedMessage(file));
    }
  }

  // The passed table's type; an unpacked table is kept in dbfdir for the
  // logic phase, because workdir is emptied by the next archive.
  int keepPassedTable(const std::string& fileName, const fs::path& file) {
    if (in_.checkType == CheckType::Dbf) return dbf::VersionByte(file);
    std::string dbfName = SwapLastThree(fileName, "DBF");
    std::optional<fs::path> unpacked = FindFileNoCase(home_.workdir(), dbfName);
    if (!unpacked) return -1;
    int type = dbf::VersionByte(*unpacked);
    LinkOrCopyFile(*unpacked, home_.dbfdir() / platform::PathFromUtf8(dbfName));
    return type;
  }

  // The identity submission is one group whose names carry no sequence number.
  std::vector<store::FileRow> passedFilesOf(int group) const {
    if (in_.submission == Submission::Identity) return store_->passedIdentityFiles();
    return store_->passedFiles(group);
  }

  // The group's passed tables go into lchkdir under their kind names.
  void checkGroupLogic(int group) {
    stopPoint();
    EmptyWorkDir(home_.lchkdir());
    GroupSlots slots{};
    bool found = false;
    {
      PhaseTimer timer(observer_, "copying");
      found = placeGroupTables(group, slots);
    }
    if (found) runRules(group, slots);
    expectUnchanged(slots);
  }

  // The group's tables are still those their checks opened.
  void expectUnchanged(const GroupSlots& slots) const {
    for (const KindSlot& slot : slots)
      if (slot.present) ExpectUnchanged(checked_.at(slot.fileId));
  }

  // The source file of `placed`, a table the rules read in lchkdir.
  fs::path sourceOf(const fs::path& placed, const GroupSlots& slots) const {
    for (size_t k = 0; k < kinds_.size(); ++k)
      if (slots[k].present && text::EqualsNoCase(platform::Utf8Of(placed.stem()), kinds_[k].name))
        return checked_.at(slots[k].fileId).path;
    return placed;
  }

  // Places the group's passed tables in lchkdir; true when there is one.
  bool placeGroupTables(int group, GroupSlots& slots) {
    bool found = false;
    for (const store::FileRow& row : passedFilesOf(group)) {
      found = anyPassed_ = true;
      std::optional<int> k = naming::FindKindByFilecat(in_.submission, row.filecat);
      if (!k) continue;
      slots[*k] = {true, row.fileid};
      const CheckedFile& checked = checked_.at(row.fileid);
      ExpectUnchanged(checked);
      // A DBF type's table is the checked file itself, never looked up by name again.
      std::optional<fs::path> table = in_.checkType == CheckType::Zip
                                          ? FindFileNoCase(home_.dbfdir(), SwapLastThree(row.filename, "DBF"))
                                          : checked.path;
      if (table) LinkOrCopyFile(*table, home_.lchkdir() / (std::string(kinds_[*k].name) + ".DBF"));
    }
    return found;
  }

  void runRules(int group, const GroupSlots& slots) {
    bool identity = in_.submission == Submission::Identity;
    observer_.status(identity ? "检查序数据文件逻辑......"
                              : "检查序号为" + text::CountText(group) + "的文件数据逻辑......");
    query::Session session;
    std::string error;
    bool opened = false;
    {
      PhaseTimer timer(observer_, "session");
      opened = session.open(home_.lchkdir(), error);
    }
    if (!opened) {
      rulesProgressed(static_cast<int>(std::count_if(slots.begin(), slots.end(), [](const KindSlot& s) { return s.present; })));
      expectUnchanged(slots);  // a table that changed is the better answer
      observer_.message(MessageKind::Plain, error);
      session.close();
      for (size_t k = 0; k < kinds_.size(); ++k)
        if (slots[k].present)
          recorder_.rulesRan(slots[k].fileId, rulesNotRun(k, slots[k].fileId, "数据表无法打开：" + error));
      return;
    }
    rules::RuleContext ctx{session, store_.get(), rules_, in_.companyCode, in_.dataDate, in_.keepRecords, in_.recordsLimit};
    rules::GroupCheck check(ctx);
    std::vector<size_t> kinds;  // of the tables added, in order
    for (size_t k = 0; k < kinds_.size(); ++k) {
      if (!slots[k].present) continue;
      check.addTable(in_.submission, k, inputsOf(k, slots), slots[k].fileId);
      kinds.push_back(k);
    }
    stopPoint();
    rulesProgressed(0);
    {
      PhaseTimer timer(observer_, "rules");
      std::mutex reporting;  // the tables are answered on the rule threads
      check.evaluate(
          parallel::ThreadCount(in_.threads),
          [&](size_t) {
            std::lock_guard lock(reporting);
            rulesProgressed(1);
          },
          [&] { return stop_.requested(); });
    }
    stopPoint();  // a stop may have left answers undone: nothing of them is written
    for (size_t i = 0; i < kinds.size(); ++i) {
      stopPoint();
      std::string kind(kinds_[kinds[i]].name);
      observer_.status(identity ? "检查" + kind + "文件数据逻辑......"
                                : "检查序号为" + text::CountText(group) + "的" + kind + "文件数据逻辑......");
      try {
        check.write(i);
      } catch (const query::QueryError& e) {
        expectUnchanged(slots);
        throw RunFailure("检查" + kind + "文件数据逻辑时查询失败：" + e.what());
      } catch (const dbf::TableChanged& e) {
        throw RunFailure(ChangedMessage(sourceOf(e.file(), slots)));
      }
      observer_.timed("rules " + kind, check.seconds(i));
      recorder_.rulesRan(slots[kinds[i]].fileId, leftOut(kinds[i], slots));
    }
    session.close();
  }

  // Every rule of kind k's table, on the file `fileId`, not run for `reason`.
  std::vector<store::RuleSkip> rulesNotRun(size_t k, int fileId, const std::string& reason) const {
    return rules::RulesNotRun(rules_, in_.submission, k, fileId, in_.fullTransfer, reason);
  }

  // What the rules of the group's table of kind index k are checked against:
  // where each kind's table of the group stands, and the transfer mode.
  rules::RuleInputs inputsOf(size_t k, const GroupSlots& slots) const {
    std::vector<rules::CrossTable> group;
    for (size_t kind = 0; kind < kinds_.size(); ++kind) {
      if (!selected(kind)) group.push_back(rules::CrossTable::NotChosen);
      else group.push_back(slots[kind].present ? rules::CrossTable::Passed : rules::CrossTable::Unavailable);
    }
    return rules::InputsOf(in_.submission, k, group, in_.fullTransfer);
  }

  // `tables` more passed tables have had their rules answered: the rule
  // phase's progress, over every passed table of the run.
  void rulesProgressed(int tables) {
    rulesAnswered_ += tables;
    observer_.progress(rulesAnswered_, static_cast<int>(passedKinds_.size()));
  }

  // The rules of table k that its inputs leave out.
  std::vector<store::RuleSkip> leftOut(size_t k, const GroupSlots& slots) const {
    return rules::RulesLeftOut(rules_, in_.submission, k, slots[k].fileId, inputsOf(k, slots));
  }

  void pack() {
    if (in_.targetDir.empty()) {
      observer_.message(MessageKind::Information, "ZIP生成目录不能为空");
      return;
    }
    for (const auto& [fileId, file] : checked_) ExpectUnchanged(file);
    PhaseTimer timer(observer_, "packing");
    // A table that changed is refused here; expectSourcesAsChecked() then ends the run naming it.
    recorder_.packed(*store_, PackPassedFiles(*store_, checked_, in_.sourceDir, in_.targetDir, observer_).failures);
  }

  // As the run ends: every passed file is still the one checked, and no
  // name has gained a second spelling since it was listed (one listing of
  // the source directory), so what the results describe is what lies there.
  void expectSourcesAsChecked() const {
    for (const auto& [fileId, file] : checked_) ExpectUnchanged(file);
    std::map<std::string, fs::path> passed;  // by name in upper case
    for (const auto& [fileId, file] : checked_) passed.emplace(text::ToUpper(platform::Utf8Of(file.path.filename())), file.path);
    std::error_code ec;
    for (fs::directory_iterator it(sourceDir(), ec), end; !ec && it != end; it.increment(ec)) {
      const auto found = passed.find(text::ToUpper(platform::Utf8Of(it->path().filename())));
      std::error_code typeEc;
      if (found != passed.end() && it->path().filename() != found->second.filename() && it->is_regular_file(typeEc))
        throw RunFailure(TwinMessage(found->second, it->path()));
    }
  }

  void emptyWorkDirs() {
    EmptyWorkDir(home_.lchkdir());
    EmptyWorkDir(home_.workdir());
    EmptyWorkDir(home_.dbfdir());
  }

  const settings::AppHome& home_;
  RunInputs in_;
  const ruleset::RuleSet& set_;  // the interface agreement and the rules that judge this run
  const rules::RuleBook& rules_;
  RunObserver& observer_;
  RunRecorder& recorder_;
  const StopRequest& stop_;
  std::span<const naming::Kind> kinds_;
  std::unique_ptr<store::Store> store_;
  std::map<int, CheckedFile> checked_;  // passed files by fileid, as their checks read them
  std::map<int, size_t> passedKinds_;   // the kind index of each passed file, by fileid
  int rulesAnswered_ = 0;               // passed tables whose rules have been answered
  bool rowOpen_ = false;    // a filelist row is begun but not stored
  bool anyPassed_ = false;  // some group had a passed file
};

}  // namespace

RunDriver::RunDriver(settings::AppHome home, RunInputs inputs)
    : home_(std::move(home)), inputs_(std::move(inputs)) {}

RunOutcome RunDriver::run(RunObserver& observer) {
  const StopRequest never;
  return run(observer, never);
}

RunOutcome RunDriver::run(RunObserver& runObserver, const StopRequest& stop) {
  RunOutcome outcome;
  RunRecorder recorder(home_, inputs_);
  OperatorWaits observer(runObserver, recorder);
  auto fail = [&](const std::string& text) {
    outcome.error = text;
    observer.message(MessageKind::Error, text);
    return outcome;
  };
  // The rule set is loaded whole before anything else: a set that does not
  // load refuses the run, and no result is ever judged by part of one.
  std::optional<ruleset::RuleSet> set;
  try {
    set.emplace(ruleset::LoadRuleSetFor(home_, inputs_.dataDate, inputs_.ruleSet));
    recorder.weighsAcceptancesBy(accept::TermsOf(*set, inputs_.submission));
  } catch (const ruleset::RuleSetError& e) {
    return fail(std::string("检查没有开始：") + e.what());
  }
  recorder.judgedBy({set->manifest.name, set->manifest.version, set->sha256, set->manifest.own});
  Run run(home_, inputs_, *set, observer, recorder, stop);
  if (run.listedFileCount() > kMaxListedFiles) return fail(kTooManyFilesMessage);
  std::error_code ec;  // a home that cannot be made fails at its lock, with the reason
  settings::MakePrivateDir(home_.home, ec);
  settings::HomeLock lock(home_.home);
  if (!lock.held()) return fail(lock.error());
  try {
    run.execute();
    // A checksum is only recorded for the bytes that were judged.
    if (std::optional<fs::path> changed = recorder.changedFile()) throw RunFailure(ChangedMessage(*changed));
    outcome.completed = true;
    outcome.anyPassed = run.anyPassed();
  } catch (const RunStopped& e) {
    run.abandon();
    outcome.stopped = true;
    outcome.error = e.what();
    observer.status(e.what());
  } catch (const std::exception& e) {
    run.abandon();
    fail(std::string("检查未能完成：") + e.what());
  }
  // Only a run that held the home is recorded: a refused one changed nothing.
  recorder.finish(outcome, observer);
  return outcome;
}

}  // namespace fc::pipeline
