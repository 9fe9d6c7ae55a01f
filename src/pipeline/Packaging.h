// pipeline/Packaging.h - packs the tables that passed a DBF-type check run
// into sending archives, one archive per table.
//
//   fc::pipeline::PackReport report = fc::pipeline::PackPassedFiles(store, checked, "/in/", "/out/", observer);
//
// Every filelist row with isok = 1 is packed from the file its check read
// (its CheckedFile, by fileid; the name is never looked up again) and only
// while that file is as it was checked: one rewritten, grown or replaced
// since is refused, for the archive must hold the bytes that passed. The
// DBF "/in/" + filename becomes
// "/out/" + filename with "ZIP" for its last three characters, holding that
// one DBF, deflated, under the listed file name (the upper-case name the run
// expected, whatever case the file in the source directory carries), dated
// like the DBF. The archive is built in memory, written to an unnamed file
// in the output directory (a temporary name where the file system has no
// unnamed files) and named only when complete and on disk, so an existing
// archive is replaced whole (an archive of the same name in another letter
// case is the one replaced) and a packing killed at any moment leaves none
// half-written. An existing archive whose bytes differ from the new one is
// kept first as "<its name>.bak" (an older .bak of that name is replaced);
// one that cannot be kept is not replaced. A DBF that is not a regular file,
// or that changes while it is read, is not packed. A file that cannot be
// packed does not stop the others. What was written and what failed is
// returned and reported through the observer; reasons are Chinese.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "pipeline/PackReport.h"
#include "pipeline/RunObserver.h"
#include "pipeline/SourceFiles.h"

namespace fc::store { class Store; }

namespace fc::pipeline {

// Packs one DBF into `archive` (replaced whole); empty on success, else why
// not. `keptAs`, when given, receives the name a differing archive it
// replaced was kept under (empty when none).
std::string PackOneFile(const std::filesystem::path& dbf, const std::string& entryName,
                        const std::filesystem::path& archive, std::string* keptAs = nullptr);

// PackPassedFiles: the status line says which file is being packed and the
// progress counts the archives (n of m); at the end observer.packed() gets
// the report, unless no table had passed.
// `checked` holds the passed files by fileid.
PackReport PackPassedFiles(store::Store& store, const std::map<int, CheckedFile>& checked, const std::string& sourceDir,
                           const std::string& targetDir, RunObserver& observer);

}  // namespace fc::pipeline
