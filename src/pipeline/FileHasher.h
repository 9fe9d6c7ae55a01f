// pipeline/FileHasher.h - SHA-256 of checked files on a worker thread of its
// own, so that a run checks its files while their checksums are computed.
//
//   fc::pipeline::FileHasher hasher;
//   hasher.add(3, checked);   // a CheckedFile (SourceFiles.h); returns at once
//   fc::pipeline::Checksums sums = hasher.finish();  // waits for the rest
//   if (!sums.changed.empty()) ...  // these are no longer what their checks read
//
// A file is hashed from one descriptor whose identity is compared with the
// one its check saw, before and after the read: a checksum is only ever the
// checksum of the bytes that were judged. A file rewritten, grown or
// replaced since its check gets no sum and is named in `changed`.
//
// The thread runs at the priority of the check's own threads: the run ends
// only once its checksums are done, so holding the thread back while the
// check keeps every core busy would only move its work to the end. A file
// that cannot be read gets an empty sum; it is changed only when it is not
// what the check found either (gone, or something else in its place).
#pragma once

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "pipeline/SourceFiles.h"

namespace fc::pipeline {

struct Checksums {
  std::map<int, std::string> sums;             // by id; empty for a file unread or changed
  std::vector<std::filesystem::path> changed;  // files that are not what was checked, in the order hashed
};

class FileHasher {
 public:
  FileHasher();
  ~FileHasher();  // joins the thread, dropping what is still queued
  FileHasher(const FileHasher&) = delete;
  FileHasher& operator=(const FileHasher&) = delete;

  // Queues `file` for hashing under `id`.
  void add(int id, CheckedFile file);
  // Waits until every queued file is hashed; the sums by id.
  Checksums finish();

 private:
  void work();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::pair<int, CheckedFile>> queue_;
  Checksums done_;
  bool closing_ = false;  // finish() called: drain the queue and stop
  bool dropping_ = false; // destroyed without finish(): stop at once
  std::thread thread_;
};

}  // namespace fc::pipeline
