// parallel/Parallel.h - independent pieces of work spread over threads.
//
// A check uses the machine's cores; how many threads a run may have comes
// from the operator (a setting, --threads N) or, when not given, from the
// machine. ForEach hands the pieces out in index order, each to the first
// thread that is free, and runs on the calling thread too, so one thread
// does them strictly one after another:
//
//   const int threads = fc::parallel::ThreadCount(inputs.threads);   // 0: one per core
//   fc::parallel::ForEach(jobs.size(), threads, [&](size_t i) { run(jobs[i]); });
//
// Pieces must not depend on one another's order. A piece that throws stops
// the handing out of further pieces; those already begun finish, and the
// first exception is rethrown on the calling thread. Callers that want every
// piece done whatever happens catch inside the piece.
#pragma once

#include <cstddef>
#include <functional>

namespace fc::parallel {

// `wanted` when it is 1 or more, else the number of cores of the machine
// (at least 1).
int ThreadCount(int wanted);

// Runs work(0) ... work(count - 1) on up to `threads` threads, the caller's
// included, and returns when all are done.
void ForEach(size_t count, int threads, const std::function<void(size_t)>& work);

}  // namespace fc::parallel
