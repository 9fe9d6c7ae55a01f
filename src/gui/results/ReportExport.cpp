#include "gui/results/ReportExport.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QSaveFile>
#include <QTextDocument>

#include "gui/shell/MessageBoxes.h"
#include "report/HtmlReport.h"

namespace fc::gui {

namespace {

// "2026-12-08 19:07:13" as "190713".
QString TimeDigits(const std::string& started) {
  QString time = QString::fromStdString(started.size() >= 19 ? started.substr(11, 8) : started);
  return time.remove(QLatin1Char(':'));
}

bool WritePdf(const report::ReportData& data, const QString& path, QString& error) {
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) {
    error = file.errorString();
    return false;
  }
  {
    QPdfWriter writer(&file);
    writer.setTitle(QStringLiteral("检查报告"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(14, 14, 14, 14),
                                     QPageLayout::Millimeter));
    QTextDocument document;
    LayOutForPrint(data, document);
    document.print(&writer);
  }
  if (file.commit()) return true;
  error = file.errorString();
  return false;
}

}  // namespace

QString DefaultReportPath(const report::ReportData& data, const settings::AppHome& home) {
  const store::RunFacts& f = data.run.facts;
  const QString name = QStringLiteral("检查报告_%1_%2_%3.html")
                           .arg(QString::fromStdString(f.companyCode), QString::fromStdString(f.dataDate),
                                TimeDigits(f.started));
  QDir source(QString::fromStdString(f.sourceDir));
  QDir dir = !f.sourceDir.empty() && source.cdUp() ? source : QDir(QString::fromStdString(home.home.string()));
  return dir.filePath(name);
}

void LayOutForPrint(const report::ReportData& data, QTextDocument& document) {
  document.setHtml(QString::fromStdString(report::HtmlReport(data, report::ChartStyle::Table)));
}

bool WriteReport(const report::ReportData& data, const QString& path, QString& error) {
  if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) return WritePdf(data, path, error);
  std::string failure;
  if (report::WriteReportFile(path.toStdString(), report::HtmlReport(data), failure)) return true;
  error = QString::fromStdString(failure);
  return false;
}

void ExportReport(QWidget* parent, const settings::AppHome& home, std::optional<int64_t> id, MessageBoxes& boxes,
                  privacy::Masking masking) {
  std::string failure;
  std::optional<report::ReportData> data = report::LoadReport(home.home, home.data, id, failure, masking);
  if (!data) {
    boxes.show(QStringLiteral("信息提示"), QString::fromStdString(failure), BoxIcon::Information, BoxButtons::Ok);
    return;
  }
  const QString path = QFileDialog::getSaveFileName(parent, QStringLiteral("导出报告"), DefaultReportPath(*data, home),
                                                    QStringLiteral("网页文件 (*.html);;PDF文件 (*.pdf)"));
  if (path.isEmpty()) return;
  QString error;
  if (WriteReport(*data, path, error)) return;
  boxes.show(QStringLiteral("错误提示"), QStringLiteral("检查报告无法写入：") + error, BoxIcon::Error, BoxButtons::Ok);
}

}  // namespace fc::gui
