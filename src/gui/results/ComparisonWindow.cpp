#include "gui/results/ComparisonWindow.h"

#include <QHeaderView>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "gui/shell/QtText.h"

namespace fc::gui {

namespace {

const QColor kNew(255, 160, 160);
const QColor kGone(160, 230, 160);
const QColor kChanged(255, 255, 150);
const QColor kFile(220, 230, 245);
const QColor kUnchecked(220, 220, 220);

QString RunHead(const QString& which, const history::Run& run) {
  return QStringLiteral("%1：检查 %2　%3　%4　%5　结论：%6　规则集：%7")
      .arg(which)
      .arg(run.id)
      .arg(FromStd(run.facts.started), FromStd(run.facts.fileType), ShownPath(FromStd(run.facts.sourceDir)),
           QString::fromUtf8(store::VerdictWord(run.facts.verdict)), FromStd(store::RuleSetText(run.facts.ruleSet)));
}

}  // namespace

ComparisonWindow::ComparisonWindow(const history::Run& before, const history::Run& after, const history::Comparison& c,
                                   QWidget* parent)
    : QDialog(parent) {
  setObjectName(QStringLiteral("Comparison"));
  setWindowTitle(QStringLiteral("与上次比较"));
  resize(1000, 420);
  auto* layout = new QVBoxLayout(this);
  auto* head = new QLabel(RunHead(QStringLiteral("上次"), before) + QLatin1Char('\n') + RunHead(QStringLiteral("本次"), after), this);
  head->setObjectName(QStringLiteral("ComparisonHead"));
  layout->addWidget(head);
  auto* summary = new QLabel(QStringLiteral("新增问题 %1 个，消除问题 %2 个，本次未检查 %3 个，记录数变化 %4 个，本次缺少的文件 %5 个，内容变化的文件 %6 个。")
                                 .arg(c.added.size()).arg(c.gone.size()).arg(c.unchecked.size())
                                 .arg(c.changed.size()).arg(c.missing.size()).arg(c.files.size()),
                             this);
  summary->setObjectName(QStringLiteral("ComparisonSummary"));
  layout->addWidget(summary);
  if (!c.ruleSetWarning.empty()) {
    auto* warning = new QLabel(FromStd(c.ruleSetWarning), this);
    warning->setObjectName(QStringLiteral("RuleSetWarning"));
    warning->setWordWrap(true);
    warning->setStyleSheet(QStringLiteral("color: rgb(160, 80, 0)"));
    layout->addWidget(warning);
  }
  grid_ = new QTableWidget(0, 6, this);
  grid_->setObjectName(QStringLiteral("ComparisonGrid"));
  grid_->setHorizontalHeaderLabels({QStringLiteral("变化"), QStringLiteral("文件名"), QStringLiteral("问题编号"),
                                    QStringLiteral("上次"), QStringLiteral("本次"), QStringLiteral("问题描述")});
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setTabKeyNavigation(false);  // Tab reaches the close button; arrows move within
  grid_->verticalHeader()->hide();
  grid_->horizontalHeader()->setStretchLastSection(true);
  layout->addWidget(grid_);
  for (const history::FindingChange& f : c.added)
    addRow(QStringLiteral("新增"), kNew,
           {FromStd(f.filename), FromStd(f.errid), QString(), QString::number(f.countAfter), FromStd(f.errdescAfter)});
  for (const history::FindingChange& f : c.changed)
    addRow(QStringLiteral("变化"), kChanged,
           {FromStd(f.filename), FromStd(f.errid), QString::number(f.countBefore), QString::number(f.countAfter),
            FromStd(f.errdescAfter)});
  for (const std::string& name : c.missing)
    addRow(QStringLiteral("文件缺失"), kNew,
           {FromStd(name), QString(), QStringLiteral("存在"), QStringLiteral("不存在"), QString()});
  for (const history::FindingChange& f : c.gone)
    addRow(QStringLiteral("消除"), kGone,
           {FromStd(f.filename), FromStd(f.errid), QString::number(f.countBefore), QString(), FromStd(f.errdescBefore)});
  for (const history::FindingChange& f : c.unchecked)
    addRow(QStringLiteral("未检查"), kUnchecked,
           {FromStd(f.filename), FromStd(f.errid), QString::number(f.countBefore), QStringLiteral("未检查"),
            FromStd(f.errdescBefore)});
  for (const history::FileChange& f : c.files)
    addRow(QStringLiteral("文件变化"), kFile,
           {FromStd(f.filename), QString(), FromStd(f.sha256Before.substr(0, 16)), FromStd(f.sha256After.substr(0, 16)),
            QString()});
  grid_->resizeColumnsToContents();
  auto* buttons = new QHBoxLayout;
  buttons->addStretch();
  auto* close = new QPushButton(QStringLiteral("关闭"), this);
  close->setObjectName(QStringLiteral("CloseCmd"));
  connect(close, &QPushButton::clicked, this, &QDialog::accept);
  buttons->addWidget(close);
  layout->addLayout(buttons);
}

void ComparisonWindow::addRow(const QString& change, const QColor& colour, const QStringList& cells) {
  const int row = grid_->rowCount();
  grid_->insertRow(row);
  QStringList texts = QStringList{change} + cells;
  for (int column = 0; column < texts.size(); ++column) {
    auto* item = new QTableWidgetItem(texts[column]);
    item->setBackground(colour);
    grid_->setItem(row, column, item);
  }
}

}  // namespace fc::gui
