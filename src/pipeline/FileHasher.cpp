#include "pipeline/FileHasher.h"

#include "checksum/Sha256.h"
#include "platform/Files.h"

namespace fc::pipeline {

namespace {

// True when `file` is still the checked file, before and after one read of
// it through one descriptor; `sum` is then its checksum (empty when it
// could not be read).
bool HashChecked(const CheckedFile& file, std::string& sum) {
  const int fd = OpenRegularFile(file.path);
  // Unreadable as when it was checked (a named pipe, never a table), or missing then and now.
  if (fd < 0) return !file.identity || file.unchanged();
  std::string error;
  bool same = file.sameAs(fd);
  if (same) sum = checksum::Sha256OpenFile(fd, file.path, error).value_or("");
  same = same && file.sameAs(fd);  // grown or rewritten while it was read
  platform::CloseFile(fd);
  if (!same) sum.clear();
  return same;
}

}  // namespace

FileHasher::FileHasher() : thread_([this] { work(); }) {}

FileHasher::~FileHasher() {
  {
    std::lock_guard lock(mutex_);
    dropping_ = closing_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
}

void FileHasher::add(int id, CheckedFile file) {
  {
    std::lock_guard lock(mutex_);
    queue_.emplace_back(id, std::move(file));
  }
  wake_.notify_all();
}

Checksums FileHasher::finish() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  wake_.notify_all();
  if (thread_.joinable()) thread_.join();
  return std::move(done_);
}

void FileHasher::work() {
  for (;;) {
    std::pair<int, CheckedFile> next;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return !queue_.empty() || closing_; });
      if (dropping_ || queue_.empty()) return;
      next = std::move(queue_.front());
      queue_.pop_front();
    }
    std::string sum;
    const bool same = HashChecked(next.second, sum);
    std::lock_guard lock(mutex_);
    done_.sums[next.first] = std::move(sum);
    if (!same) done_.changed.push_back(next.second.path);
  }
}

}  // namespace fc::pipeline
