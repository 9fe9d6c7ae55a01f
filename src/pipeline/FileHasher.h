// pipeline/FileHasher.h - SHA-256 of files on a worker thread of its own, so
// that a run checks its files while their checksums are computed.
//
//   fc::pipeline::FileHasher hasher;
//   hasher.add(3, "/in/100001_KHJBXX_20080808_1.ZIP");   // returns at once
//   std::map<int, std::string> sums = hasher.finish();  // waits for the rest
//
// The thread runs at the priority of the check's own threads: the run ends
// only once its checksums are done, so holding the thread back while the
// check keeps every core busy would only move its work to the end. A file
// that cannot be read gets an empty sum.
#pragma once

#include <condition_variable>
#include <deque>
#include <filesystem>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace fc::pipeline {

class FileHasher {
 public:
  FileHasher();
  ~FileHasher();  // joins the thread, dropping what is still queued
  FileHasher(const FileHasher&) = delete;
  FileHasher& operator=(const FileHasher&) = delete;

  // Queues `file` for hashing under `id`.
  void add(int id, std::filesystem::path file);
  // Waits until every queued file is hashed; the sums by id.
  std::map<int, std::string> finish();

 private:
  void work();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::pair<int, std::filesystem::path>> queue_;
  std::map<int, std::string> sums_;
  bool closing_ = false;  // finish() called: drain the queue and stop
  bool dropping_ = false; // destroyed without finish(): stop at once
  std::thread thread_;
};

}  // namespace fc::pipeline
