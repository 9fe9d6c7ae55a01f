// spreadsheet/Workbook.h - the records behind findings as an Excel workbook
// (.xlsx, written by libxlsxwriter), for the operators' spreadsheets.
//
//   fc::spreadsheet::Workbook book;
//   book.findings = fc::spreadsheet::ReadFindingSheets(*store, fc::privacy::Masking::Numbers);
//   book.agreement = &agreement;
//   book.run = &reportData;               // optional: a summary sheet first
//   std::string error;
//   if (!fc::spreadsheet::WriteWorkbook("/out/r.xlsx", book, error)) fail(error);
//
// One sheet per finding ("R05 KHJBXX"), its heading row the agreement's
// meaning with the field's code ("营业部代码 YYBDM"), frozen and filtered,
// columns sized to their text. Character fields are text cells, so that
// codes keep their leading zeros and 18-digit numbers every digit; numeric
// fields are numbers shown with their decimals (text where a value is not a
// number, or has more digits than a spreadsheet keeps). No cell is a formula.
// A sheet holds at most 1,048,576 rows: more records go on in a further
// sheet ("R05 KHJBXX (2)"). The values are written as the records hold them:
// masked or not is the caller's choice when reading them.
//
// The file is written whole or not at all (a temporary file in the same
// directory, renamed over it); nothing is written anywhere else.
#pragma once

#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "naming/InterfaceLayouts.h"
#include "report/ReportData.h"
#include "store/Store.h"

namespace fc::spreadsheet {

// Rows of a worksheet, its heading row included.
inline constexpr size_t kSheetRows = 1048576;

// One finding and the records it keeps.
struct FindingSheet {
  store::FindingRow finding;      // file, code and text of the finding
  store::FindingRecords records;  // its records, masked as read
};

struct Workbook {
  const report::ReportData* run = nullptr;              // when set, a summary sheet (verdict, findings) comes first
  std::vector<FindingSheet> findings;                   // a sheet (or more) each, in this order
  const naming::InterfaceLayouts* agreement = nullptr;  // headings and field types; null: names, every cell text
  size_t rowsPerSheet = kSheetRows;                     // a sheet's rows before the next one takes over
};

// The findings of the latest run that keep records, chosen by `keep` (all
// when empty), read masked as `masking` says. Throws store::StoreError.
std::vector<FindingSheet> ReadFindingSheets(store::Store& store, privacy::Masking masking,
                                            const std::function<bool(const store::FindingRow&)>& keep = {});

// Writes `book` to `file`; false with `error` (Chinese, naming the file) when it cannot.
bool WriteWorkbook(const std::filesystem::path& file, const Workbook& book, std::string& error);

}  // namespace fc::spreadsheet
