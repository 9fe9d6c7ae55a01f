// pipeline/ArchiveIntake.h - unpacks one submitted ZIP archive into workdir
// and checks that it held exactly the one DBF its name promises.
//
//   fc::pipeline::StructureContext ctx{layouts, store, "20080808"};
//   FileOutcome r = fc::pipeline::CheckZipFile(ctx, home.workdir(), archive,
//                                              "100001_KHJBXX_20080808_1.ZIP", fileId);
//   // kFilePassed: the DBF lies in workdir
//
// Every entry but a directory is a file of the archive, whatever its name:
// more than one is problem 1; one that lands nothing in workdir (it cannot be
// opened, holds nothing, sits in a folder or is refused for safety) is
// problem 3; one wrongly named file is problem 2; one rightly named file
// ("./X.DBF" is "X.DBF") goes on to the structure and date check. A file
// inside a folder, one that is never written for safety and one that names a
// file named before (in any spelling) all count: a table beside the right one
// would otherwise escape the check, and unpacking the second of one name over
// the first would hide one of them. The row of problem 1 or 3 names the
// entries refused for their names (ZipEntries.h).
//
// Unpacking is safe by construction. Only the archive's only file is ever
// written (an archive of more than one is problem 1 whatever it holds, and
// nothing of it is decompressed), only when its name has no folder part, and only
// into workdir; a name that is absolute, holds a ".." segment or is one that
// Windows reads otherwise than it stands ("C:x", "CON.DBF", "X.DBF ") is
// never joined to workdir's path. A symbolic link or other special file, an encrypted
// entry, an entry larger than 4 GiB or than the free space of workdir's
// disk, and an entry that cannot be decompressed or yields more bytes than it
// claims count but are never written. The entry streams into a temporary
// file that is renamed when complete.
//
// A run hands the archives it will check to an ArchivePrefetch
// (pipeline/ArchivePrefetch.h), which decompresses later ones while the
// caller unpacks and checks the current one.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "pipeline/ArchivePrefetch.h"
#include "pipeline/StructureCheck.h"
#include "pipeline/ZipEntries.h"

namespace fc::pipeline {

// Writes the archive's file into `workdir` (emptied first) when it is its
// only one and acceptable, from `staged` when it was decompressed ahead.
// Returns how many files the archive holds, its unsafe names and the name
// its file was written under.
ArchiveTally UnpackArchive(const std::filesystem::path& archive, const std::filesystem::path& workdir,
                  const StagedArchive* staged = nullptr);

// The archive found at `archive`, listed as `fileName`: kFilePassed, an
// archive problem written (kArchiveManyFiles, kArchiveWrongName,
// kArchiveUnreadable) or kStructureProblems.
FileOutcome CheckZipFile(StructureContext& ctx, const std::filesystem::path& workdir,
                         const std::filesystem::path& archive, const std::string& fileName, int fileId,
                         ArchivePrefetch* prefetch = nullptr);

}  // namespace fc::pipeline
