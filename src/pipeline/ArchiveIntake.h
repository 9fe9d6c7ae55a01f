// pipeline/ArchiveIntake.h - unpacks one submitted ZIP archive into workdir
// and checks that it held exactly the one DBF its name promises.
//
//   fc::pipeline::StructureContext ctx{layouts, store, "20080808"};
//   int r = fc::pipeline::CheckZipFile(ctx, home.workdir(), "/in/",
//                                      "100001_KHJBXX_20080808_1.ZIP", fileId);
//   // 0 passed (the DBF lies in workdir), 1..3 archive problem, 4 structure problem
//
// What the archive would leave directly in workdir decides: no file is
// problem 3, more than one is problem 1, one wrongly named file is problem 2;
// one rightly named file goes on to the structure and date check. Every
// entry whose name has no folder part is a file of the archive ("./X.DBF"
// is "X.DBF"; directories and files inside folders are not), also one that
// is never written for safety.
//
// Unpacking is safe by construction. Only entries whose name has no folder
// part are written, and only into workdir; a name that is absolute or holds
// a ".." segment is neither written nor counted. A symbolic link or other
// special file, an encrypted entry, an entry larger than 4 GiB or than the
// free space of workdir's disk, and an entry that cannot be decompressed or
// yields more bytes than it claims count but are never written. Each entry
// streams into a temporary file that is renamed when complete, and a later
// entry of the same name (letter case ignored) replaces an earlier one.
// Unpacking stops at the archive's second file: the archive has failed with
// problem 1 whatever else it holds.
//
// Decompressing is most of an intake's time, so a run hands the archives it
// will check to an ArchivePrefetch, whose thread decompresses later ones
// while the caller unpacks and checks the current one:
//
//   fc::pipeline::ArchivePrefetch ahead(home.workdir(), {first, second, third});
//   int r = fc::pipeline::CheckZipFile(ctx, workdir, "/in/", name, fileId, &ahead);
//
// What lands in workdir is the same either way: the caller still opens the
// archive and judges every entry itself; an entry that was decompressed
// ahead is renamed into workdir instead of being decompressed again.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pipeline/StructureCheck.h"

namespace fc::pipeline {

// Archive problems, as fileerr rows.
inline constexpr const char* kZipManyFiles = "ZIP文件里有多个文件";          // 1
inline constexpr const char* kZipWrongName = "ZIP文件中文件命名不正确";      // 2
inline constexpr const char* kZipUnreadable = "ZIP文件无法打开或为空文件";  // 3

struct StagedArchive;

// Decompresses archives ahead of the caller on a thread of its own, into a
// staging directory under workdir ("\prefetch", a name no entry lands as),
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

// Removes what an ArchivePrefetch staged in `workdir`; a run that was killed
// may have left it, and emptying workdir leaves directories alone.
void RemoveArchiveStaging(const std::filesystem::path& workdir);

// Writes the acceptable entries of `archive` into `workdir` (emptied first),
// those found in `staged` from memory. Returns the names of the archive's
// files that were withheld (not written).
std::vector<std::string> UnpackArchive(const std::filesystem::path& archive,
                                       const std::filesystem::path& workdir,
                                       const StagedArchive* staged = nullptr);

// 0 passed, 1 to 3 the archive problem written, 4 structure problems written.
int CheckZipFile(StructureContext& ctx, const std::filesystem::path& workdir,
                 const std::string& sourceDir, const std::string& fileName, int fileId,
                 ArchivePrefetch* prefetch = nullptr);

}  // namespace fc::pipeline
