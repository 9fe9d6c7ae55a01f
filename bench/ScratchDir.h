// bench/ScratchDir.h - a temporary directory for generated submissions that
// is removed when it goes out of scope (also when an exception unwinds
// through it) and when the bench is interrupted (Ctrl-C, SIGTERM, SIGHUP).
//
//   fc::bench::RemoveScratchOnInterrupt();   // first thing in main
//   fc::bench::ScratchDir dir;               // $TMPDIR/filingcheck-bench-XXXXXX
//   write(dir.path() / "account-dbf");
//
// RemoveScratchOnInterrupt blocks those signals in the calling thread, and so
// in every thread started after it, and waits for them on a thread of its own,
// which removes the live scratch directories and then ends the process the way
// the signal would have. Call it before any other thread starts.
#pragma once

#include <filesystem>

namespace fc::bench {

void RemoveScratchOnInterrupt();

class ScratchDir {
 public:
  ScratchDir();  // throws std::runtime_error when it cannot be created
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

}  // namespace fc::bench
