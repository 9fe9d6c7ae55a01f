// The history window over two real check runs of the sample: the list, a
// past run's results in the results grid, the comparison colours, and the
// results window's exports (report and workbook) with their confirmation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

#include "gui/results/ComparisonWindow.h"
#include "gui/results/HistoryWindow.h"
#include "gui/results/ReportButtons.h"
#include "gui/results/ReportExport.h"
#include "gui/results/ResultsWindow.h"
#include "gui/support/DialogTestSupport.h"
#include "gui/support/GuiTestSupport.h"
#include "naming/InterfaceLayouts.h"
#include "pipeline/RunDriver.h"
#include "pipeline/Sample.h"
#include "support/Program.h"
#include "support/Zip.h"

namespace fc::gui {
namespace {

namespace fs = std::filesystem;

QStringList Column(const QTableWidget* grid, int column) {
  QStringList texts;
  for (int r = 0; r < grid->rowCount(); ++r)
    if (const QTableWidgetItem* item = grid->item(r, column)) texts << item->text();
  return texts;
}

class HistoryWindowTest : public ::testing::Test {
 protected:
  test::TestHome home;
  test::ScriptedBoxes boxes;
  fs::path zips = home.path() / "sample" / "account-zip";

  void check() {
    pipeline::RunInputs in;
    in.beginNo = pipeline::kSampleFirstGroup;
    in.endNo = pipeline::kSampleLastGroup;
    in.companyCode = pipeline::kSampleCompany;
    in.dataDate = pipeline::kSampleDate;
    in.sourceDir = zips.string() + "/";
    in.targetDir = "/";
    in.selectedKinds = std::vector<bool>(5, true);
    pipeline::QuietObserver observer;
    ASSERT_TRUE(pipeline::RunDriver(home.home(), in).run(observer).completed);
  }
  void SetUp() override {
    pipeline::WriteSample(naming::InterfaceLayouts::load(FC_SOURCE_DATA_DIR "/rulesets/interface-1/layouts.csv"),
                          home.path() / "sample");
    check();
    fs::remove(zips / "100001_ZHBYZ_20080808_1.ZIP");
    check();
  }
};

TEST_F(HistoryWindowTest, ListsRunsShowsAPastRunsResultsAndComparesWithTheOneBefore) {
  HistoryWindow window(home.home(), boxes);
  ASSERT_EQ(window.list()->rowCount(), 2);
  EXPECT_EQ(Column(window.list(), 0), (QStringList{"2", "1"}));
  EXPECT_EQ(window.list()->item(0, 5)->text(), QStringLiteral("ZIP"));
  EXPECT_TRUE(window.list()->item(0, 6)->text().endsWith(QStringLiteral("/10")));
  EXPECT_EQ(window.list()->item(0, 8)->text(), QStringLiteral("不通过"));

  window.list()->selectRow(1);  // the first run: R27 was still there
  bool shown = false;
  test::InspectNextModalWindow([&](QWidget* modal) {
    ASSERT_NE(modal, nullptr);
    auto* grid = modal->findChild<QTableWidget*>(QStringLiteral("MSFlexGrid1"));
    ASSERT_NE(grid, nullptr);
    EXPECT_TRUE(Column(grid, 5).contains(QStringLiteral("R27")));
    EXPECT_EQ(grid->editTriggers(), QAbstractItemView::NoEditTriggers);
    shown = true;
  });
  window.showResults();
  EXPECT_TRUE(shown);
  EXPECT_FALSE(fs::exists(home.home().home / "histview"));  // the scratch store is gone again

  window.list()->selectRow(0);
  shown = false;
  test::InspectNextModalWindow([&](QWidget* modal) {
    ASSERT_NE(modal, nullptr);
    auto* grid = modal->findChild<QTableWidget*>(QStringLiteral("ComparisonGrid"));
    ASSERT_NE(grid, nullptr);
    // The archive gone is a problem; its finding was not looked for, so it is not gone.
    EXPECT_EQ(Column(grid, 0), (QStringList{QStringLiteral("文件缺失"), QStringLiteral("未检查"), QStringLiteral("文件变化")}));
    EXPECT_EQ(grid->item(1, 2)->text(), QStringLiteral("R27"));
    auto* head = modal->findChild<QLabel*>(QStringLiteral("ComparisonHead"));
    ASSERT_NE(head, nullptr);
    EXPECT_TRUE(head->text().contains(QStringLiteral("上次：检查 1")) && head->text().contains(QStringLiteral("本次：检查 2")));
    EXPECT_NE(modal->findChild<QPushButton*>(QStringLiteral("CloseCmd")), nullptr);
    shown = true;
  });
  window.showComparison();
  EXPECT_TRUE(shown);

  window.list()->selectRow(1);  // no run before the first
  window.showComparison();
  ASSERT_FALSE(boxes.shown.empty());
  EXPECT_TRUE(boxes.texts().last().contains(QStringLiteral("没有同一报送")));
}

TEST_F(HistoryWindowTest, TabLeavesTheListForItsButtonsAndEnterPressesThem) {
  HistoryWindow window(home.home(), boxes);
  test::ShowActive(&window);
  window.list()->setFocus(Qt::TabFocusReason);
  window.list()->setCurrentCell(0, 0);
  QTest::keyClick(window.list(), Qt::Key_Tab);
  auto* button = qobject_cast<QPushButton*>(QApplication::focusWidget());
  ASSERT_NE(button, nullptr);
  EXPECT_EQ(button->text(), QStringLiteral("查看结果"));
  bool shown = false;
  test::InspectNextModalWindow([&](QWidget* modal) {
    ASSERT_NE(modal, nullptr);
    shown = modal->findChild<QTableWidget*>(QStringLiteral("MSFlexGrid1"));
  });
  QTest::keyClick(button, Qt::Key_Return);
  EXPECT_TRUE(shown);
}

TEST_F(HistoryWindowTest, ResultsExportTheReportAndTheWorkbookAndConfirmWhereTheyWent) {
  std::string error;
  std::optional<report::ReportData> data = report::LoadReport(home.home().home, home.home().data, std::nullopt, error);
  ASSERT_TRUE(data) << error;
  const QString proposed = DefaultReportPath(*data, home.home());
  EXPECT_TRUE(proposed.startsWith(test::ToQString(home.path() / "sample") + "/检查报告_100001_20080808_")) << proposed.toStdString();
  EXPECT_TRUE(proposed.endsWith(QStringLiteral(".html")));

  auto store = store::Store::open(home.home().home, home.home().data);
  ResultsWindow results(store.get(), boxes);
  ReportButtons buttons(&results, home.home(), boxes);
  const fs::path pdf = home.path() / "report.pdf", html = home.path() / "report.html",
                 json = home.path() / "report.JSON", book = home.path() / "r.xlsx";
  for (const fs::path& file : {pdf, html, json}) {
    boxes.answerSavePath(test::ToQString(file));
    buttons.exportButton()->click();
  }
  EXPECT_EQ(boxes.saveFilters.value(0), QStringLiteral("网页文件 (*.html);;PDF文件 (*.pdf);;JSON文件 (*.json)"));
  boxes.answerSavePath(test::ToQString(book));
  buttons.workbookButton()->click();
  ASSERT_EQ(boxes.shown.size(), 4u) << boxes.texts().join(" | ").toStdString();
  const fs::path saved[] = {pdf, html, json, book};
  for (size_t i = 0; i < 4; ++i) {
    EXPECT_EQ(boxes.shown[i].buttons, BoxButtons::OkOpenFolder);
    EXPECT_TRUE(boxes.shown[i].text.contains(QDir::toNativeSeparators(test::ToQString(saved[i]))));
  }
  EXPECT_EQ(test::ReadFileBytes(pdf).substr(0, 5), "%PDF-");
  EXPECT_NE(test::ReadFileBytes(html).find("<svg"), std::string::npos);
  EXPECT_EQ(test::ReadFileBytes(json).find("{\n  \"run\": {"), 0u);
  EXPECT_EQ(test::ReadFileBytes(book).substr(0, 2), "PK");
  if (test::HasProgram("unzip")) {
    const std::string sheets = test::ProgramOutput({"unzip", "-p", book.string(), "xl/workbook.xml"});
    EXPECT_NE(sheets.find("name=\"检查概况\""), std::string::npos);
    EXPECT_NE(sheets.find("KHJBXX"), std::string::npos);
  }

  // A failed write says why and leaves nothing.
  boxes.shown.clear();
  boxes.answerSavePath(test::ToQString(home.path() / "missing" / "r.pdf"));
  buttons.exportButton()->click();
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("错误提示"));
  EXPECT_FALSE(fs::exists(home.path() / "missing"));
}

}  // namespace
}  // namespace fc::gui
