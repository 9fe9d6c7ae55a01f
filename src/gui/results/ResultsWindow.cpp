#include "gui/results/ResultsWindow.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QStringList>
#include <QTableWidget>
#include <algorithm>
#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "gui/results/RecordsWindow.h"
#include "gui/results/VerdictLine.h"
#include "gui/shell/LayoutScaling.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/shell/QtText.h"
#include "gui/shell/Twips.h"
#include "settings/Settings.h"
#include "text/Text.h"

namespace fc::gui {

namespace {

constexpr int kMinimumDataRows = 25;
constexpr int kDesignedWidth = 1040;  // pixels; the column widths are those of this width
constexpr double kRowHeight = 800;  // twips, the header row exactly, the others at least
const std::array<double, kResultColumns> kColumnWidths = {600, 2800, 3500, 600, 600, 600, 6180};
const std::array<const char*, kResultColumns> kHeaders = {
    "文件组号", "文件描述", "文件名", "是否存在", "结构正常", "问题编号", "问题描述"};

const QColor kGreen(0, 255, 0);
const QColor kYellow(255, 255, 0);
const QColor kRed(255, 0, 0);

using Field = std::optional<std::string> store::ResultRow::*;
const std::array<Field, kResultColumns> kFields = {
    &store::ResultRow::groupno, &store::ResultRow::filecat, &store::ResultRow::filename,
    &store::ResultRow::isexist, &store::ResultRow::isok,    &store::ResultRow::errid,
    &store::ResultRow::errdesc};

QString CellText(const store::ResultRow& row, int column) {
  const std::optional<std::string>& value = row.*kFields[column];
  return value ? FromStd(*value) : QString();
}

// A column-1 cell sums its row up: passed or not, and with a problem or not.
QColor RowColour(const store::ResultRow& row) {
  if (settings::NumericValue(row.isok.value_or("")) != 1) return kRed;
  bool problem = !text::Trim(row.errid.value_or("")).empty();
  return problem ? kYellow : kGreen;
}

QString OwnerText(const store::RunFacts& f, std::optional<naming::Submission> viewer) {
  QString text = QStringLiteral("%1　证券公司 %2 %3　数据日期 %4　检查时间 %5　文件类型 %6　规则集 %7")
                     .arg(FromStd(naming::SubmissionTitle(f.submission)), FromStd(f.companyCode),
                          FromStd(f.companyName), FromStd(text::DashedDate(f.dataDate)), FromStd(f.started),
                          FromStd(f.fileType), FromStd(store::RuleSetText(f.ruleSet)));
  if (!viewer || viewer == f.submission) return text;
  return QStringLiteral("注意：最近一次检查是另一类报送数据，以下不是本窗口的检查结果。") + text;
}

// One line per table of the run holding records marked deleted; empty for none.
QString DeletedText(const store::RunFacts& f) {
  QStringList lines;
  for (const store::FileFacts& file : f.files)
    if (file.deletedRecords)
      lines << FromStd(file.filename) + QStringLiteral("　") + FromStd(store::DeletedRecordsText(*file.deletedRecords));
  return lines.join(QLatin1Char('\n'));
}

Qt::Alignment DataAlignment(int column) {
  switch (column) {
    case 0: return Qt::AlignCenter;
    case 2: return Qt::AlignRight | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

}  // namespace

std::vector<CellSpan> MergeSpans(const std::vector<store::ResultRow>& rows) {
  std::vector<CellSpan> spans;
  const int n = static_cast<int>(rows.size());
  // mergesUp[r]: row r merges with row r - 1 in the column being walked and
  // in every column to its left.
  std::vector<bool> mergesUp(n, true);
  for (int column = 0; column < kMergedColumns; ++column) {
    for (int r = 0; r < n; ++r)
      mergesUp[r] = r > 0 && mergesUp[r] && CellText(rows[r], column) == CellText(rows[r - 1], column);
    for (int r = 0; r < n;) {
      int end = r + 1;
      while (end < n && mergesUp[end]) ++end;
      if (end - r > 1) spans.push_back({r, column, end - r});
      r = end;
    }
  }
  return spans;
}

ResultsWindow::ResultsWindow(store::Store* store, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), store_(store), boxes_(boxes) {
  // The object names are the ones tests and accessibility tools look up;
  // they keep the form they have always had.
  setObjectName(QStringLiteral("ChkResult"));
  setWindowTitle(QStringLiteral("检查结果"));
  resize(kDesignedWidth, 600);
  verdictLine_ = new QLabel(this);
  verdictLine_->setObjectName(QStringLiteral("VerdictLine"));
  verdictLine_->setGeometry(4, 4, width() - 8, kVerdictLineHeight);
  ownerLine_ = new QLabel(this);
  ownerLine_->setObjectName(QStringLiteral("RunOwner"));
  ownerLine_->setGeometry(4, kVerdictLineHeight + 8, width() - 8, 22);
  grid_ = new QTableWidget(this);
  grid_->setObjectName(QStringLiteral("MSFlexGrid1"));
  grid_->setGeometry(rect().adjusted(4, kVerdictLineHeight + 34, -4, -44));
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::SingleSelection);
  grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
  grid_->setTabKeyNavigation(false);  // Tab reaches the button; arrows choose the row
  grid_->verticalHeader()->hide();
  recordsButton_ = new QPushButton(QStringLiteral("查看记录"), this);
  recordsButton_->setObjectName(QStringLiteral("RecordsCmd"));
  recordsButton_->setGeometry(width() - 4 - 120, height() - 38, 120, 32);
  recordsButton_->setEnabled(false);
  deletedNote_ = new QLabel(this);
  deletedNote_->setObjectName(QStringLiteral("DeletedNote"));
  deletedNote_->setGeometry(4, height() - 40, width() - 8 - 120 - 8, 36);
  deletedNote_->setWordWrap(true);
  deletedNote_->hide();
  connect(grid_, &QTableWidget::cellDoubleClicked, this, &ResultsWindow::openRecords);
  connect(grid_, &QTableWidget::currentCellChanged, this, &ResultsWindow::updateRecordsButton);
  connect(recordsButton_, &QPushButton::clicked, this, &ResultsWindow::openCurrentRecords);

  if (!load())
    boxes.show(QStringLiteral("信息提示"), QStringLiteral("未查找到历史记录！"), BoxIcon::Information,
               BoxButtons::Ok);
  RememberLayout(this);
}

bool ResultsWindow::load() {
  std::vector<store::ResultRow> rows;
  try {
    if (store_) rows = store_->readResults();
  } catch (const store::StoreError&) {
    rows.clear();  // shown like an empty store
  }
  grid_->clearSpans();
  grid_->setRowCount(0);
  findings_.clear();
  if (rows.empty()) return false;
  const int n = static_cast<int>(rows.size());
  setUpGrid(n < kMinimumDataRows ? kMinimumDataRows : n);
  for (int r = 0; r < n; ++r) fillRow(r, rows[r]);
  for (const CellSpan& span : MergeSpans(rows)) grid_->setSpan(span.row, span.column, span.rows, 1);
  grid_->resizeRowsToContents();
  try {
    findings_ = FindingsOfRows(rows, store_->readFindings());
  } catch (const store::StoreError&) {
    findings_.clear();  // the grid stands; its findings just open no records
  }
  return true;
}

void ResultsWindow::describeRun(const std::optional<store::RunFacts>& facts, std::optional<naming::Submission> viewer) {
  ShowVerdict(verdictLine_, facts);
  ownerLine_->setText(facts ? OwnerText(*facts, viewer) : QString());
  // The lines may be more than the note has room for; the tooltip holds them whole.
  const QString deleted = facts ? DeletedText(*facts) : QString();
  deletedNote_->setText(deleted);
  deletedNote_->setToolTip(deleted);
  deletedNote_->setVisible(!deleted.isEmpty());
  submission_ = facts ? std::optional(facts->submission) : viewer;
}

void ResultsWindow::markRunning() { ShowRunning(verdictLine_); }

void ResultsWindow::reload() {
  load();
  updateRecordsButton();
}


const store::FindingRow* ResultsWindow::findingWithRecords(int row) const {
  if (row < 0 || row >= static_cast<int>(findings_.size()) || !findings_[row]) return nullptr;
  return findings_[row]->recordsKept > 0 ? &*findings_[row] : nullptr;
}

void ResultsWindow::openRecords(int row) {
  const store::FindingRow* finding = findingWithRecords(row);
  if (!finding) return;
  std::optional<store::FindingRecords> records;
  try {
    records = store_->readFindingRecords(finding->fileid, finding->finding);
  } catch (const store::StoreError& e) {
    boxes_.show(QStringLiteral("错误提示"), QStringLiteral("记录无法读取：") + FromStd(e.what()),
                BoxIcon::Error, BoxButtons::Ok);
    return;
  }
  if (!records) return;
  RecordsWindow window(std::move(*records), *finding, set_ ? &set_->layouts : nullptr, boxes_, this);
  if (set_ && submission_) window.showAdvice(set_->rules.adviceFor(*submission_, finding->errid, finding->errdesc));
  window.offerUnmasking(store_);
  window.exec();
}

void ResultsWindow::openCurrentRecords() { openRecords(grid_->currentRow()); }

void ResultsWindow::updateRecordsButton() { recordsButton_->setEnabled(findingWithRecords(grid_->currentRow())); }

void ResultsWindow::setUpGrid(int rowCount) {
  grid_->setColumnCount(kResultColumns);
  grid_->setRowCount(rowCount);
  grid_->setWordWrap(true);
  QHeaderView* header = grid_->horizontalHeader();
  header->setFixedHeight(Px(kRowHeight));
  QHeaderView* rowHeader = grid_->verticalHeader();
  rowHeader->setMinimumSectionSize(Px(kRowHeight));
  rowHeader->setDefaultSectionSize(Px(kRowHeight));
  for (int column = 0; column < kResultColumns; ++column) {
    auto* item = new QTableWidgetItem(QString::fromUtf8(kHeaders[column]));
    if (column < kResultColumns - 1) item->setTextAlignment(Qt::Alignment::fromInt(Qt::AlignCenter | Qt::TextWordWrap));
    grid_->setHorizontalHeaderItem(column, item);
  }
  fitColumns();
}

// The columns at their designed widths for the window's width, except that
// the last, the description, never reaches past the grid's right edge: a
// style with a wider frame or scrollbar (Windows') would otherwise cut it
// and scroll the grid sideways.
void ResultsWindow::fitColumns() {
  const double ratio = static_cast<double>(width()) / kDesignedWidth;
  const int last = grid_->columnCount() - 1;
  int room = grid_->width() - 2 * grid_->frameWidth() -
             grid_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, grid_->verticalScrollBar());
  for (int column = 0; column < last; ++column) {
    grid_->setColumnWidth(column, Px(kColumnWidths[column] * ratio));
    room -= grid_->columnWidth(column);
  }
  if (last >= 0) grid_->setColumnWidth(last, std::min(Px(kColumnWidths[last] * ratio), room));
}

void ResultsWindow::fillRow(int row, const store::ResultRow& result) {
  for (int column = 0; column < kResultColumns; ++column) {
    auto* item = new QTableWidgetItem(CellText(result, column));
    item->setTextAlignment(DataAlignment(column));
    if (column == 1) item->setBackground(RowColour(result));
    grid_->setItem(row, column, item);
  }
}

void ResultsWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  ScaleLayout(this);
  fitColumns();
}

}  // namespace fc::gui
