// filingcheck-bench - times the query session on a generated submission of
// KHJBXX (1,000,000 records) and ZJZQDY (2,000,000 records) against the
// floor: one plain read of the same files' bytes from the page cache.
//
// Prints one line per figure, "name seconds ratio-to-floor", followed by the
// CPU seconds and their ratio to the floor's (on a machine busy with other
// work the CPU figures are the steadier ones); then the peak resident memory,
// which includes the mapped files. The tables live in a temporary directory
// that is removed at the end.
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/Generator.h"
#include "query/Session.h"

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kCustomers = 1'000'000;
constexpr uint32_t kMappings = 2'000'000;
constexpr uint32_t kMissing = 10;

volatile uint64_t g_sink;  // where the floor's checksum goes, so its reads stay

class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "filingcheck-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

struct Timing {
  double wall;  // elapsed seconds
  double cpu;   // user + system seconds of this process
};

double CpuSeconds() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  auto secs = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
  return secs(u.ru_utime) + secs(u.ru_stime);
}

// Wall and CPU time of `work`. On a loaded machine the CPU time is the
// steadier figure; on an idle one the two agree.
Timing Measure(const std::function<void()>& work) {
  double cpu = CpuSeconds();
  auto start = std::chrono::steady_clock::now();
  work();
  double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  return {wall, CpuSeconds() - cpu};
}

// Reads every byte of the files; the sum keeps the reads from being elided.
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

void Expect(const char* what, int64_t got, int64_t want) {
  if (got != want)
    throw std::runtime_error(std::string(what) + ": got " + std::to_string(got) + ", expected " +
                             std::to_string(want));
}

}  // namespace

int main() try {
  ScratchDir dir;
  fc::bench::Submission s;
  const fs::path khjbxx = dir.path() / "KHJBXX.DBF", zjzqdy = dir.path() / "ZJZQDY.DBF";
  std::fprintf(stderr, "generating %u KHJBXX and %u ZJZQDY records in %s ...\n", kCustomers, kMappings,
               dir.path().c_str());
  fc::bench::WriteKhjbxx(khjbxx, s, kCustomers);
  fc::bench::WriteZjzqdy(zjzqdy, s, kMappings, kCustomers, kMissing);

  const std::vector<fs::path> files = {khjbxx, zjzqdy};
  uint64_t sink = ReadAll(files);  // warm the page cache
  Timing floor = Measure([&] { sink += ReadAll(files); });
  auto report = [&](const char* name, Timing t) {
    std::printf("%-16s %8.3f %8.1f   cpu %.3f s %.1f\n", name, t.wall, t.wall / floor.wall, t.cpu,
                t.cpu / floor.cpu);
  };
  report("floor-read", floor);

  fc::query::Session session;
  std::string error;
  report("open", Measure([&] {
           if (!session.open(dir.path(), error)) throw std::runtime_error(error);
         }));

  const std::string d = s.date;
  report("count-sjrq", Measure([&] {
           Expect("khjbxx total", session.queryDBF("select count(*) from KHJBXX where sjrq='" + d + "'"),
                  kCustomers);
           Expect("zjzqdy total", session.queryDBF("select count(*) from zjzqdy where sjrq='" + d + "'"),
                  kMappings);
         }));
  report("R05-khjbxx-1M", Measure([&] {
           Expect("R05",
                  session.countRowsDBF("select count(*) from khjbxx where sjrq='" + d +
                                       "' group by zqgsdm,yybdm,zjzh,xhrq"),
                  kCustomers);
         }));
  report("R11-zjzqdy-2M", Measure([&] {
           Expect("R11",
                  session.countRowsDBF("select count(*) from zjzqdy where sjrq='" + d +
                                       "' group by zqgsdm,yybdm,zjzh,gddmsc,gddm,qxbz"),
                  kMappings);
         }));
  report("R08-not-exists", Measure([&] {
           Expect("R08",
                  session.queryDBF("SELECT count(*) from zjzqdy a where not exists(select * from khjbxx b "
                                   "where a.zqgsdm=b.zqgsdm and a.yybdm=b.yybdm and a.zjzh=b.zjzh and "
                                   "b.sjrq='" +
                                   d + "')  and a.sjrq='" + d + "'"),
                  kMissing);
         }));
  session.close();

  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  std::printf("peak-rss-mb      %8.1f\n", usage.ru_maxrss / 1024.0);
  g_sink = sink;
  return 0;
} catch (const std::exception& e) {
  std::fprintf(stderr, "filingcheck-bench: %s\n", e.what());
  return 1;
}
