// The records window over a store holding findings with their records:
// opened from the real results grid, its contents, the CSV it exports read
// back, and the findings that open nothing.
#include <gtest/gtest.h>

#include <QAbstractItemModel>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <cstdlib>

#include "gui/results/RecordsWindow.h"
#include "gui/results/ResultsWindow.h"
#include "gui/support/GuiTestSupport.h"
#include "naming/InterfaceLayouts.h"
#include "ruleset/RuleSets.h"
#include "store/Store.h"

namespace fc::gui {
namespace {

using Table = std::vector<QStringList>;

// The rows of a CSV text (quoted fields, doubled quotes, CR LF line ends).
Table ParseCsv(const QString& text) {
  Table rows;
  QStringList row;
  QString field;
  bool quoted = false;
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      field += c;
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      row << field;
      field.clear();
    } else if (!quoted && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.push_back(row << field);
      row.clear();
      field.clear();
      ++i;
    } else {
      field += c;
    }
  }
  return rows;
}

// What a view shows: its headings, then its rows.
Table Shown(const QAbstractItemModel* model) {
  Table rows(1);
  for (int c = 0; c < model->columnCount(); ++c) rows[0] << model->headerData(c, Qt::Horizontal).toString();
  for (int r = 0; r < model->rowCount(); ++r) {
    QStringList& row = rows.emplace_back();
    for (int c = 0; c < model->columnCount(); ++c) row << model->index(r, c).data().toString();
  }
  return rows;
}

class RecordsWindowTest : public ::testing::Test {
 protected:
  RecordsWindowTest() : store(store::Store::open(home.home().home, home.home().data)) { store->clearRun(); }

  // A run of three files: KHJBXX with an R08 finding capped at 3 of 5
  // records and two R12 findings, ZJZQDY with a structure problem, YYBXX
  // without problems.
  void fillRun() {
    store->beginFile();
    store->insertFinding(1, "R08", "客户基本信息表中有 5 条记录的营业部代码不存在");
    store::FindingRecords r08{1, 1, "R08", "KHJBXX", {"YYBDM", "KHQC"}, {}, 5, {}};
    r08.records = {{2, {"999999", "东岳,\"甲\" 公司"}}, {7, {"999999", ""}}, {11, {"NULL", "第二行\n换行"}}};
    r08.valueCounts = {{"YYBDM", "999999", 4}, {"YYBDM", "NULL", 1}};
    store->addFindingRecords(r08);
    store->insertFinding(1, "R12", "客户全称为空");
    store->addFindingRecords({1, 2, "R12", "KHJBXX", {"KHQC"}, {{7, {""}}}, 1, {{"KHQC", "", 1}}});
    store->insertFinding(1, "R12", "证件号码为空");
    store->addFindingRecords({1, 3, "R12", "KHJBXX", {"ZJHM"}, {{3, {""}}, {4, {""}}}, 2, {}});
    store->insertFile({1, 1, "客户基本信息表", "100001_KHJBXX_20080808_1.DBF", 1, 1, 3});
    store->beginFile();
    store->insertFinding(2, "5", "字段ZJZH缺失");
    store->insertFile({2, 1, "资金与证券账户对应关系表", "100001_ZJZQDY_20080808_1.DBF", 1, 0, {}});
    store->beginFile();
    store->insertFile({3, 1, "证券营业部信息表", "100001_YYBXX_20080808_1.DBF", 1, 1, 3});
  }

  // The grid row whose problem-description cell reads `errdesc`.
  int rowOf(const QTableWidget* grid, const QString& errdesc) {
    for (int r = 0; r < grid->rowCount(); ++r)
      if (grid->item(r, 6) && grid->item(r, 6)->text() == errdesc) return r;
    return -1;
  }

  // As the window system delivers it: the first click, then the second one.
  void doubleClick(QTableWidget* grid, int row) {
    const QPoint at = grid->visualItemRect(grid->item(row, 6)).center();
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, at);
  }

  test::TestHome home;
  test::ScriptedBoxes boxes;
  std::unique_ptr<store::Store> store;
};

TEST_F(RecordsWindowTest, DoubleClickOpensTheRecordsAndTheirCsvReadsBackEqual) {
  fillRun();
  ResultsWindow results(store.get(), boxes);
  results.useRuleSet(ruleset::LoadRuleSetFor(home.home(), "20080808", ""));
  store::RunFacts facts;
  facts.submission = naming::Submission::Account;
  results.describeRun(facts);
  test::ShowActive(&results);
  const QString csvPath = QString::fromStdString((home.path() / "r08.csv").string());
  boxes.answerSavePath(csvPath);
  Table shown;
  bool opened = false;
  test::InspectNextModalWindow([&](QWidget* modal) {
    auto* window = qobject_cast<RecordsWindow*>(modal);
    ASSERT_TRUE(window);
    opened = true;
    EXPECT_EQ(window->windowTitle(), QStringLiteral("问题R08的记录：100001_KHJBXX_20080808_1.DBF"));
    // What the shipped set says about R08, beside the finding.
    EXPECT_TRUE(window->adviceLine()->text().startsWith(QStringLiteral("说明：每个资金账户都应在同一组的客户基本信息表")));
    EXPECT_TRUE(window->adviceLine()->text().contains(QStringLiteral("\n处理办法：")));
    const QTableWidget* counts = window->countsTable();
    ASSERT_EQ(counts->rowCount(), 2);
    EXPECT_EQ(counts->item(0, 0)->text(), QStringLiteral("营业部代码 YYBDM"));
    EXPECT_EQ(counts->item(0, 1)->text(), "999999");
    EXPECT_EQ(counts->item(0, 2)->text(), "4");
    EXPECT_TRUE(window->cappedNote()->isVisibleTo(window));
    EXPECT_EQ(window->cappedNote()->text(), QStringLiteral("共 5 条，显示前 3 条"));
    shown = Shown(window->recordsTable()->model());
    // A long value is cut short in its cell and shown whole in its tooltip.
    EXPECT_EQ(window->recordsTable()->model()->index(0, 2).data(Qt::ToolTipRole).toString(),
              QStringLiteral("东岳,\"甲\" 公司"));
    window->findChild<QPushButton*>("ExportCsv")->click();
  });
  doubleClick(results.grid(), rowOf(results.grid(), QStringLiteral("客户基本信息表中有 5 条记录的营业部代码不存在")));
  ASSERT_TRUE(opened);

  const Table expected = {{QStringLiteral("记录号"), QStringLiteral("营业部代码 YYBDM"), QStringLiteral("客户全称 KHQC")},
                          {"2", "999999", QStringLiteral("东岳,\"甲\" 公司")},
                          {"7", "999999", ""},
                          {"11", "NULL", QStringLiteral("第二行\n换行")}};
  EXPECT_EQ(shown, expected);
  QFile csv(csvPath);
  ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
  const QByteArray bytes = csv.readAll();
  ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
  EXPECT_EQ(ParseCsv(QString::fromUtf8(bytes.mid(3))), expected);
  EXPECT_TRUE(boxes.proposedPaths.value(0).endsWith("100001_KHJBXX_20080808_1_R08.csv"));
  EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("已导出3条记录到") + QDir::toNativeSeparators(csvPath)});
}

TEST_F(RecordsWindowTest, FindingsWithoutRecordsOpenNothingAndTheButtonFollowsTheChosenRow) {
  fillRun();
  ResultsWindow results(store.get(), boxes);  // no agreement: headings are the names
  test::ShowActive(&results);
  QTableWidget* grid = results.grid();
  QPushButton* button = results.recordsButton();

  // A structure problem and a file without problems: no window, no box.
  bool opened = false;
  QTimer watch;
  QObject::connect(&watch, &QTimer::timeout, [&] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      opened = true;
      modal->close();
    }
  });
  watch.start(0);
  for (const QString& text : {QStringLiteral("字段ZJZH缺失"), QString()}) {
    const int row = text.isEmpty() ? 4 : rowOf(grid, text);
    doubleClick(grid, row);
    test::ProcessEvents();

    EXPECT_FALSE(opened) << row;
    grid->setCurrentCell(row, 6);
    EXPECT_FALSE(button->isEnabled()) << row;
  }
  watch.stop();
  EXPECT_TRUE(boxes.shown.empty());

  // The two R12 findings of one file open their own records, from the button.
  for (const auto& [text, field] : {std::pair{QStringLiteral("证件号码为空"), QStringLiteral("ZJHM")},
                                    std::pair{QStringLiteral("客户全称为空"), QStringLiteral("KHQC")}}) {
    grid->setCurrentCell(rowOf(grid, text), 6);
    ASSERT_TRUE(button->isEnabled()) << text.toStdString();
    QString heading;
    test::InspectNextModalWindow([&](QWidget* modal) {
      auto* window = qobject_cast<RecordsWindow*>(modal);
      ASSERT_TRUE(window);
      heading = window->recordsTable()->model()->headerData(1, Qt::Horizontal).toString();
      EXPECT_FALSE(window->cappedNote()->isVisibleTo(window));  // every record kept
    });
    button->click();
    EXPECT_EQ(heading, field);
  }
}

TEST_F(RecordsWindowTest, ExportCancelledWritesNothingAFailedOneSaysWhyAndASavedOneOffersItsFolder) {
  store::FindingRecords records{1, 1, "R03", "KHJBXX", {"ZJHM"}, {{1, {""}}}, 1, {}};
  RecordsWindow window(records, {1, 1, "K.DBF", "R03", "证件号码为空", 1, 1}, nullptr, boxes);
  EXPECT_FALSE(window.countsTable()->isVisibleTo(&window));  // no value counts
  for (const auto& [name, exportTo] : {std::pair{"k.csv", &RecordsWindow::exportCsv},
                                       std::pair{"k.xlsx", &RecordsWindow::exportWorkbook}}) {
    SCOPED_TRACE(name);
    boxes.shown.clear();
    (window.*exportTo)();  // cancelled
    EXPECT_TRUE(boxes.shown.empty());
    const QString failing = QString::fromStdString((home.path() / "missing" / name).string());
    const QString saved = QString::fromStdString((home.path() / name).string());
    boxes.answerSavePath(failing);
    (window.*exportTo)();
    boxes.answerSavePath(saved);
    (window.*exportTo)();
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[0].title, QStringLiteral("错误提示"));
    EXPECT_TRUE(boxes.shown[0].text.contains(failing));
    EXPECT_FALSE(QFile::exists(failing));
    EXPECT_EQ(boxes.shown[1].buttons, BoxButtons::OkOpenFolder);
    EXPECT_TRUE(boxes.shown[1].text.contains(saved));
    EXPECT_TRUE(QFile::exists(saved));
  }
}

TEST_F(RecordsWindowTest, ColumnsFillTheWidthAsTheWindowGrowsAndTheKeysReachEveryPart) {
  store::FindingRecords records{1, 1, "R08", "ZJBDXX", {"YYBDM", "ZJZH", "JRYE"}, {{4, {"1", "2", "3.00"}}}, 1,
                                {{"YYBDM", "1", 1}}};
  RecordsWindow window(records, {1, 1, "Z.DBF", "R08", "d", 1, 1}, nullptr, boxes);
  auto* table = window.recordsTable();
  auto filled = [table] {
    int sum = 0;
    for (int c = 0; c < table->model()->columnCount(); ++c) sum += table->columnWidth(c);
    return table->viewport()->width() - sum;
  };
  test::ShowActive(&window);
  const int narrow = table->columnWidth(1);
  EXPECT_LE(std::abs(filled()), 4);  // rounding of the shares
  window.resize(window.width() + 400, window.height());
  test::ProcessEvents();
  EXPECT_GT(table->columnWidth(1), narrow);
  EXPECT_LE(std::abs(filled()), 4);

  // Tab goes from part to part (arrows move within a table), starting at the records.
  ASSERT_EQ(QApplication::focusWidget(), table);
  QWidget* const order[] = {window.findChild<QPushButton*>("ExportCsv"), window.findChild<QPushButton*>("ExportXlsx"),
                            window.findChild<QPushButton*>("CloseCmd"),
                            window.countsTable(), table};
  for (QWidget* next : order) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), next) << next->objectName().toStdString();
  }
}

TEST(FindingsOfRowsTest, RowsTakeTheirFindingsByFileErridAndTextInTurn) {
  auto result = [](const char* file, std::optional<std::string> errid, const char* text) {
    store::ResultRow r;
    r.filename = file;
    r.errid = std::move(errid);
    if (r.errid) r.errdesc = text;
    return r;
  };
  const std::vector<store::FindingRow> findings = {
      {1, 1, "A", "R12", "x", 1, 1}, {1, 2, "A", "R12", "x", 2, 2}, {1, 3, "A", "R12", "y", 0, 0}};
  const auto matched = FindingsOfRows(
      {result("A", "R12", "y"), result("A", "R12", "x"), result("A", "R12", "x"), result("B", std::nullopt, ""),
       result("B", "R12", "x")},
      findings);
  ASSERT_EQ(matched.size(), 5u);
  EXPECT_EQ(matched[0]->finding, 3);
  EXPECT_EQ(matched[1]->finding, 1);
  EXPECT_EQ(matched[2]->finding, 2);
  EXPECT_FALSE(matched[3]);
  EXPECT_FALSE(matched[4]);
}

TEST_F(RecordsWindowTest, IdentityNumbersShowWholeOnlyWhileTheBoxIsTickedAndExportAsShown) {
  privacy::PersonalFields marks;
  marks.mark("KHJBXX", "ZJHM", privacy::Personal::IdentityNumber);
  store->setPersonalFields(marks);
  store->insertFinding(1, "R99", "证件号码重复");
  store->addFindingRecords({1, 1, "R99", "KHJBXX", {"ZJZH", "ZJHM"},
                            {{2, {"101", "110101199001011234"}}, {5, {"102", "护照E12"}}}, 2,
                            {{"ZJHM", "110101199001011234", 1}, {"ZJHM", "护照E12", 1}}});
  store->insertFinding(1, "R98", "营业部代码不存在");
  store->addFindingRecords({1, 2, "R98", "KHJBXX", {"YYBDM"}, {{3, {"999999"}}}, 1, {}});
  store->insertFile({1, 1, "客户基本信息表", "100001_KHJBXX_20080808_1.DBF", 1, 1, 3});
  const store::FindingRow finding = store->readFindings().at(0);
  RecordsWindow window(*store->readFindingRecords(1, 1), finding, nullptr, boxes);
  window.offerUnmasking(store.get());
  test::ShowActive(&window);
  ASSERT_TRUE(window.unmaskBox()->isVisibleTo(&window));
  EXPECT_FALSE(window.unmaskBox()->isChecked());

  const QString csvPath = QString::fromStdString((home.path() / "r99.csv").string());
  auto exported = [&] {
    boxes.answerSavePath(csvPath);
    window.exportCsv();
    QFile csv(csvPath);
    EXPECT_TRUE(csv.open(QIODevice::ReadOnly));
    return ParseCsv(QString::fromUtf8(csv.readAll().mid(3)));
  };
  const Table masked = {{QStringLiteral("记录号"), "ZJZH", "ZJHM"},
                        {"2", "101", QStringLiteral("110101********1234")},
                        {"5", "102", QStringLiteral("*****")}};
  EXPECT_EQ(Shown(window.recordsTable()->model()), masked);
  EXPECT_EQ(window.countsTable()->item(0, 1)->text(), QStringLiteral("110101********1234"));
  EXPECT_EQ(exported(), masked);

  window.unmaskBox()->click();
  const Table whole = {{QStringLiteral("记录号"), "ZJZH", "ZJHM"},
                       {"2", "101", QStringLiteral("110101199001011234")},
                       {"5", "102", QStringLiteral("护照E12")}};
  EXPECT_EQ(Shown(window.recordsTable()->model()), whole);
  EXPECT_EQ(window.countsTable()->item(1, 1)->text(), QStringLiteral("护照E12"));
  EXPECT_EQ(exported(), whole);
  window.unmaskBox()->click();
  EXPECT_EQ(Shown(window.recordsTable()->model()), masked);

  // A finding without identity numbers offers nothing to unmask.
  RecordsWindow plain(*store->readFindingRecords(1, 2), store->readFindings().at(1), nullptr, boxes);
  plain.offerUnmasking(store.get());
  EXPECT_FALSE(plain.unmaskBox()->isVisibleTo(&plain));
}

TEST_F(RecordsWindowTest, AmountsAreRightAlignedAndTheValueCountsShowEveryRowTheyHaveRoomFor) {
  store::FindingRecords records{1, 1, "R20", "ZJBDXX", {"ZJZH", "ZRYE"}, {{4, {"101", "12.50"}}}, 1, {}};
  for (int i = 0; i < 5; ++i) records.valueCounts.push_back({"ZRYE", std::to_string(i) + ".00", 5 - i});
  const naming::InterfaceLayouts agreement =
      naming::InterfaceLayouts::load(home.home().data / "rulesets" / "interface-1" / "layouts.csv");
  RecordsWindow window(records, {1, 1, "100001_ZJBDXX_20080808_1.DBF", "R20", "昨日余额有误", 1, 1}, &agreement, boxes);
  test::ShowActive(&window);
  const QAbstractItemModel* model = window.recordsTable()->model();
  auto alignment = [&](int column) { return model->index(0, column).data(Qt::TextAlignmentRole).toInt(); };
  EXPECT_TRUE(alignment(0) & Qt::AlignRight);  // 记录号
  EXPECT_FALSE(alignment(1) & Qt::AlignRight);  // an account number is text
  EXPECT_TRUE(alignment(2) & Qt::AlignRight);  // an amount
  EXPECT_TRUE(window.countsTable()->item(0, 1)->textAlignment() & Qt::AlignRight);
  EXPECT_FALSE(window.countsTable()->verticalScrollBar()->isVisible());
  window.resize(window.width(), 300);  // little room: the counts keep to their share and scroll
  test::ProcessEvents();
  EXPECT_LT(window.countsTable()->height(), window.height() / 2);
  EXPECT_TRUE(window.countsTable()->verticalScrollBar()->isVisible());
}

}  // namespace
}  // namespace fc::gui
