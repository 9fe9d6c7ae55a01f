#include "bench/ScratchDir.h"

#include <pthread.h>
#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

namespace fc::bench {

namespace fs = std::filesystem;

namespace {

std::mutex g_mutex;
std::vector<fs::path> g_live;  // scratch directories not yet removed

sigset_t InterruptSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&set, sig);
  return set;
}

// The bench may still be writing into a directory while it is removed, so a
// file created meanwhile can leave it not yet empty: a few attempts.
void Remove(const fs::path& dir) {
  for (int attempt = 0; attempt < 5; ++attempt) {
    std::error_code ec;
    fs::remove_all(dir, ec);
    if (!ec) return;
  }
}

}  // namespace

void RemoveScratchOnInterrupt() {
  const sigset_t set = InterruptSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread([set] {
    int sig = 0;
    if (sigwait(&set, &sig) != 0) return;
    {
      std::lock_guard lock(g_mutex);
      for (const fs::path& dir : g_live) Remove(dir);
      if (!g_live.empty()) std::fprintf(stderr, "filingcheck-bench: interrupted; the temporary files are removed\n");
    }
    // The signal's own ending, so that the shell sees an interrupted program.
    signal(sig, SIG_DFL);
    pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    raise(sig);
  }).detach();
}

ScratchDir::ScratchDir() {
  std::string pattern = (fs::temp_directory_path() / "filingcheck-bench-XXXXXX").string();
  std::lock_guard lock(g_mutex);
  if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot create a temporary directory");
  path_ = pattern;
  g_live.push_back(path_);
}

ScratchDir::~ScratchDir() {
  std::lock_guard lock(g_mutex);
  Remove(path_);
  g_live.erase(std::find(g_live.begin(), g_live.end(), path_));
}

}  // namespace fc::bench
