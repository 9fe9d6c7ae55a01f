#include "gui/results/RecordsWindow.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>
#include <QTableWidget>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "gui/shell/MessageBoxes.h"
#include "gui/shell/QtText.h"
#include "naming/InterfaceLayouts.h"
#include "platform/FileReplace.h"
#include "spreadsheet/Csv.h"
#include "spreadsheet/Workbook.h"

namespace fc::gui {

namespace {

constexpr int kWidestColumn = 260;  // px a column takes before it shares out the room left
constexpr int kCountsShare = 40;    // percent of the window the value counts take at most above the records

}  // namespace

// The records of one finding as a table: 记录号, then one column per field.
// A model rather than one item per cell: with no limit a finding may keep
// millions of records, and the view asks only for the rows it shows.
class RecordsModel final : public QAbstractTableModel {
 public:
  // `rightAligned`: by column, the columns that hold numbers.
  RecordsModel(store::FindingRecords records, QStringList headings, std::vector<bool> rightAligned, QObject* parent)
      : QAbstractTableModel(parent),
        records_(std::move(records)),
        headings_(std::move(headings)),
        rightAligned_(std::move(rightAligned)) {}

  const store::FindingRecords& records() const { return records_; }
  void replace(store::FindingRecords records) {
    beginResetModel();
    records_ = std::move(records);
    endResetModel();
  }
  const QStringList& headings() const { return headings_; }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(records_.records.size());
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : static_cast<int>(headings_.size());
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    if (role == Qt::TextAlignmentRole && rightAligned_.at(static_cast<size_t>(index.column())))
      return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
    const store::FindingRecords::Record& record = records_.records[static_cast<size_t>(index.row())];
    if (index.column() == 0) return QString::number(record.recno);
    const size_t field = static_cast<size_t>(index.column() - 1);
    return field < record.values.size() ? FromStd(record.values[field]) : QString();
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || (role != Qt::DisplayRole && role != Qt::ToolTipRole)) return {};
    return headings_.value(section);
  }

 private:
  store::FindingRecords records_;
  const QStringList headings_;
  const std::vector<bool> rightAligned_;
};

namespace {

// Columns take their natural width, at most kWidestColumn; when together they
// leave room in the view, they share it out in proportion, so that they grow
// and shrink with the window.
void FitColumns(QTableView* view) {
  QHeaderView* header = view->horizontalHeader();
  const int n = header->count();
  std::vector<int> widths(static_cast<size_t>(n));
  int sum = 0;
  for (int c = 0; c < n; ++c) {
    const int natural = std::max(header->sectionSizeHint(c),
                                 static_cast<QAbstractItemView*>(view)->sizeHintForColumn(c));
    widths[static_cast<size_t>(c)] = std::min(natural, kWidestColumn);
    sum += widths[static_cast<size_t>(c)];
  }
  const int room = view->viewport()->width();
  for (int c = 0; c < n; ++c) {
    const int width = widths[static_cast<size_t>(c)];
    header->resizeSection(c, sum > 0 && sum < room ? width * room / sum : width);
  }
}

// Views of the window: read only, one line per row, long texts cut short.
template <class View>
View* MakeView(QWidget* parent, const char* name) {
  auto* view = new View(parent);
  view->setObjectName(QLatin1String(name));
  view->setEditTriggers(QAbstractItemView::NoEditTriggers);
  view->setSelectionBehavior(QAbstractItemView::SelectRows);
  view->setTabKeyNavigation(false);  // Tab goes on to the next part; arrows move within
  view->setWordWrap(false);
  view->setTextElideMode(Qt::ElideRight);
  view->verticalHeader()->hide();
  view->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  view->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  view->viewport()->installEventFilter(parent);
  return view;
}

}  // namespace

std::vector<std::optional<store::FindingRow>> FindingsOfRows(const std::vector<store::ResultRow>& rows,
                                                             const std::vector<store::FindingRow>& findings) {
  std::vector<bool> taken(findings.size(), false);
  std::vector<std::optional<store::FindingRow>> matched;
  matched.reserve(rows.size());
  for (const store::ResultRow& row : rows) {
    std::optional<store::FindingRow>& match = matched.emplace_back();
    if (!row.errid || !row.filename) continue;  // a file without problems
    for (size_t i = 0; i < findings.size(); ++i) {
      const store::FindingRow& f = findings[i];
      if (taken[i] || f.filename != *row.filename || f.errid != *row.errid || f.errdesc != row.errdesc.value_or(""))
        continue;
      taken[i] = true;
      match = f;
      break;
    }
  }
  return matched;
}

// True when the agreement gives `field` of `table` as a number (an amount):
// shown right-aligned, digits under digits.
bool IsNumberField(const naming::InterfaceLayouts* agreement, const std::string& table, const std::string& field) {
  const naming::TableLayout* layout = agreement ? agreement->find(table) : nullptr;
  if (!layout) return false;
  return std::any_of(layout->fields.begin(), layout->fields.end(),
                     [&](const naming::LayoutField& f) { return f.type == 'N' && f.name == field; });
}

RecordsWindow::RecordsWindow(store::FindingRecords records, const store::FindingRow& finding,
                             const naming::InterfaceLayouts* agreement, MessageBoxes& boxes, QWidget* parent)
    : QDialog(parent), boxes_(boxes), finding_(finding), agreement_(agreement) {
  setObjectName(QStringLiteral("RecordsWindow"));
  setWindowTitle(QStringLiteral("问题%1的记录：%2").arg(FromStd(finding.errid), FromStd(finding.filename)));
  setWindowFlag(Qt::WindowMaximizeButtonHint);
  setSizeGripEnabled(true);
  resize(900, 600);
  proposedName_ = QFileInfo(FromStd(finding.filename)).completeBaseName() + QLatin1Char('_') +
                  FromStd(finding.errid);
  QStringList headings{QStringLiteral("记录号")};
  std::vector<bool> rightAligned{true};
  for (const std::string& field : records.fields) {
    headings << FromStd(naming::FieldHeading(agreement, records.table, field));
    rightAligned.push_back(IsNumberField(agreement, records.table, field));
  }

  auto* description = new QLabel(FromStd(finding.errdesc), this);
  description->setObjectName(QStringLiteral("ErrDesc"));
  description->setWordWrap(true);
  advice_ = new QLabel(this);
  advice_->setObjectName(QStringLiteral("RuleAdvice"));
  advice_->setWordWrap(true);
  advice_->setVisible(false);
  counts_ = MakeView<QTableWidget>(this, "ValueCounts");
  fillCounts(records, agreement);
  const int64_t total = records.total;
  const int64_t kept = static_cast<int64_t>(records.records.size());
  table_ = MakeView<QTableView>(this, "Records");
  model_ = new RecordsModel(std::move(records), std::move(headings), std::move(rightAligned), table_);
  table_->setModel(model_);
  capped_ = new QLabel(QStringLiteral("共 %1 条，显示前 %2 条").arg(total).arg(kept), this);
  capped_->setObjectName(QStringLiteral("Capped"));
  capped_->setVisible(total > kept);
  unmask_ = new QCheckBox(QStringLiteral("显示完整证件号码"), this);
  unmask_->setObjectName(QStringLiteral("Unmask"));
  unmask_->setVisible(false);
  export_ = new QPushButton(QStringLiteral("导出CSV"), this);
  export_->setObjectName(QStringLiteral("ExportCsv"));
  exportWorkbook_ = new QPushButton(QStringLiteral("导出Excel"), this);
  exportWorkbook_->setObjectName(QStringLiteral("ExportXlsx"));
  close_ = new QPushButton(QStringLiteral("关闭"), this);
  close_->setObjectName(QStringLiteral("CloseCmd"));
  close_->setDefault(true);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(capped_);
  buttons->addStretch();
  buttons->addWidget(unmask_);
  buttons->addWidget(export_);
  buttons->addWidget(exportWorkbook_);
  buttons->addWidget(close_);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(description);
  layout->addWidget(advice_);
  layout->addWidget(counts_);
  layout->addWidget(table_, 1);
  layout->addLayout(buttons);
  setTabOrder(counts_, table_);
  setTabOrder(table_, unmask_);
  setTabOrder(unmask_, export_);
  setTabOrder(export_, exportWorkbook_);
  setTabOrder(exportWorkbook_, close_);
  table_->setFocus(Qt::OtherFocusReason);

  connect(unmask_, &QCheckBox::toggled, this, &RecordsWindow::showUnmasked);
  connect(export_, &QPushButton::clicked, this, &RecordsWindow::exportCsv);
  connect(exportWorkbook_, &QPushButton::clicked, this, &RecordsWindow::exportWorkbook);
  connect(close_, &QPushButton::clicked, this, &QDialog::accept);
}

void RecordsWindow::showAdvice(const rules::RuleAdvice& advice) {
  QStringList lines;
  if (!advice.explain.empty()) lines << QStringLiteral("说明：") + FromStd(advice.explain);
  if (!advice.remedy.empty()) lines << QStringLiteral("处理办法：") + FromStd(advice.remedy);
  advice_->setText(lines.join(QLatin1Char('\n')));
  advice_->setVisible(!lines.isEmpty());
}

void RecordsWindow::offerUnmasking(store::Store* store) {
  store_ = store;
  const auto& personal = model_->records().personal;
  unmask_->setVisible(store_ && std::any_of(personal.begin(), personal.end(), [](const auto& p) {
                        return p.second == privacy::Personal::IdentityNumber;
                      }));
}

void RecordsWindow::showUnmasked(bool unmasked) {
  if (!store_) return;
  std::optional<store::FindingRecords> records;
  try {
    records = store_->readFindingRecords(finding_.fileid, finding_.finding,
                                         unmasked ? privacy::Masking::Off : privacy::Masking::Numbers);
  } catch (const store::StoreError& e) {
    boxes_.show(QStringLiteral("错误提示"), QStringLiteral("记录无法读取：") + FromStd(e.what()), BoxIcon::Error,
                BoxButtons::Ok);
  }
  if (!records) {
    const QSignalBlocker quiet(unmask_);
    unmask_->setChecked(!unmasked);
    return;
  }
  fillCounts(*records, agreement_);
  model_->replace(std::move(*records));
}

void RecordsWindow::fillCounts(const store::FindingRecords& records, const naming::InterfaceLayouts* agreement) {
  counts_->setColumnCount(3);
  counts_->setHorizontalHeaderLabels({QStringLiteral("字段"), QStringLiteral("值"), QStringLiteral("记录数")});
  counts_->setRowCount(static_cast<int>(records.valueCounts.size()));
  int row = 0;
  for (const store::FindingRecords::ValueCount& count : records.valueCounts) {
    // A blank value would be an empty cell, easily read as a missing row.
    const QString value = count.value.empty() ? QStringLiteral("（空）") : FromStd(count.value);
    const QString texts[] = {FromStd(naming::FieldHeading(agreement, records.table, count.field)), value,
                             QString::number(count.count)};
    for (int column = 0; column < 3; ++column) {
      auto* item = new QTableWidgetItem(texts[column]);
      item->setToolTip(texts[column]);
      if (column == 2 || (column == 1 && IsNumberField(agreement, records.table, count.field)))
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      counts_->setItem(row, column, item);
    }
    ++row;
  }
  counts_->setVisible(row > 0);
  countsHeight_ = counts_->horizontalHeader()->sizeHint().height() + counts_->verticalHeader()->length() +
                  2 * counts_->frameWidth();
  fitCountsHeight();
}

// The value counts show every row without a scroll bar when the window has
// room for them, and never more than their share of it: the records below
// take the rest.
void RecordsWindow::fitCountsHeight() {
  counts_->setFixedHeight(std::min(countsHeight_, height() * kCountsShare / 100));
}

void RecordsWindow::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  fitCountsHeight();
}

bool RecordsWindow::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Resize) {
    if (watched == table_->viewport()) FitColumns(table_);
    if (watched == counts_->viewport()) FitColumns(counts_);
  }
  return QDialog::eventFilter(watched, event);
}

std::string RecordsWindow::csvText() const {
  std::vector<std::string> headings;
  for (const QString& heading : model_->headings()) headings.push_back(heading.toStdString());
  std::string text = std::string(spreadsheet::kUtf8Bom) + spreadsheet::CsvLine(headings);
  for (const store::FindingRecords::Record& record : model_->records().records) {
    std::vector<std::string> fields{std::to_string(record.recno)};
    fields.insert(fields.end(), record.values.begin(), record.values.end());
    text += spreadsheet::CsvLine(fields);
  }
  return text;
}

void RecordsWindow::exportTo(const QString& title, const QString& filter, const QString& suffix,
                             const FileWriter& write) {
  const QString path = boxes_.askSavePath(title, QDir::home().filePath(proposedName_ + suffix), filter);
  if (path.isEmpty()) return;
  // Written whole or not at all: a failed export leaves no half-written file
  // and keeps an earlier one.
  std::string error;
  if (!write(PathOf(path), error)) {
    boxes_.show(QStringLiteral("错误提示"), FromStd(error), BoxIcon::Error, BoxButtons::Ok);
    return;
  }
  ShowSaved(boxes_, QStringLiteral("已导出%1条记录到%2").arg(model_->rowCount({})).arg(ShownPath(path)), path);
}

void RecordsWindow::exportCsv() {
  exportTo(QStringLiteral("导出CSV"), QStringLiteral("CSV文件 (*.csv)"), QStringLiteral(".csv"),
           [this](const std::filesystem::path& file, std::string& error) {
             const platform::WriteResult written = platform::WriteFile(file, csvText(), {});
             if (!written) error = platform::WriteFailureText(file, written);
             return static_cast<bool>(written);
           });
}

void RecordsWindow::exportWorkbook() {
  exportTo(QStringLiteral("导出Excel"), QStringLiteral("Excel工作簿 (*.xlsx)"), QStringLiteral(".xlsx"),
           [this](const std::filesystem::path& file, std::string& error) {
             spreadsheet::Workbook book;
             book.findings.push_back({finding_, model_->records()});
             book.agreement = agreement_;
             return spreadsheet::WriteWorkbook(file, book, error);
           });
}

}  // namespace fc::gui
