// Whole check runs started from ChkCmd on the sample submission: the window
// while the run works on its thread, the packaging question, the final
// status, the archives, and the results that the grid then shows.
#include <gtest/gtest.h>

#include <QDateEdit>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTableWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLocale>
#include <QTimer>
#include <fstream>

#include "gui/results/HistoryWindow.h"
#include "gui/results/ResultsWindow.h"
#include "gui/support/GuiTestSupport.h"
#include "gui/windows/AccountCheckWindow.h"
#include "gui/windows/IdentityCheckWindow.h"
#include "gui/windows/RunBridge.h"
#include "naming/InterfaceLayouts.h"
#include "pipeline/Sample.h"
#include "pipeline/StopRequest.h"
#include "settings/NumberSettings.h"
#include "store/Store.h"
#include "store/RunFacts.h"
#include "support/RuleSetCopy.h"
#include "support/StoreRows.h"
#include "support/Zip.h"

namespace fc::gui {
namespace {

constexpr int kRunTimeoutMs = 120000;  // a bound on a hung run, not a performance target

class RunTest : public ::testing::Test {
 protected:
  RunTest() {
    pipeline::WriteSample(naming::InterfaceLayouts::load(home.home().data / "rulesets/interface-1/layouts.csv"),
                          home.path() / "sample");
    std::filesystem::create_directory(home.path() / "out");
  }

  std::string dir(const char* name) { return (home.path() / name).string(); }

  // The account window's inputs for a DBF-type run of the sample company's
  // groups 1 to `end` in `source`, packing into out.
  void fillDbfRun(AccountCheckWindow& window, const char* end, const std::string& source) {
    window.companyCodeField()->setText(pipeline::kSampleCompany);
    window.dataDateField()->setDate(QDate(2008, 8, 8));
    window.beginNoField()->setText("1");
    window.endNoField()->setText(end);
    window.findChild<QRadioButton*>("CHKDBF")->setChecked(true);
    window.sourceDirField()->setText(QString::fromStdString(source));
    window.targetDirField()->setText(QString::fromStdString(dir("out")));
  }

  // Presses ChkCmd and waits for the run to end; checks the window while it runs.
  void runCheck(CheckWindow& window) {
    QSignalSpy finished(&window, &CheckWindow::checkFinished);
    auto* check = window.findChild<QPushButton*>("ChkCmd");
    check->click();
    ASSERT_TRUE(window.running()) << boxes.texts().join('|').toStdString();
    EXPECT_FALSE(check->isEnabled());
    EXPECT_EQ(window.cursor().shape(), Qt::WaitCursor);
    // Refused while the run works, saying why; the box is taken off the
    // record so that the tests read the run's own boxes.
    const std::size_t before = boxes.shown.size();
    window.returnToWelcome();
    window.close();
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(boxes.shown.size(), before + 2);
    for (std::size_t i = before; i < before + 2; ++i) {
      EXPECT_EQ(boxes.shown[i].text, QStringLiteral("正在检查文件，请等待检查完毕后再关闭窗口"));
      EXPECT_EQ(boxes.shown[i].buttons, BoxButtons::Ok);
    }
    boxes.shown.erase(boxes.shown.begin() + static_cast<std::ptrdiff_t>(before), boxes.shown.end());
    ASSERT_TRUE(finished.wait(kRunTimeoutMs));
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    EXPECT_TRUE(check->isEnabled());
    EXPECT_EQ(window.cursor().shape(), Qt::ArrowCursor);
  }

  QString status(CheckWindow& window) { return window.findChild<QLineEdit*>("StateStr")->text(); }

  test::TestHome home;
  test::ScriptedBoxes boxes;
};

TEST_F(RunTest, DbfRunOfTheAccountWindowPacksOnYes) {
  AccountCheckWindow window(home.home(), boxes);
  test::ShowActive(&window);
  fillDbfRun(window, "2", dir("sample/account-dbf"));
  boxes.answer(BoxAnswer::Yes);

  runCheck(window);
  ASSERT_EQ(boxes.shown.size(), 2u) << boxes.texts().join('|').toStdString();
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("提示信息"));
  // The question says the verdict first and names the tables packed despite
  // their rules' findings; Enter then answers 否.
  const QStringList question = boxes.shown[0].text.split(u'\n');
  ASSERT_EQ(question.size(), 3) << boxes.shown[0].text.toStdString();
  EXPECT_EQ(question[0], QStringLiteral("文件结构和数据检查完成,是否生成zip压缩文件?"));
  EXPECT_TRUE(question[1].startsWith(QStringLiteral("检查结论：不通过：应报文件10个"))) << question[1].toStdString();
  EXPECT_TRUE(question[2].contains(QStringLiteral("个数据表通过了结构检查，但有规则检查问题，也会被压缩：100001_KHJBXX_20080808_1.DBF")))
      << question[2].toStdString();
  EXPECT_EQ(boxes.shown[0].buttons, BoxButtons::YesNoSafeNo);
  EXPECT_EQ(boxes.shown[0].icon, BoxIcon::None);
  EXPECT_EQ(status(window), QStringLiteral("文件检查完毕,请查看检查结果"));
  // The bar counted the ten files checked (five kinds, two groups), then the archives packed.
  const auto* progress = window.findChild<QProgressBar*>("RunProgress");
  const auto packed = std::distance(std::filesystem::directory_iterator(home.path() / "out"), {});
  EXPECT_EQ(progress->maximum(), packed);
  EXPECT_EQ(progress->value(), packed);
  EXPECT_EQ(packed, 7);
  // Then one summary lists every archive written, with its size.
  const QString summary = boxes.shown[1].text;
  EXPECT_TRUE(summary.startsWith(QStringLiteral("已生成7个zip压缩文件:\n"))) << summary.toStdString();
  const auto khjbxx = std::filesystem::file_size(home.path() / "out" / "100001_KHJBXX_20080808_1.ZIP");
  EXPECT_TRUE(summary.contains(QDir::toNativeSeparators(QString::fromStdString(dir("out") + "/100001_KHJBXX_20080808_1.ZIP (")) +
                               QLocale(QLocale::English, QLocale::UnitedStates).toString(static_cast<qulonglong>(khjbxx)) + QStringLiteral("字节)")))
      << summary.toStdString();
  boxes.shown.pop_back();

  const auto entries = test::ReadZip(home.path() / "out" / "100001_KHJBXX_20080808_1.ZIP");
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries.begin()->first, "100001_KHJBXX_20080808_1.DBF");
  // The group-2 table with the wrong field length did not pass: not packed.
  EXPECT_FALSE(std::filesystem::exists(home.path() / "out" / "100001_KHJBXX_20080808_2.ZIP"));

  // The results window shows this run, starting with group 1's findings.
  ResultsWindow results(window.store(), boxes);
  const QTableWidget* grid = results.grid();
  EXPECT_EQ(grid->item(0, 0)->text(), "1");
  EXPECT_EQ(grid->item(0, 2)->text(), "100001_KHJBXX_20080808_1.DBF");
  EXPECT_EQ(grid->item(0, 1)->background().color(), QColor(255, 255, 0));  // passed, with findings
  EXPECT_EQ(boxes.shown.size(), 1u);
  window.reject();  // a first close leaves the default limit there to edit
  EXPECT_EQ(settings::ReadRecordsLimit(home.home().recordsLimitFile()), settings::kDefaultRecordsLimit);
  EXPECT_TRUE(std::filesystem::exists(home.home().recordsLimitFile()));
}

TEST_F(RunTest, TheRuleSetChosenInTheWindowJudgesTheRun) {
  test::CopyShippedSet(home.home().home / "rulesets" / "interface-2", "2", "2008-08-09");
  AccountCheckWindow window(home.home(), boxes);
  test::ShowActive(&window);
  fillDbfRun(window, "1", dir("sample/account-dbf"));
  auto* choice = window.findChild<QComboBox*>("RuleSet");
  ASSERT_NE(choice, nullptr);
  EXPECT_EQ(choice->itemText(0), QStringLiteral("按数据日期选用（interface@1）"));  // the second applies from the day after
  window.dataDateField()->setDate(QDate(2008, 8, 9));
  EXPECT_EQ(choice->itemText(0), QStringLiteral("按数据日期选用（interface@2）"));
  window.dataDateField()->setDate(QDate(2008, 8, 8));
  EXPECT_EQ(choice->itemText(choice->findData(QStringLiteral("interface@2"))), QStringLiteral("interface@2（自2008-08-09起用，本公司）"));
  choice->setCurrentIndex(choice->findData(QStringLiteral("interface@2")));
  boxes.answer(BoxAnswer::No);

  runCheck(window);
  EXPECT_EQ(store::ReadLatestRunFacts(home.home().storeFile())->ruleSet.version, "2");
}

TEST_F(RunTest, EndOfRunQuestionWaitsUntilNoOtherDialogIsOpen) {
  AccountCheckWindow window(home.home(), boxes);
  test::ShowActive(&window);
  fillDbfRun(window, "2", dir("sample/account-dbf"));
  boxes.answer(BoxAnswer::No);
  QSignalSpy finished(&window, &CheckWindow::checkFinished);
  window.findChild<QPushButton*>("ChkCmd")->click();

  // Another dialog of the program is open when the run reaches its question:
  // the question waits until the operator closes it.
  QDialog other(&window);
  const auto* bridge = window.findChild<RunBridge*>();
  ASSERT_NE(bridge, nullptr);
  bool askedWhileOpen = true;
  QTimer poll;
  QObject::connect(&poll, &QTimer::timeout, [&] {
    if (!bridge->questionWaiting()) return;
    test::ProcessEvents();
    askedWhileOpen = !boxes.shown.empty();
    other.accept();
  });
  poll.start(20);
  QTimer::singleShot(kRunTimeoutMs, &other, &QDialog::reject);
  EXPECT_EQ(other.exec(), QDialog::Accepted);
  poll.stop();
  EXPECT_FALSE(askedWhileOpen);
  ASSERT_TRUE(finished.wait(kRunTimeoutMs));
  ASSERT_EQ(boxes.shown.size(), 1u);
  EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("文件结构和数据检查完成,是否生成zip压缩文件?\n")));
  EXPECT_TRUE(std::filesystem::is_empty(home.path() / "out"));  // answered 否
}

// The results window opened during the run only shows it: the question comes
// over it rather than holding the run's end back until it is closed.
TEST_F(RunTest, EndOfRunQuestionComesOverTheResultsOfTheRun) {
  AccountCheckWindow window(home.home(), boxes);
  test::ShowActive(&window);
  fillDbfRun(window, "1", dir("sample/account-dbf"));
  boxes.answer(BoxAnswer::No);
  QSignalSpy finished(&window, &CheckWindow::checkFinished);
  window.findChild<QPushButton*>("ChkCmd")->click();
  ASSERT_TRUE(window.running());
  bool askedWhileOpen = false;
  test::InspectNextModalWindow([&](QWidget*) {
    askedWhileOpen = QTest::qWaitFor([&] { return !boxes.shown.empty(); }, kRunTimeoutMs);
  });
  window.showResults();
  EXPECT_TRUE(askedWhileOpen);
  EXPECT_TRUE(finished.count() == 1 || finished.wait(kRunTimeoutMs));
}

TEST_F(RunTest, StopDuringTheRulesLeavesNothingHalfWrittenAndTheHistorySaysIncomplete) {
  // Forty groups, so that the rules are still at work when the operator stops them.
  const std::filesystem::path source = home.path() / "sample" / "account-dbf";
  for (const auto& entry : std::filesystem::directory_iterator(source)) {
    const std::string name = entry.path().filename().string();
    if (!name.ends_with("_1.DBF")) continue;
    for (int group = 3; group <= 40; ++group)
      std::filesystem::copy_file(entry.path(),
                                 source / (name.substr(0, name.size() - 5) + std::to_string(group) + ".DBF"));
  }
  AccountCheckWindow window(home.home(), boxes);
  test::ShowActive(&window);
  fillDbfRun(window, "40", source.string());
  auto* stop = window.findChild<QPushButton*>("StopCmd");
  EXPECT_FALSE(stop->isEnabled());
  QSignalSpy finished(&window, &CheckWindow::checkFinished);
  auto* stateStr = window.findChild<QLineEdit*>("StateStr");
  QObject::connect(stateStr, &QLineEdit::textChanged, stop, [&](const QString& text) {
    if (!text.contains(QStringLiteral("文件数据逻辑")) || !stop->isEnabled()) return;
    // Esc asks first; 否 leaves the run going, 是 stops it.
    boxes.answer(BoxAnswer::No);
    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_TRUE(stop->isEnabled());
    boxes.answer(BoxAnswer::Yes);
    QTest::keyClick(&window, Qt::Key_Escape);
  });
  window.findChild<QPushButton*>("ChkCmd")->click();
  ASSERT_TRUE(finished.wait(kRunTimeoutMs));
  EXPECT_FALSE(finished.at(0).at(0).toBool());
  EXPECT_EQ(boxes.texts(), (QStringList{QStringLiteral("是否停止检查?"), QStringLiteral("是否停止检查?")}));
  EXPECT_EQ(status(window), QString::fromUtf8(pipeline::kStoppedMessage));
  EXPECT_FALSE(stop->isEnabled());
  EXPECT_TRUE(std::filesystem::is_empty(home.path() / "out"));  // never asked to pack, nothing written
  for (const auto& scratch : {home.home().workdir(), home.home().dbfdir(), home.home().lchkdir()})
    EXPECT_TRUE(std::filesystem::is_empty(scratch)) << scratch;
  // The store holds whole file rows only: no finding of a file whose row was dropped.
  const auto orphans = test::StoreRows(*window.store(), "select count(*) from fileerr where fileid not in (select fileid from filelist)");
  ASSERT_EQ(orphans.size(), 1u);
  EXPECT_EQ(orphans[0][0], "0");
  HistoryWindow history(home.home(), boxes);
  ASSERT_GE(history.list()->rowCount(), 1);
  QStringList latest;
  for (int column = 0; column < history.list()->columnCount(); ++column)
    if (const QTableWidgetItem* item = history.list()->item(0, column)) latest << item->text();
  EXPECT_TRUE(latest.contains(QStringLiteral("未完成"))) << latest.join('|').toStdString();
}

TEST_F(RunTest, ZipRunOfTheIdentityWindowAsksNothingAndKeepsRecordsUpToTheLimit) {
  std::ofstream(home.home().recordsLimitFile(), std::ios::binary) << "1\r\n";
  IdentityCheckWindow window(home.home(), boxes);
  test::ShowActive(&window);
  window.companyCodeField()->setText(pipeline::kSampleCompany);
  window.dataDateField()->setDate(QDate(2008, 8, 8));
  window.comparisonBox()->click();
  window.sendDateField()->setDate(QDate(2008, 8, 4));
  window.sourceDirField()->setText(QString::fromStdString(dir("sample/identity-zip")));

  runCheck(window);
  EXPECT_TRUE(boxes.shown.empty()) << boxes.texts().join('|').toStdString();
  EXPECT_EQ(status(window), QStringLiteral("文件检查完毕,请查看检查结果"));
  EXPECT_TRUE(std::filesystem::is_empty(home.path() / "out"));
  // The limit of recordslimit.ini reached the run: one record kept per
  // finding, the count of a finding behind two records still whole.
  bool capped = false;
  for (const store::FindingRow& finding : window.store()->readFindings()) {
    EXPECT_LE(finding.recordsKept, 1) << finding.errid;
    capped |= finding.total > finding.recordsKept;
  }
  EXPECT_TRUE(capped);
  window.reject();
  EXPECT_EQ(settings::ReadRecordsLimit(home.home().recordsLimitFile()), 1);  // the operator's, kept
}

TEST_F(RunTest, RunWithoutDataFilesSaysSoAndEmptiesTheStatus) {
  AccountCheckWindow window(home.home(), boxes);
  test::ShowActive(&window);
  window.companyCodeField()->setText(pipeline::kSampleCompany);
  window.dataDateField()->setDate(QDate(2001, 2, 3));
  window.sourceDirField()->setText(QString::fromStdString(dir("sample/account-zip")));

  runCheck(window);
  EXPECT_EQ(boxes.texts(), QStringList{QStringLiteral("没有2001/02/03的数据文件")});
  EXPECT_EQ(boxes.shown[0].title, QStringLiteral("提示信息"));
  EXPECT_EQ(boxes.shown[0].icon, BoxIcon::Information);
  EXPECT_EQ(status(window), "");
}

// The latest results opened while a run works are its results so far,
// marked so, refuse their export, and become the whole results with the
// run's verdict when it ends; the check window shows the verdict too, and
// another submission's window says whose results they are.
TEST_F(RunTest, ResultsOpenedDuringARunAreMarkedAndRefreshedWhenItEnds) {
  AccountCheckWindow window(home.home(), boxes);
  test::ShowActive(&window);
  window.companyCodeField()->setText(pipeline::kSampleCompany);
  window.dataDateField()->setDate(QDate(2008, 8, 8));
  window.beginNoField()->setText("1");
  window.endNoField()->setText("2");
  window.sourceDirField()->setText(QString::fromStdString(dir("sample/account-zip")));
  QSignalSpy finished(&window, &CheckWindow::checkFinished);
  window.findChild<QPushButton*>("ChkCmd")->click();
  ASSERT_TRUE(window.running());

  QString during, after;
  int rows = 0;
  test::InspectNextModalWindow([&](QWidget* modal) {
    auto* results = qobject_cast<ResultsWindow*>(modal);
    ASSERT_NE(results, nullptr);
    during = results->verdictLine()->text();
    results->findChild<QPushButton*>("ExportCmd")->click();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return results->verdictLine()->text().startsWith(QStringLiteral("检查结论")); }, kRunTimeoutMs));
    after = results->verdictLine()->text();
    for (int r = 0; r < results->grid()->rowCount(); ++r) rows += results->grid()->item(r, 2) != nullptr;
  });
  window.showResults();
  EXPECT_EQ(finished.count(), 1);
  EXPECT_TRUE(during.startsWith(QStringLiteral("检查进行中，结果尚未完成"))) << during.toStdString();
  EXPECT_TRUE(boxes.texts().join('|').contains(QStringLiteral("不能导出报告"))) << boxes.texts().join('|').toStdString();
  EXPECT_TRUE(after.startsWith(QStringLiteral("检查结论：不通过："))) << after.toStdString();
  EXPECT_EQ(rows, static_cast<int>(window.store()->readResults().size()));
  const QLabel* verdict = window.findChild<QLabel*>("RunVerdict");
  EXPECT_EQ(verdict->text(), after);
  // The whole reason shows: wrapped within the line, and whole in its tooltip.
  EXPECT_LE(verdict->heightForWidth(verdict->width()), verdict->height()) << after.toStdString();
  EXPECT_EQ(verdict->toolTip(), after);

  IdentityCheckWindow identity(home.home(), boxes);
  QString owner;
  test::InspectNextModalWindow([&](QWidget* modal) {
    auto* results = qobject_cast<ResultsWindow*>(modal);
    ASSERT_NE(results, nullptr);
    owner = results->ownerLine()->text();
  });
  identity.showResults();
  EXPECT_TRUE(owner.startsWith(QStringLiteral("注意：最近一次检查是另一类报送数据"))) << owner.toStdString();
  EXPECT_TRUE(owner.contains(QStringLiteral("数据日期 2008-08-08")));
}

}  // namespace
}  // namespace fc::gui
