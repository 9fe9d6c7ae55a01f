#include "gui/results/ReportButtons.h"

#include <QCheckBox>
#include <QDialog>
#include <QPushButton>

#include "gui/results/HistoryWindow.h"
#include "gui/results/ReportExport.h"
#include "gui/shell/LayoutScaling.h"
#include "gui/shell/MessageBoxes.h"

namespace fc::gui {

namespace {

QPushButton* FootButton(QDialog* window, const char* name, const QString& text, int x) {
  auto* button = new QPushButton(text, window);
  button->setObjectName(QString::fromUtf8(name));
  button->setGeometry(x, window->height() - 38, 110, 32);
  button->show();
  return button;
}

}  // namespace

ReportButtons::ReportButtons(QDialog* results, settings::AppHome home, MessageBoxes& boxes)
    : QObject(results), results_(results), home_(std::move(home)), boxes_(boxes) {
  export_ = FootButton(results, "ExportCmd", QStringLiteral("导出报告"), 4);
  workbook_ = FootButton(results, "WorkbookCmd", QStringLiteral("导出Excel"), 118);
  history_ = FootButton(results, "HistoryCmd", QStringLiteral("历史记录"), 232);
  unmask_ = new QCheckBox(QStringLiteral("报告显示完整证件号码和姓名"), results);
  unmask_->setObjectName(QStringLiteral("ReportUnmask"));
  unmask_->setGeometry(350, results->height() - 38, 220, 32);
  unmask_->show();
  connect(export_, &QPushButton::clicked, this, &ReportButtons::exportReport);
  connect(workbook_, &QPushButton::clicked, this, &ReportButtons::exportWorkbook);
  connect(history_, &QPushButton::clicked, this, &ReportButtons::showHistory);
  RememberLayout(results);  // the buttons scale with the window like its grid
}

bool ReportButtons::refusedWhileRunning(const QString& what) {
  if (!running_ || !running_()) return false;
  boxes_.show(QStringLiteral("提示信息"), QStringLiteral("检查正在进行，结果尚未完成，不能导出%1；请等检查结束后再导出。").arg(what),
              BoxIcon::Information, BoxButtons::Ok);
  return true;
}

bool ReportButtons::takeUnmasked() {
  const bool unmasked = unmask_->isChecked();
  unmask_->setChecked(false);  // for this one export only
  return unmasked;
}

void ReportButtons::exportReport() {
  if (refusedWhileRunning(QStringLiteral("报告"))) return;
  ExportReport(home_, std::nullopt, boxes_, takeUnmasked() ? privacy::Masking::Off : privacy::Masking::NumbersAndNames);
}

// The records keep names as the records window shows them; identity numbers
// are masked unless the box says otherwise.
void ReportButtons::exportWorkbook() {
  if (refusedWhileRunning(QStringLiteral("Excel工作簿"))) return;
  ExportWorkbook(home_, boxes_, takeUnmasked() ? privacy::Masking::Off : privacy::Masking::Numbers);
}

void ReportButtons::showHistory() {
  HistoryWindow window(home_, boxes_, results_);
  window.exec();
}

}  // namespace fc::gui
