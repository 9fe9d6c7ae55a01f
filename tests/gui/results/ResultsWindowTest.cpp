// The results grid over a store filled with known rows: cells, colours,
// merged spans, the row count, and the empty case.
#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QScrollBar>
#include <QTableWidget>

#include "gui/results/ResultsWindow.h"
#include "gui/support/GuiTestSupport.h"
#include "store/Store.h"

namespace fc::gui {
namespace {

const QColor kGreen(0, 255, 0), kYellow(255, 255, 0), kRed(255, 0, 0);

class ResultsWindowTest : public ::testing::Test {
 protected:
  ResultsWindowTest() : store(store::Store::open(home.home().home, home.home().data)) {
    store->clearRun();
  }

  void addFile(store::FileRow row, std::vector<std::pair<std::string, std::string>> problems = {}) {
    store->beginFile();
    for (const auto& [id, text] : problems) store->insertFinding(row.fileid, id, text);
    store->insertFile(row);
  }

  QString cell(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
  }

  QColor colour(const QTableWidget* grid, int row) {
    return grid->item(row, 1)->background().color();
  }

  test::TestHome home;
  test::ScriptedBoxes boxes;
  std::unique_ptr<store::Store> store;
};

TEST_F(ResultsWindowTest, FilesWithoutProblemsAreGreenInA25RowGrid) {
  addFile({1, 0, "投资者身份信息复查处理结果表", "100001_SFZFCJG_20100107.ZIP", 1, 1, 3});
  addFile({2, 0, "投资者身份信息核查异常明细表", "100001_SFZHCQK_20100104.ZIP", 1, 1, 3});
  ResultsWindow results(store.get(), boxes);
  const QTableWidget* grid = results.grid();
  EXPECT_TRUE(boxes.shown.empty());
  EXPECT_EQ(grid->columnCount(), 7);
  EXPECT_EQ(grid->rowCount(), 25);  // under the header row
  EXPECT_EQ(cell(grid, 0, 0), "0");
  EXPECT_EQ(cell(grid, 0, 1), QStringLiteral("投资者身份信息复查处理结果表"));
  EXPECT_EQ(cell(grid, 1, 2), "100001_SFZHCQK_20100104.ZIP");
  EXPECT_EQ(cell(grid, 1, 3), "1");
  EXPECT_EQ(cell(grid, 1, 4), "1");
  EXPECT_EQ(cell(grid, 1, 5), "");
  EXPECT_EQ(colour(grid, 0), kGreen);
  EXPECT_EQ(colour(grid, 1), kGreen);
  EXPECT_EQ(cell(grid, 2, 1), "");
  EXPECT_EQ(grid->rowSpan(0, 0), 2);  // one group
  EXPECT_EQ(grid->rowSpan(0, 3), 1);  // another file
}

TEST_F(ResultsWindowTest, HeaderWidthsAndAlignments) {
  addFile({1, 1, "客户基本信息表", "100001_KHJBXX_20080808_1.ZIP", 1, 1, 3});
  ResultsWindow results(store.get(), boxes);
  const QTableWidget* grid = results.grid();
  const QStringList headers = {"文件组号", "文件描述", "文件名", "是否存在", "结构正常", "问题编号", "问题描述"};
  const int widths[] = {40, 187, 233, 40, 40, 40, 412};  // twips / 15
  for (int c = 0; c < 7; ++c) {
    EXPECT_EQ(grid->horizontalHeaderItem(c)->text(), headers[c]);
    EXPECT_EQ(grid->columnWidth(c), widths[c]) << c;
  }
  EXPECT_EQ(grid->horizontalHeader()->height(), 53);  // 800 twips
  EXPECT_GE(grid->rowHeight(0), 53);
  EXPECT_TRUE(grid->horizontalHeaderItem(0)->textAlignment() & Qt::AlignHCenter);
  EXPECT_EQ(grid->item(0, 0)->textAlignment(), int(Qt::AlignCenter));
  EXPECT_EQ(grid->item(0, 2)->textAlignment(), int(Qt::AlignRight | Qt::AlignVCenter));
  EXPECT_EQ(grid->item(0, 5)->textAlignment(), int(Qt::AlignLeft | Qt::AlignVCenter));
}

TEST_F(ResultsWindowTest, ProblemsSpanTheirFileAndColourIt) {
  addFile({1, 1, "客户基本信息表", "QL_100001_KHJBXX_20080808_1.ZIP", 1, 1, 3},
          {{"R04", "证件号码重复"}, {"R02", "客户名称为空"}});
  addFile({2, 1, "资金变动信息表", "100001_ZJBDXX_20080808_1.ZIP", 0, 0, {}});
  addFile({3, 1, "证券营业部信息表", "100001_YYBXX_20080808_1.ZIP", 1, 0, {}}, {{"7", "日期不符"}});
  addFile({4, 2, "客户基本信息表", "QL_100001_KHJBXX_20080808_2.ZIP", 1, 1, 3});
  ResultsWindow results(store.get(), boxes);
  const QTableWidget* grid = results.grid();
  // Problems in errid order, the file's columns once over both.
  EXPECT_EQ(cell(grid, 0, 5), "R02");
  EXPECT_EQ(cell(grid, 1, 5), "R04");
  EXPECT_EQ(cell(grid, 1, 6), QStringLiteral("证件号码重复"));
  for (int c = 1; c <= 4; ++c) EXPECT_EQ(grid->rowSpan(0, c), 2) << c;
  EXPECT_EQ(grid->rowSpan(0, 5), 1);
  EXPECT_EQ(grid->rowSpan(0, 0), 4);  // group 1: rows 0 to 3
  EXPECT_EQ(colour(grid, 0), kYellow);
  // Not found: zeros, no problem, red.
  EXPECT_EQ(cell(grid, 2, 3), "0");
  EXPECT_EQ(cell(grid, 2, 4), "0");
  EXPECT_EQ(cell(grid, 2, 5), "");
  EXPECT_EQ(colour(grid, 2), kRed);
  // A structure problem is red, not yellow.
  EXPECT_EQ(colour(grid, 3), kRed);
  // The second group starts afresh.
  EXPECT_EQ(cell(grid, 4, 0), "2");
  for (int c = 0; c <= 4; ++c) EXPECT_EQ(grid->rowSpan(4, c), 1) << c;
}

TEST_F(ResultsWindowTest, TablesHoldingDeletedRecordsAreNamedUnderTheGridAndOnlyThen) {
  addFile({1, 0, "投资者身份信息复查处理结果表", "100001_SFZFCJG_20100107.ZIP", 1, 1, 3});
  ResultsWindow results(store.get(), boxes);
  store::RunFacts facts;
  facts.files.emplace_back().filename = "100001_SFZFCJG_20100107.ZIP";
  results.describeRun(facts);
  EXPECT_TRUE(results.deletedNote()->isHidden());
  facts.files[0].deletedRecords = 3;
  results.describeRun(facts);
  EXPECT_FALSE(results.deletedNote()->isHidden());
  EXPECT_EQ(results.deletedNote()->text(),
            QStringLiteral("100001_SFZFCJG_20100107.ZIP　表中有3条已删除的记录：检查和规则都不读取它们，但保留已删除记录的软件会读到"));
}

TEST_F(ResultsWindowTest, ThirtyRowsMakeAGridOfThirtyDataRows) {
  for (int i = 1; i <= 30; ++i)
    addFile({i, i, "客户基本信息表", "F" + std::to_string(i) + ".ZIP", 0, 0, {}});
  ResultsWindow results(store.get(), boxes);
  EXPECT_EQ(results.grid()->rowCount(), 30);  // 31 with the header row
}

TEST_F(ResultsWindowTest, EmptyStoreSaysSoAndOpensEmpty) {
  ResultsWindow results(store.get(), boxes);
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("信息提示"));
  EXPECT_EQ(boxes.shown[0].text, QStringLiteral("未查找到历史记录！"));
  EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Information);
  EXPECT_EQ(results.grid()->rowCount(), 0);
}

TEST_F(ResultsWindowTest, NoStoreIsTheEmptyCase) {
  ResultsWindow results(nullptr, boxes);
  ASSERT_EQ(boxes.texts(), QStringList{QStringLiteral("未查找到历史记录！")});
}

TEST_F(ResultsWindowTest, ColumnsGrowAndShrinkWithTheWindow) {
  addFile({1, 0, "投资者身份信息复查处理结果表", "100001_SFZFCJG_20100107.ZIP", 1, 1, 3});
  ResultsWindow results(store.get(), boxes);
  const QTableWidget* grid = results.grid();
  std::vector<int> designed;
  for (int c = 0; c < grid->columnCount(); ++c) designed.push_back(grid->columnWidth(c));
  results.resize(2 * results.width(), results.height());
  results.show();
  test::ProcessEvents();
  for (int c = 0; c < grid->columnCount(); ++c) EXPECT_NEAR(grid->columnWidth(c), 2 * designed[c], 1) << c;
  results.resize(results.width() / 2, results.height());
  test::ProcessEvents();
  for (int c = 0; c < grid->columnCount(); ++c) EXPECT_EQ(grid->columnWidth(c), designed[c]) << c;
}

// A style whose scrollbar is wider than the design allowed for (Windows')
// narrows the description instead of scrolling the grid sideways.
TEST_F(ResultsWindowTest, DescriptionNarrowsToStayWithinAWideScrollbarsGrid) {
  addFile({1, 1, "客户基本信息表", "100001_KHJBXX_20080808_1.ZIP", 1, 1, 3}, {{"R02", "记录有误"}});
  qApp->setStyleSheet(QStringLiteral("QScrollBar:vertical { width: 60px; }"));
  ResultsWindow results(store.get(), boxes);
  results.show();
  test::ProcessEvents();
  const QTableWidget* grid = results.grid();
  EXPECT_LE(grid->horizontalHeader()->length(), grid->viewport()->width());
  EXPECT_FALSE(grid->horizontalScrollBar()->isVisible());
  EXPECT_EQ(grid->columnWidth(0), 40);  // the others keep their widths
  qApp->setStyleSheet(QString());
}

TEST(MergeSpansTest, ColumnsMergeOnlyWhereTheColumnsToTheirLeftDo) {
  auto row = [](const char* g, const char* cat, const char* name) {
    store::ResultRow r;
    r.groupno = g;
    r.filecat = cat;
    r.filename = name;
    r.isexist = "1";
    r.isok = "1";
    return r;
  };
  // Rows 1 and 2 share everything but the group: only the flags would merge
  // on their own, and must not.
  const std::vector<store::ResultRow> rows = {row("1", "A", "a"), row("1", "A", "a"),
                                              row("2", "A", "a")};
  const std::vector<CellSpan> spans = MergeSpans(rows);
  ASSERT_EQ(spans.size(), 5u);
  for (int c = 0; c < 5; ++c) {
    EXPECT_EQ(spans[c].row, 0);
    EXPECT_EQ(spans[c].column, c);
    EXPECT_EQ(spans[c].rows, 2);
  }
}

}  // namespace
}  // namespace fc::gui
