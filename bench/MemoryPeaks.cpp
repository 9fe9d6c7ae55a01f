#include "bench/MemoryPeaks.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

namespace fc::bench {

void ResetPeakRss() { std::ofstream("/proc/self/clear_refs") << "5"; }

double PeakRssMiB() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
  return 0;
}

AnonPeakSampler::AnonPeakSampler() : status_(::open("/proc/self/status", O_RDONLY | O_CLOEXEC)) {
  sample();
  thread_ = std::jthread([this](std::stop_token stop) {
    std::unique_lock lock(mutex_);
    for (;;) {
      wake_.wait_for(lock, stop, kSampleEvery, [] { return false; });
      if (stop.stop_requested()) return;
      sample();
    }
  });
}

AnonPeakSampler::~AnonPeakSampler() {
  stop();
  if (status_ >= 0) ::close(status_);
}

double AnonPeakSampler::stop() {
  if (thread_.joinable()) {
    thread_.request_stop();
    thread_.join();
    sample();
  }
  return static_cast<double>(peakKiB_) / 1024.0;
}

void AnonPeakSampler::sample() {
  if (status_ < 0) return;
  char text[4096];
  ssize_t n = ::pread(status_, text, sizeof text - 1, 0);
  if (n <= 0) return;
  text[n] = '\0';
  const char* line = std::strstr(text, "\nRssAnon:");
  if (!line) return;
  peakKiB_ = std::max<uint64_t>(peakKiB_, std::strtoull(line + std::strlen("\nRssAnon:"), nullptr, 10));
}

}  // namespace fc::bench
