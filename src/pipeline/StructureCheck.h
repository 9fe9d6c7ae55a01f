// pipeline/StructureCheck.h - the structure and date check of one DBF: the
// built-in structure library's answer (CHECKDBF) and its decoding into
// fileerr rows.
//
// Answer form: "字段:" then items "NAME@CODE" separated by blanks, then
// "日期" and the other dates found; or one free-text sentence. Empty = passed.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace fc::naming { class InterfaceLayouts; }
namespace fc::store { class Store; }

namespace fc::pipeline {

// How the checks of one submitted file ended. An archive problem's value is
// the errid of its fileerr row.
enum FileOutcome : int {
  kFilePassed = 0,
  kArchiveManyFiles = 1,   // the archive holds more than one file
  kArchiveWrongName = 2,   // its one file is not the DBF its name promises
  kArchiveUnreadable = 3,  // it cannot be opened, or holds no file
  kStructureProblems = 4,  // structure or date problems, written as fileerr rows
};

struct StructureContext {
  const naming::InterfaceLayouts& layouts;
  store::Store& store;   // rows go through insertFinding
  std::string dataDate;  // YYYYMMDD, the same for every file of a run
  int threads = 1;       // the date pass's threads
};

// The structure library's answer for `dbf` (kind told by its file name).
// dbf::TableChanged when the file shrank or failed while it was read. The
// date pass over the records uses up to `threads` threads.
std::string CHECKDBF(const naming::InterfaceLayouts& layouts, const std::filesystem::path& dbf,
                     std::string_view dataDate, int threads = 1);

// kFilePassed, or kStructureProblems with the problems written.
FileOutcome CheckDbfStructure(StructureContext& ctx, const std::filesystem::path& dbf, int fileId);
// CheckDbfStructure on sourceDir + fileName (the name matched regardless of case).
FileOutcome CheckDbfFile(StructureContext& ctx, const std::string& sourceDir, const std::string& fileName,
                         int fileId);

void DecodeDbfResult(store::Store& store, std::string_view text, int fileId);
void AddFieldError(store::Store& store, int fileId, std::string_view item);
void AddDateError(store::Store& store, int fileId, std::string_view dateInfo);

}  // namespace fc::pipeline
