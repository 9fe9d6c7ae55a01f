// fc::parallel::ForEach: every piece done once whatever the threads, one
// thread working in order on the caller, pieces truly side by side, and a
// piece that throws.
#include "parallel/Parallel.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <stdexcept>
#include <thread>
#include <vector>

namespace fc::parallel {
namespace {

using namespace std::chrono_literals;

// Waits until `flag` is set, for at most a few seconds; false when it never is.
bool Await(const std::atomic<bool>& flag) {
  for (auto end = std::chrono::steady_clock::now() + 5s; !flag; std::this_thread::yield())
    if (std::chrono::steady_clock::now() > end) return false;
  return true;
}

TEST(ForEach, DoesEveryPieceExactlyOnceOnNoMoreThreadsThanAsked) {
  for (int threads : {-1, 0, 1, 2, 3, 16})
    for (size_t count : {0, 1, 2, 7, 1000}) {
      std::vector<std::atomic<int>> done(count);
      std::mutex lock;
      std::set<std::thread::id> workers;
      ForEach(count, threads, [&](size_t i) {
        ++done[i];
        std::lock_guard guard(lock);
        workers.insert(std::this_thread::get_id());
      });
      for (size_t i = 0; i < count; ++i) EXPECT_EQ(done[i], 1) << i << " of " << count << " on " << threads;
      EXPECT_LE(workers.size(), std::min<size_t>(count, std::max(threads, 1))) << count << " on " << threads;
    }
}

TEST(ForEach, OneThreadWorksInOrderOnTheCaller) {
  const std::thread::id caller = std::this_thread::get_id();
  std::vector<size_t> order;
  ForEach(50, 1, [&](size_t i) {
    EXPECT_EQ(std::this_thread::get_id(), caller);
    order.push_back(i);
  });
  ASSERT_EQ(order.size(), 50u);
  for (size_t i = 0; i < order.size(); ++i) EXPECT_EQ(order[i], i);
}

TEST(ForEach, PiecesRunSideBySide) {
  // Each piece waits for the other: done one after another, neither would
  // see the other begin.
  std::atomic<bool> begun[2] = {false, false};
  std::atomic<int> met = 0;
  ForEach(2, 2, [&](size_t i) {
    begun[i] = true;
    met += Await(begun[1 - i]);
  });
  EXPECT_EQ(met, 2);
}

TEST(ForEach, AThrowingPieceStopsTheHandingOutAndItsErrorReachesTheCaller) {
  std::vector<size_t> ran;
  try {
    ForEach(10, 1, [&](size_t i) {
      ran.push_back(i);
      if (i == 3) throw std::runtime_error("piece 3");
    });
    ADD_FAILURE() << "no exception";
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "piece 3");
  }
  EXPECT_EQ(ran, (std::vector<size_t>{0, 1, 2, 3}));

  // With threads, a piece already begun finishes before the error comes out.
  std::atomic<bool> begun = false, finished = false;
  EXPECT_THROW(ForEach(2, 2,
                       [&](size_t i) {
                         if (i == 1) {
                           begun = true;
                           std::this_thread::sleep_for(50ms);
                           finished = true;
                           return;
                         }
                         Await(begun);
                         throw std::logic_error("piece 0");
                       }),
               std::logic_error);
  EXPECT_TRUE(finished);

  // Every piece throwing: one error comes out, and no piece runs twice.
  std::vector<std::atomic<int>> tries(200);
  EXPECT_THROW(ForEach(tries.size(), 4,
                       [&](size_t i) {
                         ++tries[i];
                         throw std::out_of_range("each");
                       }),
               std::out_of_range);
  for (const auto& n : tries) EXPECT_LE(n, 1);
}

TEST(ThreadCount, IsTheWantedOrOnePerCore) {
  EXPECT_EQ(ThreadCount(3), 3);
  EXPECT_EQ(ThreadCount(1), 1);
  const int cores = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
  EXPECT_EQ(ThreadCount(0), cores);
  EXPECT_EQ(ThreadCount(-2), cores);
}

}  // namespace
}  // namespace fc::parallel
