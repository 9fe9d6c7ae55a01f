#include "gui/results/ReportExport.h"

#include <QDir>
#include <QStringList>

#include "gui/shell/MessageBoxes.h"
#include "gui/shell/QtText.h"
#include "ruleset/RuleSets.h"
#include "report/ReportFormats.h"
#include "spreadsheet/Workbook.h"

namespace fc::gui {

namespace {

// "2026-12-08 19:07:13" as "190713".
QString TimeDigits(const std::string& started) {
  QString time = QString::fromStdString(started.size() >= 19 ? started.substr(11, 8) : started);
  return time.remove(QLatin1Char(':'));
}

// "网页文件 (*.html);;PDF文件 (*.pdf);;...": the dialog's choices, one per format.
QString ReportFilter() {
  QStringList choices;
  for (const report::ReportFormat& format : report::ReportFormats())
    if (format.name) choices << QStringLiteral("%1 (*%2)").arg(QString::fromUtf8(format.name), QString::fromUtf8(format.ending));
  return choices.join(QStringLiteral(";;"));
}

}  // namespace

QString DefaultReportPath(const report::ReportData& data, const settings::AppHome& home, const QString& suffix) {
  const store::RunFacts& f = data.run.facts;
  const QString name = QStringLiteral("检查报告_%1_%2_%3")
                           .arg(QString::fromStdString(f.companyCode), QString::fromStdString(f.dataDate),
                                TimeDigits(f.started)) + suffix;
  QDir source(QString::fromStdString(f.sourceDir));
  QDir dir = !f.sourceDir.empty() && source.cdUp() ? source : QDir(FromPath(home.home));
  return dir.filePath(name);
}

bool WriteReport(const report::ReportData& data, const QString& path, QString& error) {
  const report::ReportFormat* format = report::FormatOf(PathOf(path));
  if (!format) format = &report::ReportFormats().front();  // a name without a known ending: the page
  std::string failure;
  if (format->write(data, PathOf(path), failure)) return true;
  error = QString::fromStdString(failure);
  return false;
}

void ExportReport(const settings::AppHome& home, std::optional<int64_t> id, MessageBoxes& boxes,
                  privacy::Masking masking) {
  std::string failure;
  std::optional<report::ReportData> data = report::LoadReport(home.home, home.data, id, failure, masking);
  if (!data) {
    boxes.show(QStringLiteral("信息提示"), QString::fromStdString(failure), BoxIcon::Information, BoxButtons::Ok);
    return;
  }
  const QString path = boxes.askSavePath(QStringLiteral("导出报告"), DefaultReportPath(*data, home),
                                         ReportFilter());
  if (path.isEmpty()) return;
  QString error;
  if (!WriteReport(*data, path, error)) {
    boxes.show(QStringLiteral("错误提示"), QStringLiteral("检查报告无法写入：") + error, BoxIcon::Error, BoxButtons::Ok);
    return;
  }
  ShowSaved(boxes, QStringLiteral("检查报告已保存到%1").arg(ShownPath(path)), path);
}

void ExportWorkbook(const settings::AppHome& home, MessageBoxes& boxes, privacy::Masking masking) {
  std::string failure;
  std::optional<report::ReportData> data = report::LoadReport(home.home, home.data, std::nullopt, failure,
                                                              masking == privacy::Masking::Off
                                                                  ? privacy::Masking::Off
                                                                  : privacy::Masking::NumbersAndNames);
  if (data && !data->recordsKept)
    failure = "检查结果不是最近一次已完成检查的结果（检查可能仍在进行），不能导出。请在检查结束后再导出。";
  if (!data || !data->recordsKept) {
    boxes.show(QStringLiteral("信息提示"), QString::fromStdString(failure), BoxIcon::Information, BoxButtons::Ok);
    return;
  }
  const QString path = boxes.askSavePath(QStringLiteral("导出Excel"), DefaultReportPath(*data, home, QStringLiteral(".xlsx")),
                                         QStringLiteral("Excel工作簿 (*.xlsx)"));
  if (path.isEmpty()) return;
  // The agreement of the run's rule set heads the sheets and types the cells;
  // without it the headings are the codes and every cell is text.
  const std::optional<ruleset::RuleSet> set = ruleset::RunRuleSet(home, data->run.facts);
  spreadsheet::Workbook book;
  book.run = &*data;
  book.agreement = set ? &set->layouts : nullptr;
  try {
    auto store = store::Store::open(home.home, home.data);
    book.findings = spreadsheet::ReadFindingSheets(*store, masking);
  } catch (const std::exception& e) {
    failure = e.what();
  }
  if (failure.empty() && spreadsheet::WriteWorkbook(PathOf(path), book, failure)) {
    ShowSaved(boxes, QStringLiteral("检查结果已导出到%1").arg(ShownPath(path)), path);
    return;
  }
  boxes.show(QStringLiteral("错误提示"), QStringLiteral("工作簿无法写入：") + QString::fromStdString(failure),
             BoxIcon::Error, BoxButtons::Ok);
}

}  // namespace fc::gui
