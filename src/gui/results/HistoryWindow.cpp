#include "gui/results/HistoryWindow.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <filesystem>
#include <stdexcept>

#include "gui/results/ComparisonWindow.h"
#include "gui/results/ReportExport.h"
#include "gui/results/ResultsWindow.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/shell/QtText.h"
#include "naming/Submission.h"
#include "report/ReportData.h"
#include "ruleset/RuleSets.h"
#include "settings/PrivateFiles.h"
#include "store/RunFacts.h"
#include "store/Store.h"
#include "text/Text.h"

namespace fc::gui {

namespace fs = std::filesystem;

namespace {

QStringList RowTexts(const history::RunSummary& r) {
  return {QString::number(r.id),
          QString::fromStdString(r.started),
          QString::fromStdString(naming::SubmissionShortName(r.submission)),
          QString::fromStdString(r.companyCode),
          QString::fromStdString(text::DashedDate(r.dataDate)),
          QString::fromStdString(r.fileType),
          QStringLiteral("%1/%2").arg(r.passed).arg(r.expected),
          QString::number(r.findings),
          QString::fromUtf8(store::VerdictWord(r.verdict)),
          r.completed ? QStringLiteral("完成") : QStringLiteral("未完成：") + QString::fromStdString(r.message),
          r.ruleSet.empty() ? QStringLiteral("—") : QString::fromStdString(r.ruleSet + store::OwnSetMark(r.ruleSetOwn)),
          ShownPath(FromStd(r.sourceDir))};
}

// The run's filelist and fileerr rows, as the run wrote them.
void LayIntoStore(const history::Run& run, store::Store& store) {
  for (const store::FileFacts& f : run.facts.files) {
    store.beginFile();
    for (const history::Finding& finding : run.findings)
      if (finding.fileid == f.fileid) store.insertFinding(f.fileid, finding.errid, finding.errdesc);
    store.insertFile({f.fileid, f.groupno, f.filecat, f.filename, f.isexist, f.isok,
                      f.dbfVersion ? std::optional<int>(static_cast<int>(*f.dbfVersion)) : std::nullopt});
  }
}

}  // namespace

void ShowPastResults(const settings::AppHome& home, const history::Run& run, MessageBoxes& boxes, QWidget* parent) {
  const fs::path scratch = home.historyViewDir();
  std::error_code ec;
  fs::remove_all(scratch, ec);
  try {
    if (!settings::MakePrivateDir(scratch, ec)) throw std::runtime_error(settings::PrivateDirFailureText(scratch, ec));
    {
      std::unique_ptr<store::Store> store = store::Store::open(scratch, home.data);
      LayIntoStore(run, *store);
      ResultsWindow results(store.get(), boxes, parent);
      results.setWindowTitle(QStringLiteral("检查结果（%1 历史记录，只读）").arg(QString::fromStdString(run.facts.started)));
      results.describeRun(run.facts);
      results.useRuleSet(ruleset::RunRuleSet(home, run.facts));
      results.exec();
    }
  } catch (const std::exception& e) {
    boxes.show(QStringLiteral("错误提示"), QString::fromStdString(e.what()), BoxIcon::Error, BoxButtons::Ok);
  }
  fs::remove_all(scratch, ec);
}

HistoryWindow::HistoryWindow(settings::AppHome home, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), home_(std::move(home)), boxes_(boxes) {
  setObjectName(QStringLiteral("History"));
  setWindowTitle(QStringLiteral("历史记录"));
  resize(900, 480);
  auto* layout = new QVBoxLayout(this);
  list_ = new QTableWidget(0, 12, this);
  list_->setObjectName(QStringLiteral("HistoryGrid"));
  list_->setHorizontalHeaderLabels({QStringLiteral("编号"), QStringLiteral("检查时间"), QStringLiteral("报送数据"),
                                    QStringLiteral("证券公司编码"), QStringLiteral("数据日期"), QStringLiteral("文件类型"),
                                    QStringLiteral("通过/应有"), QStringLiteral("问题数"), QStringLiteral("结论"),
                                    QStringLiteral("检查状态"), QStringLiteral("规则集"), QStringLiteral("源文件目录")});
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setTabKeyNavigation(false);  // Tab reaches the buttons; arrows choose the run
  list_->verticalHeader()->hide();
  list_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(list_);
  auto* buttons = new QHBoxLayout;
  const std::pair<const char*, void (HistoryWindow::*)()> actions[] = {
      {"查看结果", &HistoryWindow::showResults},
      {"与上次比较", &HistoryWindow::showComparison},
      {"导出报告", &HistoryWindow::exportReport}};
  for (const auto& [text, slot] : actions) {
    auto* button = new QPushButton(QString::fromUtf8(text), this);
    connect(button, &QPushButton::clicked, this, slot);
    buttons->addWidget(button);
  }
  buttons->addStretch();
  auto* close = new QPushButton(QStringLiteral("关闭"), this);
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(close);
  layout->addLayout(buttons);
  connect(list_, &QTableWidget::cellDoubleClicked, this, &HistoryWindow::showResults);
  fill();
}

void HistoryWindow::fill() {
  try {
    if (fs::exists(history::HistoryFile(home_.home))) runs_ = history::History::open(home_.home)->list(kHistoryRows);
  } catch (const std::exception&) {
    runs_.clear();  // shown as an empty list
  }
  list_->setRowCount(static_cast<int>(runs_.size()));
  for (int row = 0; row < static_cast<int>(runs_.size()); ++row) {
    const QStringList texts = RowTexts(runs_[row]);
    for (int column = 0; column < texts.size(); ++column) list_->setItem(row, column, new QTableWidgetItem(texts[column]));
  }
  list_->resizeColumnsToContents();
  if (!runs_.empty()) list_->selectRow(0);
}

std::optional<int64_t> HistoryWindow::chosenRun() const {
  const int row = list_->currentRow();
  if (row < 0 || row >= static_cast<int>(runs_.size())) return std::nullopt;
  return runs_[row].id;
}

void HistoryWindow::showResults() {
  std::optional<int64_t> id = chosenRun();
  if (!id) return;
  try {
    std::optional<history::Run> run = history::History::open(home_.home)->read(*id);
    if (run) ShowPastResults(home_, *run, boxes_, this);
  } catch (const std::exception& e) {
    boxes_.show(QStringLiteral("错误提示"), QString::fromStdString(e.what()), BoxIcon::Error, BoxButtons::Ok);
  }
}

void HistoryWindow::showComparison() {
  std::optional<int64_t> id = chosenRun();
  if (!id) return;
  try {
    auto history = history::History::open(home_.home);
    std::optional<int64_t> before = history->previous(*id);
    std::optional<history::Run> earlier = before ? history->read(*before) : std::nullopt;
    std::optional<history::Run> later = history->read(*id);
    if (!earlier || !later) {
      boxes_.show(QStringLiteral("信息提示"), QString::fromUtf8(report::kNoPreviousRun), BoxIcon::Information,
                  BoxButtons::Ok);
      return;
    }
    ComparisonWindow window(*earlier, *later, history::Compare(*earlier, *later), this);
    window.exec();
  } catch (const std::exception& e) {
    boxes_.show(QStringLiteral("错误提示"), QString::fromStdString(e.what()), BoxIcon::Error, BoxButtons::Ok);
  }
}

void HistoryWindow::exportReport() {
  if (std::optional<int64_t> id = chosenRun()) ExportReport(home_, id, boxes_);
}

}  // namespace fc::gui
