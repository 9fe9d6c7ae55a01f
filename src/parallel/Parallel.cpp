#include "parallel/Parallel.h"

#include <algorithm>
#include <atomic>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace fc::parallel {

int ThreadCount(int wanted) {
  if (wanted >= 1) return wanted;
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void ForEach(size_t count, int threads, const std::function<void(size_t)>& work) {
  std::atomic<size_t> next{0};
  std::atomic<bool> failed{false};
  std::exception_ptr first;
  std::mutex firstLock;
  auto worker = [&] {
    for (size_t i; !failed.load(std::memory_order_relaxed) && (i = next.fetch_add(1)) < count;) {
      try {
        work(i);
      } catch (...) {
        std::lock_guard lock(firstLock);
        if (!first) first = std::current_exception();
        failed = true;
      }
    }
  };
  const size_t helpers = std::min<size_t>(count, static_cast<size_t>(std::max(threads, 1))) - (count > 0 ? 1 : 0);
  std::vector<std::jthread> pool;
  pool.reserve(helpers);
  for (size_t t = 0; t < helpers; ++t) pool.emplace_back(worker);
  worker();
  pool.clear();  // joins
  if (first) std::rethrow_exception(first);
}

}  // namespace fc::parallel
