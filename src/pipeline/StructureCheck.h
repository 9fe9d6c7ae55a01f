// pipeline/StructureCheck.h - the structure and date check of one DBF: the
// built-in structure library compares the table with the agreed layout of
// the kind its file name carries and scans its date field.
//
//   std::vector<FileFinding> found = CheckStructure(layouts, dbf, "20080808");
//   // empty: the table passed
//
// The findings come in the order of their rows: the field problems in layout
// order (a field's type or length, then the order from it on), the fields
// outside the agreement in file order, then the other dates. A table that
// cannot be checked at all gives one CannotCheck finding alone; so does one
// whose file is longer or shorter than its header declares (the records
// beyond the count would escape every check).
//
// A run checks through CheckDbfFile (or CheckZipFile, pipeline/ArchiveIntake.h),
// which writes the findings as fileerr rows.
#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/FileProblems.h"

namespace fc::naming { class InterfaceLayouts; }
namespace fc::store { class Store; }

namespace fc::pipeline {

// How the checks of one submitted file ended. An archive problem ends them
// with the errid of its fileerr row.
enum FileOutcome : int {
  kFilePassed = 0,
  kArchiveManyFiles = static_cast<int>(FileProblem::ArchiveManyFiles),
  kArchiveWrongName = static_cast<int>(FileProblem::ArchiveWrongName),
  kArchiveUnreadable = static_cast<int>(FileProblem::ArchiveUnreadable),
  kStructureProblems = 4,  // structure or date problems, written as fileerr rows
};

struct StructureContext {
  const naming::InterfaceLayouts& layouts;
  store::Store& store;   // takes the findings' rows
  std::string dataDate;  // YYYYMMDD, the same for every file of a run
  int threads = 1;       // the date pass's threads
  // Per fileid, how many records marked deleted each checked table holds,
  // for the tables that hold any. Neither the checks nor the rules read such
  // records; the count is a fact of the file, not a finding.
  std::map<int, uint32_t> deletedRecords = {};
};

// What the structure library finds in `dbf` (kind told by its file name).
// dbf::TableChanged when the file shrank or failed while it was read. The
// pass over the records uses up to `threads` threads; it counts the records
// marked deleted into `deleted` when given (0 for a table it cannot read).
std::vector<FileFinding> CheckStructure(const naming::InterfaceLayouts& layouts, const std::filesystem::path& dbf,
                                        std::string_view dataDate, int threads = 1, uint32_t* deleted = nullptr);

// kFilePassed, or kStructureProblems with the findings written.
FileOutcome RecordStructureCheck(StructureContext& ctx, const std::filesystem::path& dbf, int fileId);
// RecordStructureCheck on sourceDir + fileName (the name matched regardless of case).
FileOutcome CheckDbfFile(StructureContext& ctx, const std::string& sourceDir, const std::string& fileName,
                         int fileId);

}  // namespace fc::pipeline
