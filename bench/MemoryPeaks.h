// bench/MemoryPeaks.h - the peaks of this process's resident memory during a
// piece of work, in MiB (0 where the kernel does not say): all of it, which
// counts the pages of the memory-mapped tables, and the anonymous part alone
// (heap, anonymous mappings, thread stacks), which is what a run costs beyond
// the tables it maps.
//
//   fc::bench::ResetPeakRss();
//   fc::bench::AnonPeakSampler anon;
//   work();
//   double anonMiB = anon.stop(), rssMiB = fc::bench::PeakRssMiB();
//
// The kernel keeps the peak of the whole (VmHWM) but not of the anonymous
// part, so AnonPeakSampler reads the current one (RssAnon of
// /proc/self/status) on a thread of its own every kSampleEvery, and once more
// when stopped, keeping the largest. A peak that rises and falls between two
// samples goes unseen, but anonymous memory grows only by page faults, and
// what one thread can fault in within a few milliseconds is some tens of MiB:
// small against the figure it measures. Each sample costs some microseconds
// of processor time.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace fc::bench {

// Restarts the peak PeakRssMiB reports from the present resident memory.
void ResetPeakRss();
// Peak resident memory since the last ResetPeakRss.
double PeakRssMiB();

class AnonPeakSampler {
 public:
  static constexpr std::chrono::milliseconds kSampleEvery{4};

  AnonPeakSampler();  // the first sample, then sampling until stop()
  ~AnonPeakSampler();
  AnonPeakSampler(const AnonPeakSampler&) = delete;
  AnonPeakSampler& operator=(const AnonPeakSampler&) = delete;

  // Stops sampling after one last sample; the peak seen, in MiB.
  double stop();

 private:
  void sample();

  int status_;           // /proc/self/status, read again from its start each sample; -1 when absent
  uint64_t peakKiB_ = 0;  // written by the sampling thread alone until it has been joined
  std::mutex mutex_;
  std::condition_variable_any wake_;
  std::jthread thread_;
};

}  // namespace fc::bench
