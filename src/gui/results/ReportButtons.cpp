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
  history_ = FootButton(results, "HistoryCmd", QStringLiteral("历史记录"), 118);
  unmask_ = new QCheckBox(QStringLiteral("报告显示完整证件号码和姓名"), results);
  unmask_->setObjectName(QStringLiteral("ReportUnmask"));
  unmask_->setGeometry(236, results->height() - 38, 220, 32);
  unmask_->show();
  connect(export_, &QPushButton::clicked, this, &ReportButtons::exportReport);
  connect(history_, &QPushButton::clicked, this, &ReportButtons::showHistory);
  RememberLayout(results);  // the buttons scale with the window like its grid
}

void ReportButtons::exportReport() {
  if (running_ && running_()) {
    boxes_.show(QStringLiteral("提示信息"), QStringLiteral("检查正在进行，结果尚未完成，不能导出报告；请等检查结束后再导出。"),
                BoxIcon::Information, BoxButtons::Ok);
    return;
  }
  const bool unmasked = unmask_->isChecked();
  unmask_->setChecked(false);  // for this one export only
  ExportReport(results_, home_, std::nullopt, boxes_,
               unmasked ? privacy::Masking::Off : privacy::Masking::NumbersAndNames);
}

void ReportButtons::showHistory() {
  HistoryWindow window(home_, boxes_, results_);
  window.exec();
}

}  // namespace fc::gui
