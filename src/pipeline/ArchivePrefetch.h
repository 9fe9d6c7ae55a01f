// pipeline/ArchivePrefetch.h - archives decompressed ahead of the intake.
//
// Decompressing is most of an intake's time, so a run hands the archives it
// will check to an ArchivePrefetch, whose thread decompresses later ones
// while the caller unpacks and checks the current one:
//
//   fc::pipeline::ArchivePrefetch ahead(home.workdir(), {first, second, third});
//   fc::pipeline::CheckZipFile(ctx, workdir, first, name, fileId, &ahead);
//
// What lands in workdir is the same either way: the caller still opens the
// archive and judges every entry itself; an entry that was decompressed
// ahead is renamed into workdir instead of being decompressed again.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/SourceFiles.h"

namespace fc::pipeline {

// One entry decompressed ahead into the staging directory, and what
// identified it in the archive.
struct StagedEntry {
  uint64_t index;              // position in the archive
  std::string name;            // name as stored
  uint64_t size;               // uncompressed size as stored, and the file's
  std::filesystem::path file;  // complete and checked against the archive's checksum
};

// What the prefetch thread made of one archive file, as it then stood.
// Staged files that are not taken are deleted with it.
struct StagedArchive {
  FileIdentity archive;              // the archive file when it was read
  std::vector<StagedEntry> entries;  // in archive order, only those decompressed

  StagedArchive() = default;
  StagedArchive(const StagedArchive&) = delete;
  StagedArchive& operator=(const StagedArchive&) = delete;
  ~StagedArchive() {
    std::error_code ec;
    for (const StagedEntry& e : entries) std::filesystem::remove(e.file, ec);
  }

  const StagedEntry* find(uint64_t index, std::string_view name, uint64_t size) const {
    for (const StagedEntry& e : entries)
      if (e.index == index) return e.name == name && e.size == size ? &e : nullptr;
    return nullptr;
  }
};

// Decompresses archives ahead of the caller on a thread of its own, into a
// staging directory beside workdir ("<workdir>.prefetch", where no entry lands),
// while the caller unpacks the archives the thread has not claimed. Nothing
// is staged unless the disk has room for all the archives twice over.
class ArchivePrefetch {
 public:
  // `archives`: the archives the caller will unpack into `workdir`, in that order.
  ArchivePrefetch(std::filesystem::path workdir, std::vector<std::filesystem::path> archives);
  ~ArchivePrefetch();  // stops the thread, dropping what it holds
  ArchivePrefetch(const ArchivePrefetch&) = delete;
  ArchivePrefetch& operator=(const ArchivePrefetch&) = delete;

  // What was decompressed of `archive` (waiting while that is under way), or
  // null when the thread had not started on it; archives before it in the
  // list are dropped. Either way the thread moves on to the next archive.
  std::shared_ptr<const StagedArchive> take(const std::filesystem::path& archive);

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// Removes what an ArchivePrefetch staged for `workdir` (in the folder beside
// it, "<workdir>.prefetch"); a run that was killed may have left it.
void RemoveArchiveStaging(const std::filesystem::path& workdir);

}  // namespace fc::pipeline
