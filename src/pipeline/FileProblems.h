// pipeline/FileProblems.h - the problems the checks of one submitted file
// find (archive, structure and date problems), and their fileerr rows.
//
// A check hands what it found to WriteFindings as FileFindings; it writes
// the rows the operator reads, one per finding, in the order given:
//
//   WriteFindings(store, fileId, {{FileProblem::FieldLength, "KHQC"}});
//   // errid "4", errdesc "字段KHQC长度不符合接口规范"
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace fc::store { class Store; }

namespace fc::pipeline {

// Each value is the errid its fileerr row is stored with. Stored results,
// the history of earlier runs, the reports and the operators all go by these
// numbers: never renumber one.
enum class FileProblem : int {
  ArchiveManyFiles = 1,    // the archive holds more than one file
  ArchiveWrongName = 2,    // its one file is not the DBF its name promises
  ArchiveUnreadable = 3,   // it cannot be opened, or holds no file
  FieldLength = 4,         // a field's length (or an N field's decimals) differs from the agreement
  AgreedFieldMissing = 5,  // a field of the agreement is not in the table
  FieldNotAgreed = 6,      // a field of the table is not in the agreement (or is there twice)
  OtherDates = 7,          // records hold dates other than the data date
  CannotCheck = 8,         // the table cannot be checked at all; a sentence says why
  FieldOrder = 9,          // the agreed fields stand in another order from this field on
  FieldType = 10,          // a field's type differs from the agreement
  FieldNull = 11,          // an agreed field may hold NULL, or holds it in records
  NotANumber = 12,         // records hold no number in an agreed numeric field
  ControlCharacter = 13,   // records hold control bytes in an agreed character field
  IdeographicBlank = 14,   // records hold only ideographic spaces in an agreed character field
};

struct FileFinding {
  FileProblem problem;  // what is wrong
  // What the row names: the field as the table spells it (4, 5, 6, 9, 10),
  // the other dates ("20080801,20080803等", 7) or the whole sentence (8);
  // for an archive problem (1, 3) the entries refused for their names
  // ("../x、/etc/x"), after its text, or nothing; the field for 11 to 14.
  std::string subject;
  // For 11 to 14, the first record found (1-based, in file order, deleted
  // records counted) and how many were; 0 for a nullable field without NULLs.
  uint32_t record = 0;
  uint32_t records = 0;

  bool operator==(const FileFinding&) const = default;
};

// Writes one fileerr row of `fileId` per finding, in their order.
void WriteFindings(store::Store& store, int fileId, const std::vector<FileFinding>& findings);

}  // namespace fc::pipeline
