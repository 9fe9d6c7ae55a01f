#include "pipeline/FileHasher.h"

#include "checksum/Sha256.h"

namespace fc::pipeline {

FileHasher::FileHasher() : thread_([this] { work(); }) {}

FileHasher::~FileHasher() {
  {
    std::lock_guard lock(mutex_);
    dropping_ = closing_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void FileHasher::add(int id, std::filesystem::path file) {
  {
    std::lock_guard lock(mutex_);
    queue_.emplace_back(id, std::move(file));
  }
  wake_.notify_all();
}

std::map<int, std::string> FileHasher::finish() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
  return std::move(sums_);
}

void FileHasher::work() {
  for (;;) {
    std::pair<int, std::filesystem::path> next;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return !queue_.empty() || closing_; });
      if (dropping_ || queue_.empty()) return;
      next = std::move(queue_.front());
      queue_.pop_front();
    }
    std::string error;
    std::string sum = checksum::Sha256File(next.second, error).value_or("");
    std::lock_guard lock(mutex_);
    sums_[next.first] = std::move(sum);
  }
}

}  // namespace fc::pipeline
