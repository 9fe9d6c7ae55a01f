// gui/results/ReportExport.h - the exports of a run from the results and
// history windows: "导出报告" (the check report as a self-contained HTML page,
// an A4 PDF or JSON for scripts, all made by the core, where the operator
// chooses) and "导出Excel" (the latest run's findings and records as a
// workbook).
//
//   ExportReport(home, std::nullopt, boxes);   // the latest run, with the dialog
//   ExportWorkbook(home, boxes, privacy::Masking::Numbers);
//   QString error;
//   if (!WriteReport(data, "/tmp/r.pdf", error)) ...   // no dialog (tests)
//
// The dialog proposes 检查报告_<code>_<date>_<time>.html (.xlsx) in the parent
// of the run's source directory (the application home when that is gone). A
// file is written whole or not at all, and its saving is confirmed with a
// button that opens its folder.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "report/ReportData.h"
#include "settings/AppHome.h"

namespace fc::gui {

class MessageBoxes;

// The proposed file: directory and name as described above, ending in `suffix`.
QString DefaultReportPath(const report::ReportData& data, const settings::AppHome& home,
                          const QString& suffix = QStringLiteral(".html"));

// Writes the report to `path` in the format of its ending (report/ReportFormats.h), HTML when it has none of them.
bool WriteReport(const report::ReportData& data, const QString& path, QString& error);

// Loads run `id` (the latest when empty), masked as `masking` says, asks
// where to save and writes it; failures are shown in a message box.
void ExportReport(const settings::AppHome& home, std::optional<int64_t> id, MessageBoxes& boxes,
                  privacy::Masking masking = privacy::Masking::NumbersAndNames);

// The latest run as a workbook: a summary sheet with the verdict and every
// finding, then the records the store keeps, identity numbers masked as
// `masking` says. Refused with a message when the store's results are not
// the latest finished run's (a check still running, or one that never
// reached the history).
void ExportWorkbook(const settings::AppHome& home, MessageBoxes& boxes, privacy::Masking masking);

}  // namespace fc::gui
