// pipeline/StopRequest.h - the operator's request to stop a running check
// (the CLI's Ctrl+C or SIGTERM, a window's stop button). The run driver looks
// at it at safe points: before each listed file, before each group's rules,
// between the tables whose findings it writes, and before packing. A stopped
// run ends like a failed one, with nothing half-written: the file row being
// checked is dropped, the working directories are emptied, and the run is
// recorded as incomplete (未完成) with the stop as its cause.
//
//   fc::pipeline::StopRequest stop;
//   std::thread t([&] { outcome = fc::pipeline::RunDriver(home, inputs).run(observer, stop); });
//   stop.request();   // from any thread, or a signal handler
//
// request() is lock-free and async-signal-safe.
#pragma once

#include <atomic>

namespace fc::pipeline {

// The cause a stopped run records (its message, and its verdict's reason).
inline constexpr const char* kStoppedMessage = "检查被中止，结果不完整";

class StopRequest {
 public:
  void request() noexcept { requested_.store(true, std::memory_order_relaxed); }
  bool requested() const noexcept { return requested_.load(std::memory_order_relaxed); }

 private:
  std::atomic<bool> requested_{false};
  static_assert(std::atomic<bool>::is_always_lock_free);
};

}  // namespace fc::pipeline
