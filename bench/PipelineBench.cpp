#include "bench/PipelineBench.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <initializer_list>
#include <map>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "bench/MemoryPeaks.h"
#include "bench/ScratchDir.h"
#include "bench/SubmissionGenerator.h"
#include "naming/InterfaceLayouts.h"
#include "naming/Kinds.h"
#include "pipeline/RunDriver.h"
#include "query/Session.h"
#include "store/Store.h"

namespace fc::bench {

namespace fs = std::filesystem;

namespace {

using naming::Submission;
using pipeline::CheckType;

constexpr AccountScale kAccountScale{1'000'000, 2'000'000, 1'000'000, 1'000, 100'000};
constexpr IdentityScale kIdentityScale{1'000'000, 1'000'000};
constexpr double kFaultRate = 1e-5;
constexpr int kRounds = 3;  // runs of each check, the fastest one reported
// The record-capture figures: faults of 0.1% of the records per rule, and
// pairs of runs without and with capture, and with the run's facts.
constexpr double kCaptureFaultRate = 1e-3;
constexpr int kCapturePairs = 5;
// What the account check aims at: its time within this many times the read
// floor, and its resident memory at the peak within this many MiB.
constexpr double kFloorTarget = 12;
constexpr double kPeakTargetMiB = 256;

volatile uint64_t g_sink;  // where the floor's checksum goes, so its reads stay

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  auto secs = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return secs(u.ru_utime) + secs(u.ru_stime);
}

struct Timing {
  double wall;  // elapsed seconds
  double cpu;   // user + system seconds of this process, all threads
};

Timing Measure(const std::function<void()>& work) {
  double cpu = CpuSeconds();
  auto start = std::chrono::steady_clock::now();
  work();
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {wall, CpuSeconds() - cpu};
}

// Reads every byte of the files once; the sum keeps the reads from being elided.
uint64_t ReadAll(const std::vector<fs::path>& files) {
  static std::vector<char> buffer(1 << 20);
  uint64_t sum = 0;
  for (const fs::path& f : files) {
    int fd = ::open(f.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot open " + f.string());
    for (ssize_t n; (n = ::read(fd, buffer.data(), buffer.size())) > 0;)
      for (ssize_t i = 0; i < n; i += 4096) sum += static_cast<unsigned char>(buffer[i]);
    ::close(fd);
  }
  return sum;
}

// The floor: the fastest of three reads after a first one, so that the page
// cache holds the files and a moment of other work does not count.
Timing Floor(const std::vector<fs::path>& files) {
  uint64_t sum = ReadAll(files);
  Timing best{};
  for (int round = 0; round < 3; ++round) {
    Timing t = Measure([&] { sum += ReadAll(files); });
    if (round == 0 || t.wall < best.wall) best = t;
  }
  g_sink = sum;
  return best;
}

// `cat` of the files into /dev/null, as a separate process: the floor an
// operator would measure, with its process start and its own buffer size.
void Cat(const std::vector<fs::path>& files) {
  std::vector<std::string> words{"cat"};
  for (const fs::path& f : files) words.push_back(f.string());
  std::vector<char*> argv;
  for (std::string& w : words) argv.push_back(w.data());
  argv.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  pid_t pid = 0;
  const int failed = posix_spawnp(&pid, "cat", &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  int status = 0;
  if (failed || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
    throw std::runtime_error("cat of the tables failed");
}

// The fastest of three `cat` runs, wall time alone (a child's processor
// time is not this process's).
double CatFloor(const std::vector<fs::path>& files) {
  double best = 0;
  for (int round = 0; round < 3; ++round) {
    const double wall = Measure([&] { Cat(files); }).wall;
    if (round == 0 || wall < best) best = wall;
  }
  return best;
}

// Collects the phase times of one run and refuses its questions.
class BenchObserver : public pipeline::RunObserver {
 public:
  void status(const std::string&) override {}
  bool askPack(const pipeline::PackQuestion&) override { return false; }
  void message(pipeline::MessageKind, const std::string& text) override { messages.push_back(text); }
  void timed(const std::string& phase, double seconds) override {
    auto it = std::find_if(phases.begin(), phases.end(), [&](const auto& p) { return p.first == phase; });
    if (it == phases.end())
      phases.emplace_back(phase, seconds);
    else
      it->second += seconds;
  }

  std::vector<std::pair<std::string, double>> phases;  // in first-reported order, repeats summed
  std::vector<std::string> messages;
};

// "name seconds ratio-to-floor" lines; the CPU time of a measured piece of
// work follows on a line of its own, named "name.cpu" (on a machine busy
// with other work it is the steadier figure).
class Printer {
 public:
  explicit Printer(std::FILE* out) : out_(out) {}
  void time(const std::string& name, double seconds, double floor) {
    std::fprintf(out_, "%-42s %9.3f %8.1f\n", name.c_str(), seconds, seconds / floor);
  }
  void timing(const std::string& name, Timing t, Timing floor) {
    time(name, t.wall, floor.wall);
    time(name + ".cpu", t.cpu, floor.cpu);
  }
  void figure(const std::string& name, double value) {
    std::fprintf(out_, "%-42s %9.3f %8s\n", name.c_str(), value, "-");
  }
  void note(const std::string& text) {
    std::fprintf(out_, "# %s\n", text.c_str());
    std::fflush(out_);
  }

 private:
  std::FILE* out_;
};

int ExpectedCount(const Generated& g, int kind, const std::string& errid) {
  for (const ExpectedFinding& f : g.findings)
    if (f.kindIndex == kind && f.errid == errid) return f.count;
  return 0;
}

uint32_t Scaled(uint32_t records, double factor) { return static_cast<uint32_t>(records * factor); }

AccountScale ScaledAccount(double f) {
  return {Scaled(kAccountScale.khjbxx, f), Scaled(kAccountScale.zjzqdy, f), Scaled(kAccountScale.zjbdxx, f),
          Scaled(kAccountScale.yybxx, f), Scaled(kAccountScale.zhbyz, f)};
}

IdentityScale ScaledIdentity(double f) {
  return {Scaled(kIdentityScale.sfzfcjg, f), Scaled(kIdentityScale.sfzhcqk, f)};
}

// Bytes of the DBF tables of `records` records of each kind (their headers'
// few bytes left out): a deletion flag and the fields per record.
uint64_t DbfBytes(const naming::InterfaceLayouts& layouts,
                  std::initializer_list<std::pair<const char*, uint32_t>> kinds) {
  uint64_t bytes = 0;
  for (const auto& [kind, records] : kinds) {
    const naming::TableLayout* layout = layouts.find(kind);
    if (!layout) throw std::invalid_argument(std::string("the interface layouts have no table ") + kind);
    uint64_t record = 1;
    for (const naming::LayoutField& f : layout->fields) record += f.length;
    bytes += record * records;
  }
  return bytes;
}

uint64_t AccountDbfBytes(const naming::InterfaceLayouts& layouts, const AccountScale& s) {
  return DbfBytes(layouts, {{"KHJBXX", s.khjbxx}, {"ZJZQDY", s.zjzqdy}, {"ZJBDXX", s.zjbdxx}, {"YYBXX", s.yybxx},
                            {"ZHBYZ", s.zhbyz}});
}

uint64_t IdentityDbfBytes(const naming::InterfaceLayouts& layouts, const IdentityScale& s) {
  return DbfBytes(layouts, {{"SFZFCJG", s.sfzfcjg}, {"SFZHCQK", s.sfzhcqk}});
}

std::string Gigabytes(uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.1f GB", static_cast<double>(bytes) / 1e9);
  return text;
}

// Refuses to start writing `bytes` into `dir` when its file system has less
// room, rather than fill it up halfway through.
void RequireSpace(const fs::path& dir, uint64_t bytes) {
  const uint64_t available = fs::space(dir).available;
  if (available >= bytes) return;
  throw std::runtime_error("not enough free space in " + dir.string() + ": " + Gigabytes(available) +
                           " free, about " + Gigabytes(bytes) +
                           " needed (TMPDIR chooses where the bench writes its temporary files)");
}

// The submissions of one scale in one directory, as the bench checks them:
// account-dbf, account-zip (the same tables, one archive each) and identity-dbf.
struct Submissions {
  AccountScale accountScale;
  IdentityScale identityScale;
  Generated account;
  Generated identity;
};

Submissions WriteSubmissions(const naming::InterfaceLayouts& layouts, const fs::path& dir, double factor) {
  Submissions s{ScaledAccount(factor), ScaledIdentity(factor), {}, {}};
  // The account tables, their archives (the generated tables compress to
  // about a tenth; a quarter allowed), the tables a ZIP-type check unpacks,
  // and the identity tables.
  const uint64_t account = AccountDbfBytes(layouts, s.accountScale);
  RequireSpace(dir, account * 9 / 4 + IdentityDbfBytes(layouts, s.identityScale));
  GeneratorOptions opts;
  opts.faultRate = kFaultRate;
  opts.dbfDir = dir / "account-dbf";
  opts.zipDir = dir / "account-zip";
  s.account = WriteAccountSubmission(layouts, s.accountScale, opts);
  opts.dbfDir = dir / "identity-dbf";
  opts.zipDir.clear();
  s.identity = WriteIdentitySubmission(layouts, s.identityScale, opts);
  return s;
}

// The threads a check of `in` may use.
unsigned Threads(const pipeline::RunInputs& in) {
  return in.threads > 0 ? static_cast<unsigned>(in.threads) : std::thread::hardware_concurrency();
}

// The inputs of a check of a generated submission, as an operator gives them.
pipeline::RunInputs CheckInputs(Submission submission, CheckType type, const fs::path& source) {
  GeneratorOptions generated;
  pipeline::RunInputs in;
  in.submission = submission;
  in.beginNo = in.endNo = generated.sequence;
  in.companyCode = generated.companyCode;
  in.dataDate = generated.dataDate;
  in.comparisonDate = generated.comparisonDate;
  in.sourceDir = source.string() + "/";
  in.checkType = type;
  in.fullTransfer = generated.fullTransfer;
  in.selectedKinds.assign(naming::Kinds(submission).size(), true);
  return in;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct CheckCase {
  std::string name;  // "full.account.dbf"
  Submission submission;
  CheckType type;
  fs::path source;
  const Generated* generated;
  Timing floor;      // of the submission's DBF bytes
  double catFloor;   // `cat` of them, wall seconds
};

class Bench {
 public:
  Bench(fs::path dataDir, std::FILE* out)
      : dataDir_(std::move(dataDir)),
        layouts_(naming::InterfaceLayouts::load(dataDir_ / "rulesets" / "interface-1" / "layouts.csv")),
        print_(out) {}

  void runScale(const std::string& label, double factor) {
    ScratchDir dir;
    std::fprintf(stderr, "generating the %s-scale submissions in %s ...\n", label.c_str(), dir.path().c_str());
    const Submissions s = WriteSubmissions(layouts_, dir.path(), factor);
    // On disk before anything is timed, so the write-back of the generated
    // files does not compete with the checks.
    ::sync();

    queryFigures(label + ".query", dir.path() / "session", s.account, s.accountScale);
    Timing accountFloor = Floor(s.account.dbfFiles), identityFloor = Floor(s.identity.dbfFiles);
    print_.timing(label + ".account.floor", accountFloor, accountFloor);
    print_.timing(label + ".identity.floor", identityFloor, identityFloor);
    const double accountCat = CatFloor(s.account.dbfFiles), identityCat = CatFloor(s.identity.dbfFiles);
    print_.time(label + ".account.cat-floor", accountCat, accountFloor.wall);
    print_.time(label + ".identity.cat-floor", identityCat, identityFloor.wall);
    settings::AppHome home{dir.path() / "home", dataDir_};
    check({label + ".account.dbf", Submission::Account, CheckType::Dbf, dir.path() / "account-dbf",
           &s.account, accountFloor, accountCat},
          home);
    check({label + ".account.zip", Submission::Account, CheckType::Zip, dir.path() / "account-zip", &s.account,
           accountFloor, accountCat},
          home);
    check({label + ".identity.dbf", Submission::Identity, CheckType::Dbf, dir.path() / "identity-dbf",
           &s.identity, identityFloor, identityCat},
          home);
    targets(label);
  }

  // The account check against its targets, one line each: its time in
  // floors (the read's and cat's), its peak memory, and the ZIP type's time
  // over the DBF type's.
  void targets(const std::string& label) {
    const Checked& dbf = checked_[label + ".account.dbf"];
    const Checked& zip = checked_[label + ".account.zip"];
    if (!dbf.complete || !zip.complete) {
      print_.note(label + ".account: no figures against the targets, a check did not find what was generated");
      return;
    }
    char line[256];
    std::snprintf(line, sizeof line, "%s.account.dbf: %.1f times the read floor, %.1f times cat (target %g)",
                  label.c_str(), dbf.seconds / dbf.floor, dbf.seconds / dbf.catFloor, kFloorTarget);
    print_.note(line);
    std::snprintf(line, sizeof line, "%s.account.dbf: peak memory %.0f MiB (target at most %g)", label.c_str(),
                  dbf.peakMiB, kPeakTargetMiB);
    print_.note(line);
    std::snprintf(line, sizeof line, "%s.account.zip: %.2f times the DBF type (target at most 1.2)", label.c_str(),
                  zip.seconds / dbf.seconds);
    print_.note(line);
  }

  // Whole runs: the time at the larger scale over the time at the smaller.
  void growth(const std::string& smaller, const std::string& larger) {
    for (const char* run : {"account.dbf", "account.zip", "identity.dbf"})
      print_.figure(std::string("growth.") + run,
                    checked_[larger + "." + run].seconds / checked_[smaller + "." + run].seconds);
  }

  // The DBF-type account check without and with each part of the work that
  // lies beyond the findings: the records behind them, and the run's facts
  // with the files' checksums and the history. The submission's faults are
  // 0.1% of the records per rule. Then one run keeping every record, whose
  // records must be the generated faults record for record.
  void costFigures(const std::string& label, double factor) {
    ScratchDir dir;
    GeneratorOptions opts;
    opts.faultRate = kCaptureFaultRate;
    opts.dbfDir = dir.path() / "account-dbf";
    RequireSpace(dir.path(), AccountDbfBytes(layouts_, ScaledAccount(factor)));
    std::fprintf(stderr, "generating the %s-scale submission with 0.1%% faults in %s ...\n", label.c_str(),
                 dir.path().c_str());
    const Generated g = WriteAccountSubmission(layouts_, ScaledAccount(factor), opts);
    ::sync();
    const Timing floor = Floor(g.dbfFiles);
    settings::AppHome home{dir.path() / "home", dataDir_};
    pipeline::RunInputs in = CheckInputs(Submission::Account, CheckType::Dbf, opts.dbfDir);
    const std::string name = label + ".capture.account.dbf";
    pairedFigures(name, in, &pipeline::RunInputs::keepRecords, g, home, floor);
    pairedFigures(label + ".facts.account.dbf", in, &pipeline::RunInputs::keepFacts, g, home, floor);
    in.recordsLimit = 0;
    print_.timing(name + ".with-every-record", run(name, home, in, g), floor);
    std::string problems = RecordsDiffer(*store::Store::open(home.home, home.data), Submission::Account, g.findings, 0);
    size_t records = 0;
    for (const ExpectedFinding& f : g.findings) records += f.records.size();
    if (problems.empty()) {
      print_.note(name + ": the records behind all " + std::to_string(g.findings.size()) + " findings are the " +
                  std::to_string(records) + " generated faults, record for record");
      return;
    }
    print_.note(name + ": RECORDS DIFFER:" + problems);
    ok_ = false;
  }

  bool ok() const { return ok_; }

 private:
  // Runs of `in` without and with `part`, in pairs back to back, the order
  // alternating, so that other work on the machine meets both alike.
  void pairedFigures(const std::string& name, pipeline::RunInputs in, bool pipeline::RunInputs::*part,
                     const Generated& g, const settings::AppHome& home, Timing floor) {
    Timing without{}, with{};
    std::vector<double> ratios, cpuRatios;
    for (int pair = 0; pair < kCapturePairs; ++pair) {
      Timing t[2];  // without, with
      for (int k = 0; k < 2; ++k) {
        const int on = (pair + k) % 2;
        in.*part = on == 1;
        t[on] = run(name, home, in, g);
      }
      ratios.push_back(t[1].wall / t[0].wall);
      cpuRatios.push_back(t[1].cpu / t[0].cpu);
      if (pair == 0 || t[0].wall < without.wall) without = t[0];
      if (pair == 0 || t[1].wall < with.wall) with = t[1];
    }
    print_.timing(name + ".without", without, floor);
    print_.timing(name + ".with", with, floor);
    print_.figure(name + ".with/without-best", with.wall / without.wall);
    print_.figure(name + ".with/without-median-pair", Median(ratios));
    print_.figure(name + ".with/without-median-pair.cpu", Median(cpuRatios));
  }

  // The heaviest single queries on the account tables, as the query session
  // runs them, against the floor of those two tables.
  void queryFigures(const std::string& label, const fs::path& dir, const Generated& g, const AccountScale& scale) {
    fs::create_directories(dir);
    fs::create_hard_link(g.dbfFiles[0], dir / "KHJBXX.DBF");
    fs::create_hard_link(g.dbfFiles[1], dir / "ZJZQDY.DBF");
    Timing floor = Floor({dir / "KHJBXX.DBF", dir / "ZJZQDY.DBF"});
    print_.timing(label + ".floor", floor, floor);
    const std::string d = GeneratorOptions{}.dataDate;
    query::Session session;
    std::string error;
    print_.timing(label + ".open", Measure([&] {
                    if (!session.open(dir, error)) throw std::runtime_error(error);
                  }),
                  floor);
    auto figure = [&](const char* name, int64_t want, const std::function<int64_t()>& query) {
      int64_t got = 0;
      print_.timing(label + "." + name, Measure([&] { got = query(); }), floor);
      if (got == want) return;
      print_.note(label + "." + name + ": got " + std::to_string(got) + ", expected " + std::to_string(want));
      ok_ = false;
    };
    figure("count-sjrq", int64_t{scale.khjbxx} + scale.zjzqdy, [&] {
      return session.count("select count(*) from KHJBXX where sjrq='" + d + "'") +
             session.count("select count(*) from zjzqdy where sjrq='" + d + "'");
    });
    figure("R05-khjbxx", scale.khjbxx - ExpectedCount(g, 0, "R05"), [&] {
      return session.rows("select count(*) from khjbxx where sjrq='" + d + "' group by zqgsdm,yybdm,zjzh,xhrq");
    });
    figure("R11-zjzqdy", scale.zjzqdy - ExpectedCount(g, 1, "R11"), [&] {
      return session.rows("select count(*) from zjzqdy where sjrq='" + d +
                                  "' group by zqgsdm,yybdm,zjzh,gddmsc,gddm,qxbz");
    });
    figure("R08-not-exists", ExpectedCount(g, 1, "R08"), [&] {
      return session.count(
          "SELECT count(*) from zjzqdy a where not exists(select * from khjbxx b where a.zqgsdm=b.zqgsdm and "
          "a.yybdm=b.yybdm and a.zjzh=b.zjzh and b.sjrq='" + d + "')  and a.sjrq='" + d + "'");
    });
    session.close();
  }

  // One timed run of a capture figure, its findings and (with the records
  // kept up to the limit) its records compared with the generated ones.
  Timing run(const std::string& name, const settings::AppHome& home, const pipeline::RunInputs& in,
             const Generated& g) {
    BenchObserver o;
    pipeline::RunOutcome outcome;
    Timing t = Measure([&] { outcome = pipeline::RunDriver(home, in).run(o); });
    std::string problems = outcome.completed ? "" : " the run failed: " + outcome.error + ";";
    for (const std::string& m : o.messages) problems += " message: " + m + ";";
    auto store = store::Store::open(home.home, home.data);
    problems += FindingsDiffer(*store, in.submission, g.findings);
    if (in.keepRecords) problems += RecordsDiffer(*store, in.submission, g.findings, in.recordsLimit);
    if (!problems.empty()) {
      print_.note(name + ": FINDINGS DIFFER:" + problems);
      ok_ = false;
    }
    return t;
  }

  // One check run: its phases, its threads and how busy it kept them, its
  // peak memory and its findings.
  void check(const CheckCase& c, const settings::AppHome& home) {
    pipeline::RunInputs in = CheckInputs(c.submission, c.type, c.source);

    // The fastest of three runs, like the floor's warm read: the first pays for
    // memory the machine has not handed out before, and any may meet
    // other work on the machine.
    BenchObserver observer;
    std::string problems;
    Timing t{};
    double peak = 0, peakAnon = 0;
    for (int round = 0; round < kRounds; ++round) {
      BenchObserver o;
      pipeline::RunOutcome outcome;
      ResetPeakRss();
      AnonPeakSampler anon;
      Timing run = Measure([&] { outcome = pipeline::RunDriver(home, in).run(o); });
      const double anonMiB = anon.stop();
      if (!outcome.completed) problems += " the run failed: " + outcome.error + ";";
      for (const std::string& m : o.messages) problems += " message: " + m + ";";
      if (round > 0 && run.wall >= t.wall) continue;
      t = run;
      peak = PeakRssMiB();
      peakAnon = anonMiB;
      observer = std::move(o);
    }
    print_.timing(c.name, t, c.floor);
    print_.time(c.name + ".vs-cat", t.wall, c.catFloor);
    for (const auto& [phase, seconds] : observer.phases) {
      std::string name = phase;
      std::replace(name.begin(), name.end(), ' ', '-');
      print_.time(c.name + "." + name, seconds, c.floor.wall);
    }
    print_.figure(c.name + ".threads", Threads(in));
    print_.figure(c.name + ".cpu/wall", t.cpu / t.wall);
    print_.figure(c.name + ".peak-rss-mib", peak);
    print_.figure(c.name + ".peak-anon-mib", peakAnon);

    if (problems.empty())
      problems = FindingsDiffer(*store::Store::open(home.home, home.data), c.submission, c.generated->findings);
    checked_[c.name] = {t.wall, peak, c.floor.wall, c.catFloor, problems.empty()};
    if (problems.empty()) {
      print_.note(c.name + ": all " + std::to_string(c.generated->findings.size()) +
                  " generated faults found with the right counts");
      return;
    }
    print_.note(c.name + ": FINDINGS DIFFER:" + problems);
    ok_ = false;
  }

  fs::path dataDir_;
  naming::InterfaceLayouts layouts_;
  Printer print_;
  bool ok_ = true;
  // What a check measured, for the lines that compare checks.
  struct Checked {
    double seconds = 0;   // the fastest run
    double peakMiB = 0;   // its peak resident memory
    double floor = 0;     // the read floor of its files, seconds
    double catFloor = 0;  // `cat` of them, seconds
    bool complete = false;  // it found exactly the generated faults
  };
  std::map<std::string, Checked> checked_;  // by run name
};

}  // namespace

bool RunPipelineBench(const fs::path& dataDir, std::FILE* out, double scale) {
  Bench bench(dataDir, out);
  bench.runScale("half", scale / 2);
  bench.runScale("full", scale);
  bench.growth("half", "full");
  bench.costFigures("full", scale);
  return bench.ok();
}

bool RunTenfoldBench(const fs::path& dataDir, std::FILE* out, double scale) {
  Bench bench(dataDir, out);
  bench.runScale("full", scale / 10);
  bench.runScale("tenfold", scale);
  bench.growth("full", "tenfold");
  return bench.ok();
}

bool RunCostBench(const fs::path& dataDir, std::FILE* out, double scale) {
  Bench bench(dataDir, out);
  bench.costFigures("full", scale);
  return bench.ok();
}

void GenerateSubmissions(const fs::path& dataDir, const fs::path& dir, double scale, const fs::path& cli,
                         std::FILE* out) {
  const auto layouts = naming::InterfaceLayouts::load(dataDir / "rulesets" / "interface-1" / "layouts.csv");
  fs::create_directories(dir);
  const fs::path at = fs::canonical(dir);
  const Submissions s = WriteSubmissions(layouts, at, scale);
  std::fprintf(out, "wrote the submissions at scale %g (%.0f faults per million records per rule) in %s:\n", scale,
               kFaultRate * 1e6, at.c_str());
  for (const Generated* g : {&s.account, &s.identity})
    for (const auto& files : {g->dbfFiles, g->zipFiles})
      for (const fs::path& f : files)
        std::fprintf(out, "  %-60s %14ju bytes\n", fs::relative(f, at).c_str(), fs::file_size(f));
  std::fprintf(out, "  the account check should report %zu findings, the identity check %zu\n",
               s.account.findings.size(), s.identity.findings.size());

  const GeneratorOptions generated;
  auto dashed = [](const std::string& d) { return d.substr(0, 4) + "-" + d.substr(4, 2) + "-" + d.substr(6, 2); };
  const fs::path home = at / "home";
  auto command = [&](const char* kind, const char* source, const std::string& rest) {
    return cli.string() + " " + kind + " --home " + home.string() + " --source " + (at / source).string() +
           " --code " + generated.companyCode + " --date " + dashed(generated.dataDate) + rest;
  };
  const std::string no = std::to_string(generated.sequence);
  const std::string group = " --from " + no + " --to " + no + (generated.fullTransfer ? " --full" : "");
  const std::string comparison = " --comparison-date " + dashed(generated.comparisonDate);
  std::fprintf(out, "check them (a run's store and scratch files go in %s):\n", home.c_str());
  for (const std::string& c : {command("account", "account-dbf", group + " --type dbf"),
                               command("account", "account-zip", group),
                               command("identity", "identity-dbf", comparison + " --type dbf")})
    std::fprintf(out, "  %s\n", c.c_str());
}

}  // namespace fc::bench
