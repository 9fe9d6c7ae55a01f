// filingcheck-screenshots - renders every window of the desktop program,
// offscreen, into PNG files: filingcheck-screenshots OUTPUT_DIRECTORY
//
// The windows work on a scratch application home whose store holds a small
// made-up check run, so that the results window has something to show.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QRadioButton>
#include <QPixmap>
#include <QTemporaryDir>
#include <QWidget>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <utility>

#include "gui/dialogs/Browsing.h"
#include "gui/dialogs/DirectoryChooserDialog.h"
#include "gui/dialogs/FileViewerDialog.h"
#include "gui/dialogs/PreciseSelectionDialog.h"
#include "gui/results/ComparisonWindow.h"
#include "gui/results/HistoryWindow.h"
#include "gui/results/RecordsWindow.h"
#include "gui/results/ReportButtons.h"
#include "gui/results/ResultsWindow.h"
#include "gui/shell/ClosingWindow.h"
#include "gui/shell/MessageBoxes.h"
#include "gui/shell/QtText.h"
#include "gui/shell/Translations.h"
#include "gui/shell/WelcomeWindow.h"
#include "gui/windows/AccountCheckWindow.h"
#include "gui/windows/IdentityCheckWindow.h"
#include "ruleset/RuleSets.h"
#include "pipeline/Judge.h"
#include "pipeline/RunDriver.h"
#include "pipeline/Sample.h"
#include "report/PdfReport.h"
#include "store/Store.h"

namespace {

// Nobody reads the boxes of a screenshot run; they answer at once.
class SilentBoxes final : public fc::gui::MessageBoxes {
 public:
  fc::gui::BoxAnswer show(const QString&, const QString&, fc::gui::BoxIcon,
                          fc::gui::BoxButtons buttons) override {
    return buttons == fc::gui::BoxButtons::YesNo ? fc::gui::BoxAnswer::Yes : fc::gui::BoxAnswer::Ok;
  }
  QString askSavePath(const QString&, const QString&, const QString&) override { return {}; }
};

void FillSampleRun(fc::store::Store& store) {
  store.clearRun();
  auto file = [&store](fc::store::FileRow row, std::initializer_list<std::pair<const char*, const char*>> errors) {
    store.beginFile();
    for (const auto& [id, text] : errors) store.insertFinding(row.fileid, id, text);
    store.insertFile(row);
  };
  store.beginFile();
  store.insertFinding(1, "R03", "客户基本信息表中有 2 条记录的证件号码为空");
  store.addFindingRecords({1, 1, "R03", "KHJBXX", {"ZQGSDM", "YYBDM", "ZJZH", "ZJHM"},
                           {{15, {"100001", "000101", "101000000015", ""}}, {38, {"100001", "000102", "102000000038", ""}}},
                           2, {{"ZJHM", "", 2}}});
  store.insertFinding(1, "R07", "客户基本信息表中有 1 条记录的客户类别不在规定范围内");
  store.addFindingRecords({1, 2, "R07", "KHJBXX", {"ZQGSDM", "YYBDM", "ZJZH", "ZJLB"},
                           {{7, {"100001", "000101", "101000000007", "9"}}}, 1, {{"ZJLB", "9", 1}}});
  store.insertFile({1, 1, "客户基本信息表", "QL_100001_KHJBXX_20080808_1.ZIP", 1, 1, 3});
  file({2, 1, "资金与证券账户对应关系表", "QL_100001_ZJZQDY_20080808_1.ZIP", 1, 1, 3}, {});
  file({3, 1, "资金变动信息表", "QL_100001_ZJBDXX_20080808_1.ZIP", 0, 0, {}}, {});
  file({4, 1, "证券营业部信息表", "100001_YYBXX_20080808_1.ZIP", 1, 0, {}},
       {{"7", "数据日期与文件名中的日期不一致"}});
  file({5, 1, "账户信息比对不一致情况表", "100001_ZHBYZ_20080808_1.ZIP", 1, 1, 3}, {});
}

// The facts of the run FillSampleRun writes, judged as a run judges them.
fc::store::RunFacts SampleRunFacts(fc::store::Store& store) {
  fc::store::RunFacts facts;
  facts.submission = fc::naming::Submission::Account;
  facts.companyCode = "100001";
  facts.companyName = "东岳证券股份有限公司";
  facts.dataDate = "20080808";
  facts.fileType = "ZIP";
  facts.started = "2008-08-09 09:30:00";
  facts.ruleSet = {"interface", "1", std::string(64, '0')};
  facts.completed = true;
  fc::pipeline::RunTally tally;
  for (const fc::store::FileRow& row : store.listedFiles()) {
    facts.files.push_back(fc::store::ListedFileFacts(row));
    if (row.isok) tally.rulesRan.insert(row.fileid);
  }
  for (const fc::store::FindingRow& f : store.readFindings()) tally.findings.push_back({f.fileid, f.total});
  fc::pipeline::Judge(facts, tally);
  return facts;
}

bool Save(QWidget& window, const QDir& out, const char* name) {
  window.show();
  QApplication::processEvents();
  const QString path = out.filePath(QLatin1String(name));
  if (window.grab().save(path)) return true;
  std::fprintf(stderr, "filingcheck-screenshots: cannot write %s\n", qPrintable(path));
  return false;
}

// The records window over the first finding of the sample run.
bool SaveRecords(fc::store::Store& store, const fc::settings::AppHome& home, fc::gui::MessageBoxes& boxes,
                 const QDir& out) {
  const std::vector<fc::store::FindingRow> findings = store.readFindings();
  if (findings.empty()) return false;
  const fc::store::FindingRow& finding = findings.front();
  std::optional<fc::store::FindingRecords> records = store.readFindingRecords(finding.fileid, finding.finding);
  if (!records) return false;
  const auto set = fc::ruleset::LoadRuleSetFor(home, fc::pipeline::kSampleDate, "");
  fc::gui::RecordsWindow window(std::move(*records), finding, &set.layouts, boxes);
  return Save(window, out, "records.png");
}

// Empty files named like both submissions, for the selection dialogs to list.
QString SampleFiles(const QTemporaryDir& scratch) {
  QDir dir(scratch.path());
  dir.mkpath(QStringLiteral("submission"));
  dir.cd(QStringLiteral("submission"));
  for (const char* name : {"100001_SFZFCJG_20080808.ZIP", "100001_SFZHCQK_20080804.ZIP", "100001_KHJBXX_20080808_1.ZIP",
                           "100001_YYBXX_20080808_1.ZIP", "QL_100001_KHJBXX_20080808_1.ZIP",
                           "QL_100001_ZJBDXX_20080808_3.ZIP", "QL_100001_ZJZQDY_20080808_2.ZIP"})
    QFile(dir.filePath(QLatin1String(name))).open(QIODevice::WriteOnly);
  return dir.path();
}

// Clicks the file `name` in a dialog's file list.
template <class Dialog>
void Pick(Dialog& dialog, const char* name) {
  if (QListWidgetItem* item = dialog.fileList()->findItems(QLatin1String(name), Qt::MatchExactly).value(0))
    dialog.fileClicked(item);
}

// The source and target directory choosers of a check window.
bool SaveChoosers(fc::gui::CheckWindow& window, std::array<fc::gui::Chooser, 2> choosers,
                  const fc::settings::AppHome& home, fc::gui::MessageBoxes& boxes, const QDir& out,
                  std::array<const char*, 2> names) {
  using namespace fc::gui;
  const ChooserTargets source{window.sourceDirField(), window.companyCodeField(), window.companyNameField(),
                              window.findChild<QRadioButton*>("CHKZIP")};
  DirectoryChooserDialog sourceChooser(choosers[0], source, home, window.store(), boxes, &window);
  bool ok = Save(sourceChooser, out, names[0]);
  DirectoryChooserDialog targetChooser(choosers[1], {window.targetDirField(), nullptr, nullptr, source.zipType},
                                       home, window.store(), boxes, &window);
  ok &= Save(targetChooser, out, names[1]);
  return ok;
}

bool SaveAccountDialogs(fc::gui::AccountCheckWindow& account, const fc::settings::AppHome& home,
                        fc::gui::MessageBoxes& boxes, const QDir& out) {
  using namespace fc::gui;
  bool ok = SaveChoosers(account, {Chooser::AccountSource, Chooser::AccountTarget}, home, boxes, out,
                         {"selectdir3.png", "selectdir4.png"});
  const QAbstractButton* zipType = account.findChild<QRadioButton*>("CHKZIP");
  PreciseSelectionDialog precise(
      {account.sourceDirField(), account.companyCodeField(), zipType, account.dataDateField(),
       {account.kindBox(0), account.kindBox(1), account.kindBox(2), account.kindBox(3), account.kindBox(4)},
       account.fullTransferOption(), account.incrementalOption(), account.beginNoField(), account.endNoField()},
      boxes, &account);
  Pick(precise, "QL_100001_KHJBXX_20080808_1.ZIP");
  precise.filterClicked();
  Pick(precise, "QL_100001_ZJBDXX_20080808_3.ZIP");
  Pick(precise, "100001_YYBXX_20080808_1.ZIP");
  ok &= Save(precise, out, "viewdir3.png");
  return ok;
}

bool SaveIdentityDialogs(fc::gui::IdentityCheckWindow& identity, const fc::settings::AppHome& home,
                         fc::gui::MessageBoxes& boxes, const QDir& out) {
  using namespace fc::gui;
  bool ok = SaveChoosers(identity, {Chooser::IdentitySource, Chooser::IdentityTarget}, home, boxes, out,
                         {"selectdir1.png", "selectdir2.png"});
  const QAbstractButton* zipType = identity.findChild<QRadioButton*>("CHKZIP");
  const ViewerTargets viewed{identity.sourceDirField(), identity.companyCodeField(), zipType,
                             identity.dataDateField(), identity.sendDateField(), identity.comparisonBox()};
  FileViewerDialog comparison(Viewer::Comparison, viewed, &identity);
  Pick(comparison, "100001_SFZHCQK_20080804.ZIP");
  ok &= Save(comparison, out, "viewdir2.png");
  FileViewerDialog submission(Viewer::Submission, viewed, &identity);
  Pick(submission, "100001_SFZFCJG_20080808.ZIP");
  ok &= Save(submission, out, "viewdir1.png");
  return ok;
}

// Two real checks of the sample submission in a home of their own, the
// second after one archive was taken away, so the history has a change.
fc::settings::AppHome CheckSampleTwice(const QTemporaryDir& scratch, const fc::settings::AppHome& base) {
  namespace fs = std::filesystem;
  const fs::path root = fc::gui::PathOf(scratch.path());
  fc::settings::AppHome home{root / "history-home", base.data};
  fc::pipeline::WriteSample(fc::ruleset::LoadRuleSetFor(base, fc::pipeline::kSampleDate, "").layouts, root / "sample");
  fc::pipeline::RunInputs in;
  in.beginNo = fc::pipeline::kSampleFirstGroup;
  in.endNo = fc::pipeline::kSampleLastGroup;
  in.companyCode = fc::pipeline::kSampleCompany;
  in.dataDate = fc::pipeline::kSampleDate;
  in.sourceDir = fc::platform::Utf8Of(root / "sample" / "account-zip") + "/";
  in.selectedKinds = std::vector<bool>(5, true);
  fc::pipeline::QuietObserver observer;
  fc::pipeline::RunDriver(home, in).run(observer);
  fs::remove(root / "sample" / "account-zip" / "100001_ZHBYZ_20080808_1.ZIP");
  fc::pipeline::RunDriver(home, in).run(observer);
  return home;
}

// The first pages of the report as it prints (A4), one image each.
bool SaveReportPages(const fc::report::ReportData& data, const QDir& out) {
  std::string error;
  if (fc::report::WriteReportPageImages(data, fc::gui::PathOf(out.path()), "report", 3, error)) return true;
  std::fprintf(stderr, "filingcheck-screenshots: %s\n", error.c_str());
  return false;
}

bool SaveHistoryWindows(const QTemporaryDir& scratch, const fc::settings::AppHome& base, fc::gui::MessageBoxes& boxes,
                        const QDir& out) {
  const fc::settings::AppHome home = CheckSampleTwice(scratch, base);
  fc::gui::HistoryWindow history(home, boxes);
  bool ok = Save(history, out, "history.png");
  std::string error;
  std::optional<fc::report::ReportData> data = fc::report::LoadReport(home.home, home.data, std::nullopt, error);
  if (!data || !data->comparison) {
    std::fprintf(stderr, "filingcheck-screenshots: no report: %s\n", error.c_str());
    return false;
  }
  fc::gui::ComparisonWindow comparison(*data->previous, data->run, *data->comparison);
  ok &= Save(comparison, out, "comparison.png");
  return ok && SaveReportPages(*data, out);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  fc::gui::InstallQtChinese(app);
  const QDir out(app.arguments().value(1, QStringLiteral("screenshots")));
  QTemporaryDir scratch;
  if (!out.mkpath(QStringLiteral(".")) || !scratch.isValid()) {
    std::fprintf(stderr, "filingcheck-screenshots: cannot prepare %s\n", qPrintable(out.path()));
    return 1;
  }
  fc::settings::AppHome home;
  home.home = fc::gui::PathOf(scratch.path());
  home.data = fc::settings::LocateDataDir(fc::gui::PathOf(QCoreApplication::applicationDirPath()));
  SilentBoxes boxes;
  bool ok = true;

  fc::gui::WelcomeWindow welcome(home, boxes);
  ok &= Save(welcome, out, "mainfrm.png");
  welcome.lightButton(1);
  ok &= Save(welcome, out, "mainfrm-lit.png");
  welcome.hide();

  fc::gui::AccountCheckWindow account(home, boxes);
  account.companyCodeField()->setText(QStringLiteral("100001"));
  account.sourceDirField()->setText(QStringLiteral("/home/operator/submission"));
  ok &= Save(account, out, "mainfrm1.png");
  FillSampleRun(*account.store());
  fc::gui::ResultsWindow results(account.store(), boxes);
  results.describeRun(SampleRunFacts(*account.store()), fc::naming::Submission::Account);
  fc::gui::ReportButtons reportButtons(&results, home, boxes);
  ok &= Save(results, out, "chkresult.png");
  ok &= SaveHistoryWindows(scratch, home, boxes, out);
  results.hide();
  ok &= SaveRecords(*account.store(), home, boxes, out);
  const QString samples = SampleFiles(scratch);
  account.sourceDirField()->setText(samples);
  ok &= SaveAccountDialogs(account, home, boxes, out);
  account.reject();

  fc::gui::IdentityCheckWindow identity(home, boxes);
  identity.toggleHelp();
  ok &= Save(identity, out, "mainfrm2.png");
  identity.companyCodeField()->setText(QStringLiteral("100001"));
  identity.sourceDirField()->setText(samples);
  ok &= SaveIdentityDialogs(identity, home, boxes, out);
  identity.reject();

  fc::gui::ClosingWindow end(home.data);
  ok &= Save(end, out, "endform.png");
  return ok ? 0 : 1;
}
