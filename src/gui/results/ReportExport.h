// gui/results/ReportExport.h - "导出报告": the check report of a run written
// as a self-contained HTML page, or as PDF through Qt's own PDF writer, where
// the operator chooses in a save dialog.
//
//   ExportReport(parent, home, std::nullopt, boxes);   // the latest run, with the dialog
//   QString error;
//   if (!WriteReport(data, "/tmp/r.pdf", error)) ...   // no dialog (tests, screenshots)
//
// The dialog proposes 检查报告_<code>_<date>_<time>.html in the parent of the
// run's source directory (the application home when that is gone). A file is
// written whole or not at all.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

#include "report/ReportData.h"
#include "settings/AppHome.h"

class QTextDocument;
class QWidget;

namespace fc::gui {

class MessageBoxes;

// The proposed file: directory and name as described above.
QString DefaultReportPath(const report::ReportData& data, const settings::AppHome& home);

// Writes the report to `path`: PDF when it ends in .pdf, HTML otherwise.
bool WriteReport(const report::ReportData& data, const QString& path, QString& error);

// The report as Qt lays it out for print (A4), for the PDF and its page images.
void LayOutForPrint(const report::ReportData& data, QTextDocument& document);

// Loads run `id` (the latest when empty), masked as `masking` says, asks
// where to save and writes it; failures are shown in a message box.
void ExportReport(QWidget* parent, const settings::AppHome& home, std::optional<int64_t> id, MessageBoxes& boxes,
                  privacy::Masking masking = privacy::Masking::NumbersAndNames);

}  // namespace fc::gui
